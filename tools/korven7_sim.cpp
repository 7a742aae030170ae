// korven7-sim: a KORVEN7 on a pseudo-terminal, for trying the program without the
// keyboard and for end-to-end tests. See usage() or --help.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "emulator/korven7_emulator.h"
#include "settings/ini_file.h"
#include "settings/numbers.h"

namespace {

constexpr const char* kUsage = R"(usage: korven7-sim LINK [options]
       korven7-sim --set-port-in INI LINK [--baud RATE]

Serves a KORVEN7 keyboard on a pseudo-terminal and makes LINK a symbolic link to it
(a stale link is replaced, one that a running emulator serves is refused; the link is
removed on exit). Open LINK as the serial port.
Every frame received and every reply is logged on standard error. Ends on Ctrl-C,
SIGINT or SIGTERM.

options:
  --baud RATE            pace replies at RATE baud, 10 bits per byte (default 9600); as
                         a USB adapter does, what arrives within 1 ms reaches the host
                         in one piece
  --silent               answer nothing at all
  --silent-rows R,R,...  no reply to read-back requests for these rows (0-102)
  --no-ack-at N          lose the Nth frame that expects an ACK (erase, write, flash)
  --split-ack            send ACK in two pieces: "AC", a pause of 20 ms, then "K"
  --text-before-ack      answer "OK ACK" instead of "ACK"
  --version-text TEXT    answer the version request with TEXT (\r \n \t \\ \xHH allowed;
                         default "KORVEN7 V2.14\r\n")
  --readback-length N    cut (N < 51) or pad with CR (N > 51) read-back replies to N characters
  --bad-scancode HEX     read-back replies name this scancode, e.g. 03 or 6B
  --slow MS              start every reply MS milliseconds later
  --strict-baud          hear only at RATE: what the host sends with the port set to
                         another rate is noise to the device and gets no answer
  --appear-after S       play a plug: make LINK only S seconds after starting
  --vanish-after S       play a pull: S seconds after LINK appeared, remove it and hang up
                         the line (the emulator ends)
  --help                 show this text

--set-port-in INI LINK: in the settings file INI, point the configured port (section
[COMSETTINGS] key PORT, default 1) at LINK: [PORTS] COMn=<absolute path of LINK>; every
other line stays as it is. With --baud, also set [COMSETTINGS] BAUD when it is missing.
)";

// How long a USB serial adapter gathers received bytes before it passes them on (the
// latency timer Linux sets for FTDI adapters).
constexpr std::int64_t kAdapterLatencyUs = 1000;

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

[[noreturn]] void Fail(const std::string& what) {
    std::cerr << "korven7-sim: " << what << "\n";
    std::exit(2);
}

[[noreturn]] void FailSys(const std::string& what) { Fail(what + ": " + std::strerror(errno)); }

int ParseInt(const std::string& text, const char* option, int base = 10) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || ec != std::errc() || ptr != end || value < 0)
        Fail(std::string(option) + ": not a number: " + text);
    return value;
}

// \r \n \t \\ and \xHH in a command-line text.
std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'r') out += '\r';
        else if (c == 'n') out += '\n';
        else if (c == 't') out += '\t';
        else if (c == 'x' && i + 2 < text.size()) {
            out += static_cast<char>(ParseInt(text.substr(i + 1, 2), "--version-text", 16));
            i += 2;
        } else out += c;
    }
    return out;
}

struct Options {
    std::string link;
    int baud = 9600;
    bool baudGiven = false;
    bool strictBaud = false;
    double appearAfter = 0;             // seconds
    std::optional<double> vanishAfter;  // seconds after appearing
    std::optional<std::string> setPortIn;  // INI file for --set-port-in
    k7::EmulatorFaults faults;
};

