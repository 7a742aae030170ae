#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <signal.h>
#include <sys/resource.h>

#include "platform/runtime_error.h"
#include "platform/serial_settings.h"

namespace fs = std::filesystem;

namespace k7::test {

void FakeSerialPort::setSettings(const std::string& text) {
    const LineSettings parsed = ParseSettingsText(text);
    settings = text;
    if (device_) device_->setBaud(parsed.baud);
}

void FakeSerialPort::open() {
    if (open_) throw RuntimeError("Port already open");
    if (failOpen) throw RuntimeError(*failOpen);
    open_ = true;
    ++opens;
}

void FakeSerialPort::output(const std::string& bytes) {
    if (!open_) throw RuntimeError("Operation valid only when the port is open");
    if (failOutput) throw RuntimeError(*failOutput);
    sent += bytes;
    if (device_) device_->receive(bytes, clock_.nowUs());
    if (onOutput) onOutput(bytes);
}

std::string FakeSerialPort::input() {
    if (!open_) throw RuntimeError("Operation valid only when the port is open");
    std::string bytes;
    while (!arrivals_.empty() && arrivals_.begin()->first <= clock_.nowUs()) {
        bytes += arrivals_.begin()->second;
        arrivals_.erase(arrivals_.begin());
    }
    if (device_) bytes += device_->take(clock_.nowUs());
    return bytes;
}

// Bytes wake the program when they arrive; bytes that have arrived and wait unread
// wake nobody again.
std::optional<std::int64_t> FakeSerialPort::nextWakeUs() const {
    if (!open_ || quiet_) return std::nullopt;
    const std::int64_t now = clock_.nowUs();
    std::optional<std::int64_t> next;
    if (device_)
        if (auto t = device_->nextByteTime(); t && *t > now) next = t;
    for (const auto& [at, bytes] : arrivals_)
        if (at > now) {
            if (!next || at < *next) next = at;
            break;
        }
    return next;
}

bool ScriptedDialogs::confirm(const std::string& text, const std::string& title) {
    asked.push_back({"confirm", text, title, "", ""});
    if (confirmAnswers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
        return false;
    }
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedDialogs::fileAnswer(const char* kind, const std::string& folder,
                                                       const std::string& filter) {
    asked.push_back({kind, "", "", folder, filter});
    if (fileAnswers.empty()) {
        ADD_FAILURE() << "unexpected " << kind << " dialog";
        return std::nullopt;
    }
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedDialogs::openFileName(const std::string& folder, const std::string& filter) {
    return fileAnswer("open", folder, filter);
}

std::optional<std::string> ScriptedDialogs::saveFileName(const std::string& folder, const std::string& filter) {
    return fileAnswer("save", folder, filter);
}

void FakePrinter::printLine(const std::string& line) {
    if (failAfterLines >= 0 && int(lines.size()) >= failAfterLines) throw RuntimeError("Printer error");
    lines.push_back(line);
}

void FailingDiskFileStore::replaceWith(const std::string& path, const std::string& content) {
    if (!failAfterBytes) return DiskFileStore::replaceWith(path, content);
    // The system's file size limit makes the write itself fail, so the store's own
    // error path runs; the limit and the signal it raises are restored afterwards.
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = std::min<rlim_t>(*failAfterBytes, saved.rlim_max);
    const auto oldSignal = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limited);
    struct Restore {
        rlimit limit;
        sighandler_t signal;
        ~Restore() { ::setrlimit(RLIMIT_FSIZE, &limit); ::signal(SIGXFSZ, signal); }
    } restore{saved, oldSignal};
    DiskFileStore::replaceWith(path, content);
}

TempEnvironment::TempEnvironment() {
    std::string pattern = (fs::temp_directory_path() / "k7test-XXXXXX").string();
    folder_ = ::mkdtemp(pattern.data());
    for (const auto& entry : fs::directory_iterator(fs::path(K7_SOURCE_DIR) / "resources"))
        fs::copy_file(entry.path(), fs::path(folder_) / entry.path().filename());
}

TempEnvironment::~TempEnvironment() {
    std::error_code ec;
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(folder_, ec);
}

void TempEnvironment::write(const std::string& name, const std::string& content) const {
    std::ofstream(path(name), std::ios::binary) << content;
}

std::string TempEnvironment::read(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

}  // namespace k7::test
