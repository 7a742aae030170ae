#include "platform/disk_file_store.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/runtime_error.h"

namespace k7 {

namespace {

[[noreturn]] void Fail(int error, const std::string& after = "") { throw RuntimeError(std::strerror(error) + after); }

// Writes all of `bytes` at the start of the file; false with errno set when it cannot.
bool writeAt0(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, off_t(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        done += std::size_t(n);
    }
    return ::ftruncate(fd, off_t(bytes.size())) == 0 && ::fsync(fd) == 0;
}

// For a file whose folder takes no temporary file: writes the new content over the old
// one. The space is reserved first, so running out of it changes nothing; a write that
// fails after that puts the old content back.
void replaceInPlace(const std::string& path, const std::string& content) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    const std::string old{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.good() && !in.eof()) Fail(errno ? errno : EIO, " (the file could not be read first)");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) Fail(errno);
    if (content.size() > old.size()) {
        if (const int error = ::posix_fallocate(fd, 0, off_t(content.size())); error != 0 && error != EOPNOTSUPP) {
            (void)!::ftruncate(fd, off_t(old.size()));
            ::close(fd);
            Fail(error, "; nothing was written");
        }
    }
    if (writeAt0(fd, content)) {
        if (::close(fd) != 0) Fail(errno);
        return;
    }
    const int error = errno;
    const bool restored = writeAt0(fd, old);
    ::close(fd);
    Fail(error, restored ? "; the old content was put back" : "; the file could not be put back as it was");
}

}  // namespace

bool DiskFileStore::exists(const std::string& path) const {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

std::unique_ptr<std::istream> DiskFileStore::openRead(const std::string& path) {
    // A device (/dev/zero, a terminal, a serial port) would be read forever or block.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) Fail(errno);
    if (S_ISDIR(st.st_mode)) Fail(EISDIR);
    if (!S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode)) throw RuntimeError("Not a regular file or pipe");
    errno = 0;
    auto in = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!*in) Fail(errno ? errno : ENOENT);
    return in;
}

bool DiskFileStore::isFolder(const std::string& path) const {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

std::vector<std::string> DiskFileStore::fileNames(const std::string& folder) const {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(folder, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec))
        if (it->is_regular_file(ec)) names.push_back(it->path().filename().string());
    return names;
}

void DiskFileStore::createFolder(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) throw RuntimeError(folder + ": " + ec.message());
}

void DiskFileStore::remove(const std::string& path) {
    if (::unlink(path.c_str()) != 0) Fail(errno);
}

namespace {

// The file a replace writes (a link stays a link: the file it points to is the one
// replaced) and whether it exists; throws when it may not be written.
std::string replaceTarget(const std::string& name, struct stat& old, bool& exists) {
    std::string path = name;
    std::error_code ec;
    if (std::filesystem::is_symlink(name, ec)) {
        const auto target = std::filesystem::weakly_canonical(name, ec);
        if (!ec) path = target.string();
    }
    // A read-only file is not replaced behind the user's back, not even by one who could.
    exists = ::stat(path.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) Fail(EISDIR);
    if (exists && (old.st_mode & 0222) == 0) throw RuntimeError("The file is read-only; nothing was written");
    if (exists && ::access(path.c_str(), W_OK) != 0) Fail(errno);
    return path;
}

}  // namespace

void checkReplaceable(const std::string& name) {
    struct stat old {};
    bool exists = false;
    const std::string path = replaceTarget(name, old, exists);
    if (exists) return;  // written beside itself, or in place
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) != 0) Fail(errno);
}

void replaceFileContent(const std::string& name, const std::string& content) {
    struct stat old {};
    bool exists = false;
    const std::string path = replaceTarget(name, old, exists);
    std::string temp = path + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0 && exists) return replaceInPlace(path, content);
    if (fd < 0) Fail(errno);
    auto failAndClean = [&](int error) {
        ::close(fd);
        ::unlink(temp.c_str());
        Fail(error);
    };
    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = exists ? (old.st_mode & 07777) : (0666 & ~mask);
    ::fchmod(fd, mode);
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            failAndClean(errno);
        }
        done += std::size_t(n);
    }
    if (::fsync(fd) != 0) failAndClean(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        Fail(error);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        Fail(error);
    }
}

}  // namespace k7