Options ParseArgs(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) Fail(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            std::exit(0);
        } else if (arg == "--baud") {
            o.baud = ParseInt(value(), "--baud");
            o.baudGiven = true;
            if (o.baud == 0) Fail("--baud: must be above 0");
        } else if (arg == "--silent") {
            o.faults.silent = true;
        } else if (arg == "--silent-rows") {
            const std::string rows = value();
            std::size_t start = 0;
            while (start <= rows.size()) {
                const std::size_t comma = std::min(rows.find(',', start), rows.size());
                o.faults.silentRows.insert(ParseInt(rows.substr(start, comma - start), "--silent-rows"));
                start = comma + 1;
            }
        } else if (arg == "--no-ack-at") {
            o.faults.noAckAtFrame = ParseInt(value(), "--no-ack-at");
        } else if (arg == "--split-ack") {
            o.faults.splitAck = true;
        } else if (arg == "--text-before-ack") {
            o.faults.textBeforeAck = true;
        } else if (arg == "--version-text") {
            o.faults.versionText = Unescape(value());
        } else if (arg == "--readback-length") {
            o.faults.readbackLength = ParseInt(value(), "--readback-length");
        } else if (arg == "--bad-scancode") {
            const int code = ParseInt(value(), "--bad-scancode", 16);
            if (code > 0xFF) Fail("--bad-scancode: above FF");
            o.faults.badScancode = code;
        } else if (arg == "--slow") {
            o.faults.extraDelayMs = ParseInt(value(), "--slow");
        } else if (arg == "--strict-baud") {
            o.strictBaud = true;
        } else if (arg == "--appear-after" || arg == "--vanish-after") {
            const std::string text = value();
            char* end = nullptr;
            const double seconds = std::strtod(text.c_str(), &end);
            if (text.empty() || *end != '\0' || !(seconds >= 0) || seconds > 1e6) Fail(arg + ": not a number of seconds: " + text);
            (arg == "--appear-after" ? o.appearAfter : o.vanishAfter.emplace()) = seconds;
        } else if (arg == "--set-port-in") {
            o.setPortIn = value();
        } else if (!arg.empty() && arg[0] == '-') {
            Fail("unknown option " + arg + " (see --help)");
        } else if (o.link.empty()) {
            o.link = arg;
        } else {
            Fail("more than one link path given (see --help)");
        }
    }
    if (o.link.empty()) Fail("no link path given (see --help)");
    return o;
}

// Points the configured port of the settings file at the link.
int SetPortIn(const std::string& ini, const Options& o) {
    k7::IniDocument doc = k7::IniDocument::read(ini);
    int port = 1;
    try {
        port = std::max<int>(1, k7::toInt16(doc.value("COMSETTINGS", "PORT").value_or("1")));
    } catch (const std::exception&) {
    }
    const std::string target = std::filesystem::absolute(o.link).lexically_normal().string();
    try {
        doc.set("PORTS", "COM" + std::to_string(port), target);
        if (o.baudGiven && !doc.value("COMSETTINGS", "BAUD")) doc.set("COMSETTINGS", "BAUD", std::to_string(o.baud));
        doc.write(ini);
    } catch (const std::exception& e) {
        Fail("cannot write " + ini + ": " + e.what());
    }
    std::cerr << "korven7-sim: " << ini << ": COM" << port << "=" << target << "\n";
    return 0;
}

