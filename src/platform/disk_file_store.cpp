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
[[noreturn]] void Fail(int error) { throw RuntimeError(std::strerror(error)); }
}  // namespace

bool DiskFileStore::exists(const std::string& path) const {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

std::unique_ptr<std::istream> DiskFileStore::openRead(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) Fail(EISDIR);
    errno = 0;
    auto in = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!*in) Fail(errno ? errno : ENOENT);
    return in;
}

void replaceFileContent(const std::string& name, const std::string& content) {
    // A link stays a link: the file it points to is the one replaced.
    std::string path = name;
    std::error_code ec;
    if (std::filesystem::is_symlink(name, ec)) {
        const auto target = std::filesystem::weakly_canonical(name, ec);
        if (!ec) path = target.string();
    }
    std::string temp = path + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) Fail(errno);
    auto failAndClean = [&](int error) {
        ::close(fd);
        ::unlink(temp.c_str());
        Fail(error);
    };
    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    struct stat old {};
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : (0666 & ~mask);
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