// The pseudo-terminal. The server keeps a descriptor of the slave side itself, so the
// line stays up while the host closes and reopens the port. It watches the slave's
// opens and closes: while no host has the port open, replies are lost on the line, and
// what a host left unread is dropped, as a real port forgets its input when closed.
class PtyLine {
public:
    PtyLine() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0) FailSys("posix_openpt");
        if (grantpt(master_) != 0 || unlockpt(master_) != 0) FailSys("grantpt/unlockpt");
        const char* name = ptsname(master_);
        if (!name) FailSys("ptsname");
        slaveName_ = name;
        slave_ = open(name, O_RDWR | O_NOCTTY);
        if (slave_ < 0) FailSys("open " + slaveName_);
        flock(slave_, LOCK_EX | LOCK_NB);  // tells another emulator that this line is served
        termios tio{};
        if (tcgetattr(slave_, &tio) != 0) FailSys("tcgetattr");
        cfmakeraw(&tio);
        if (tcsetattr(slave_, TCSANOW, &tio) != 0) FailSys("tcsetattr");
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (watch_ >= 0 && inotify_add_watch(watch_, name, IN_OPEN | IN_CLOSE) < 0) {
            close(watch_);
            watch_ = -1;
        }
    }
    ~PtyLine() {
        if (watch_ >= 0) close(watch_);
        close(slave_);
        close(master_);
    }
    int master() const { return master_; }
    // The rate the host set the port to; 0 when it is not one of the usual rates.
    int hostBaud() const {
        static const std::pair<speed_t, int> kRates[] = {{B1200, 1200},   {B2400, 2400},   {B4800, 4800},
                                                         {B9600, 9600},   {B19200, 19200}, {B38400, 38400},
                                                         {B57600, 57600}, {B115200, 115200}};
        termios tio{};
        if (tcgetattr(slave_, &tio) != 0) return 0;
        for (const auto& [speed, baud] : kRates)
            if (cfgetospeed(&tio) == speed) return baud;
        return 0;
    }
    int watchFd() const { return watch_; }
    const std::string& slaveName() const { return slaveName_; }
    // Without the watch the host counts as always there.
    bool hostOpen() const { return watch_ < 0 || hostOpens_ > 0; }

    // Reads the watch. Whenever the host opens or closes the port, what it left unread
    // is dropped (the kernel keeps it while this side stays open). Returns a line for
    // the log, or "".
    std::string noteOpensAndCloses() {
        if (watch_ < 0) return "";
        alignas(inotify_event) char buffer[4096];
        int opened = 0, closed = 0;
        ssize_t n;
        while ((n = read(watch_, buffer, sizeof buffer)) > 0) {
            for (char* p = buffer; p < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->mask & IN_OPEN) ++opened, ++hostOpens_;
                if ((event->mask & IN_CLOSE) && hostOpens_ > 0) ++closed, --hostOpens_;
                p += sizeof(inotify_event) + event->len;
            }
        }
        if (opened + closed == 0) return "";
        tcflush(slave_, TCIFLUSH);
        return "port opened " + std::to_string(opened) + "x, closed " + std::to_string(closed) +
               "x by the host; " + (hostOpens_ > 0 ? "open" : "closed") + " now";
    }

private:
    int master_ = -1;
    int slave_ = -1;
    int watch_ = -1;
    int hostOpens_ = 0;
    std::string slaveName_;
};

// Whether the link leads to a line that a running emulator serves (it holds a lock on
// it) or that a program holds for itself; a stale link leads nowhere or to a free line.
bool Served(const std::string& link) {
    const int fd = open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == EBUSY;
    const bool locked = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);
    return locked;
}

void MakeLink(const std::string& link, const std::string& target) {
    struct stat st{};
    if (lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) Fail(link + " exists and is not a symbolic link");
        if (Served(link)) Fail(link + " is served by a running emulator; give another link path");
        if (unlink(link.c_str()) != 0) FailSys("remove stale link " + link);
    }
    if (symlink(target.c_str(), link.c_str()) != 0) FailSys("symlink " + link);
}

void RemoveLink(const std::string& link, const std::string& target) {
    char buffer[4096];
    const ssize_t n = readlink(link.c_str(), buffer, sizeof buffer);
    if (n > 0 && std::string(buffer, n) == target) unlink(link.c_str());
}

int Serve(const Options& o) {
    sigset_t block, original;
    sigemptyset(&block);
    sigaddset(&block, SIGINT);
    sigaddset(&block, SIGTERM);
    sigaddset(&block, SIGHUP);
    sigprocmask(SIG_BLOCK, &block, &original);
    struct sigaction sa{};
    sa.sa_handler = OnSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);

    PtyLine line;
    // Not plugged in yet: wait, ending early on a signal.
    timespec appear{static_cast<time_t>(o.appearAfter), static_cast<long>((o.appearAfter - std::floor(o.appearAfter)) * 1e9)};
    while (!g_stop && (appear.tv_sec > 0 || appear.tv_nsec > 0)) {
        const auto before = std::chrono::steady_clock::now();
        if (ppoll(nullptr, 0, &appear, &original) == 0) break;
        const auto slept = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - before).count();
        const long long left = std::max<long long>(0, appear.tv_sec * 1000000000LL + appear.tv_nsec - slept);
        appear = {static_cast<time_t>(left / 1000000000), static_cast<long>(left % 1000000000)};
    }
    if (g_stop) return 0;
    MakeLink(o.link, line.slaveName());
    k7::Korven7Emulator device(o.baud);
    device.faults() = o.faults;

    const auto t0 = std::chrono::steady_clock::now();
    auto nowUs = [&] {
        return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0).count();
    };
    std::optional<std::int64_t> vanishUs;
    if (o.vanishAfter) vanishUs = std::int64_t(*o.vanishAfter * 1e6);
    auto say = [&](const std::string& text) {
        const long long us = nowUs();
        std::fprintf(stderr, "[%6lld.%03lld] %s\n", us / 1000000, us / 1000 % 1000, text.c_str());
    };
    say("serving " + o.link + " -> " + line.slaveName() + " at " + std::to_string(o.baud) + " baud");
    auto flushLog = [&] {
        for (const std::string& entry : device.log()) say(entry);
        device.clearRecords();
    };

    std::size_t lost = 0;  // reply bytes nobody could receive, reported once the line is quiet
    while (!g_stop) {
        if (vanishUs && nowUs() >= *vanishUs) {
            say("pulled");
            break;
        }
        if (const std::string change = line.noteOpensAndCloses(); !change.empty()) say(change);
        const std::string due = device.take(nowUs());
        if (!due.empty() && line.hostOpen()) {
            const ssize_t n = write(line.master(), due.data(), due.size());
            lost += due.size() - static_cast<std::size_t>(std::max<ssize_t>(n, 0));
        } else {
            lost += due.size();
        }
        flushLog();
        if (lost > 0 && !device.nextByteTime()) {
            say(std::to_string(lost) + " reply bytes lost: port closed or not read");
            lost = 0;
        }

        timespec timeout{};
        timespec* wait = nullptr;
        std::optional<std::int64_t> next = device.nextPacketTime(kAdapterLatencyUs);
        if (vanishUs) next = std::min(next.value_or(*vanishUs), *vanishUs);
        if (next) {
            const std::int64_t us = std::max<std::int64_t>(0, *next - nowUs());
            timeout.tv_sec = us / 1000000;
            timeout.tv_nsec = us % 1000000 * 1000;
            wait = &timeout;
        }
        pollfd fds[2] = {{line.master(), POLLIN, 0}, {line.watchFd(), POLLIN, 0}};
        const int ready = ppoll(fds, line.watchFd() >= 0 ? 2 : 1, wait, &original);
        if (ready < 0) {
            if (errno == EINTR) continue;
            FailSys("ppoll");
        }
        if (fds[0].revents & POLLIN) {
            char buffer[4096];
            const ssize_t n = read(line.master(), buffer, sizeof buffer);
            if (n > 0 && o.strictBaud && line.hostBaud() != o.baud) {
                say("heard " + std::to_string(n) + " bytes sent at " + std::to_string(line.hostBaud()) +
                    " baud: noise at " + std::to_string(o.baud));
            } else if (n > 0) {
                device.receive(std::string(buffer, n), nowUs());
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                say(std::string("line failed: ") + (n == 0 ? "end of file" : std::strerror(errno)));
                break;
            }
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            // Cannot happen while this process holds the slave open; never spin on it.
            say("line hung up");
            break;
        }
    }
    flushLog();
    RemoveLink(o.link, line.slaveName());
    say("stopped");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseArgs(argc, argv);
    if (options.setPortIn) return SetPortIn(*options.setPortIn, options);
    return Serve(options);
}
