#include "cli/station.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fnmatch.h>
#include <fstream>
#include <list>
#include <map>
#include <mutex>
#include <set>
#include <sstream>

#include "cli/cli_observer.h"
#include "cli/interruptible_pump.h"
#include "cli/sha256.h"
#include "cli/station_report.h"
#include "device/device_session.h"
#include "platform/station_host.h"

namespace k7 {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// How long a keyboard has to answer once its adapter is there (it may get power later).
constexpr auto kAnswerWait = std::chrono::seconds(5);
constexpr int kAskAgainMs = 250;
constexpr const char* kWaitingCaption = "waiting for the keyboard";

// What the person at the station sees: the keyboards in flight, one line each, kept at
// the bottom of a terminal and redrawn in place; above them a line per keyboard done.
// Without a terminal, plain lines: a keyboard's steps and its verdict. Used from every
// keyboard's thread.
class StationView {
public:
    StationView(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}
    void show(const std::string& link, const std::string& step, int percent, double seconds) {
        std::lock_guard lock(mutex_);
        Shown& shown = inFlight_[link];
        // Redrawn when the step or its percentage changes; the time then comes along.
        if (shown.step == step && shown.percent == percent) return;
        if (!terminal_ && shown.step != step) out_ << link << ": " << step << "\n" << std::flush;
        shown = {step, percent,
                 link + "  " + step + (percent >= 0 ? " " + std::to_string(percent) + "%" : "") + "  " + secondsText(seconds)};
        redraw("");
    }
    void done(const std::string& link, const std::string& line, bool bell) {
        std::lock_guard lock(mutex_);
        inFlight_.erase(link);
        redraw(line + (bell && terminal_ ? "\a" : ""));
    }
    void say(const std::string& line) {
        std::lock_guard lock(mutex_);
        redraw(line);
    }

private:
    // Above the keyboards in flight, `line` (if any), then those keyboards again.
    void redraw(const std::string& line) {
        if (!terminal_) {
            if (!line.empty()) out_ << line << "\n" << std::flush;
            return;
        }
        if (drawn_ > 0) out_ << "\x1b[" << drawn_ << "A";
        out_ << "\r\x1b[J";
        if (!line.empty()) out_ << line << "\n";
        for (const auto& [link, shown] : inFlight_) out_ << shown.line.substr(0, 79) << "\n";
        drawn_ = inFlight_.size();
        out_ << std::flush;
    }
    std::mutex mutex_;
    std::ostream& out_;
    bool terminal_;
    struct Shown {
        std::string step;
        int percent = -1;
        std::string line;
    };
    std::map<std::string, Shown> inFlight_;
    std::size_t drawn_ = 0;
};

// One plug of one keyboard, from its link's appearance to its verdict.
struct Keyboard {
    KeyboardReport report;
    Clock::time_point started = Clock::now();
    std::atomic<bool> stop{false};
    std::function<void()> wake;  // the loop's handle on the keyboard's thread
    bool present = true;         // its link is still in the folder
    bool replugged = false;      // its link vanished and came back while it was ending
};

class Station {
public:
    explicit Station(const StationSetup& s)
        : s_(s), cl_(s.line), view_(s.platform.out, s.platform.outIsTerminal) {}
    int run();

private:
    void scan();
    void plugged(const std::string& name);
    void program(Keyboard& k);
    void ended(std::list<Keyboard>::iterator k);
    void stopAll();
    bool matches(const std::string& name) const {
        return cl_.match.empty() || ::fnmatch(cl_.match.c_str(), name.c_str(), 0) == 0;
    }

    const StationSetup& s_;
    const CommandLine& cl_;
    StationView view_;
    std::unique_ptr<StationHost> host_;
    std::ofstream record_;
    std::string file_, fileSha256_;
    std::set<std::string> leftAlone_;  // there at the start, or done: untouched until they vanish
    std::list<Keyboard> inFlight_;
    StationCount count_;
    bool stopping_ = false;
    int exitStatus_ = 0;
};

int Station::run() {
    std::error_code ec;
    file_ = fs::absolute(cl_.listFile, ec).lexically_normal().string();
    try {
        std::ostringstream bytes;
        bytes << s_.platform.files.openRead(cl_.listFile)->rdbuf();
        fileSha256_ = sha256Hex(bytes.str());
    } catch (const std::exception& e) {
        s_.platform.err << "korven7: " << cl_.listFile << ": the file cannot be read (" << e.what() << ")\n";
        return 2;
    }
    if (!cl_.recordFile.empty()) {
        record_.open(cl_.recordFile, std::ios::out | std::ios::app | std::ios::binary);
        if (!record_) {
            s_.platform.err << "korven7: " << cl_.recordFile << ": the record cannot be written (" << std::strerror(errno) << ")\n";
            return 2;
        }
    }
    host_ = s_.platform.createStationHost();
    try {
        host_->watch(cl_.watchFolder, [this] { scan(); });
    } catch (const std::exception& e) {
        s_.platform.err << "korven7: " << e.what() << "\n";
        return 2;
    }
    for (const std::string& name : host_->names(cl_.watchFolder)) {
        if (!matches(name) || cl_.existing) continue;
        leftAlone_.insert(name);
        view_.say(name + ": there before the station started; left alone (--existing programs it)");
    }
    view_.say("watching " + cl_.watchFolder + (cl_.match.empty() ? "" : " for " + cl_.match) +
              (fs::is_directory(cl_.watchFolder, ec) ? "" : " (not there yet: it comes with the first adapter)") +
              "; Ctrl-C ends");
    scan();
    host_->run([this] { stopAll(); });
    view_.say("station stopped: " + countText(count_));
    return exitStatus_ ? exitStatus_ : count_.failed > 0 ? 1 : 0;
}

void Station::scan() {
    if (stopping_) return;
    std::set<std::string> now;
    for (const std::string& name : host_->names(cl_.watchFolder))
        if (matches(name)) now.insert(name);
    for (auto it = leftAlone_.begin(); it != leftAlone_.end();) it = now.count(*it) ? std::next(it) : leftAlone_.erase(it);
    for (Keyboard& k : inFlight_) {
        const bool there = now.count(k.report.link) > 0;
        if (k.present && !there) {
            // Pulled: its thread stops at its next wait.
            k.present = false;
            k.stop = true;
            k.wake();
        } else if (!k.present && there) {
            k.replugged = true;
        }
        now.erase(k.report.link);
    }
    for (const std::string& name : now)
        if (!leftAlone_.count(name)) plugged(name);
}

void Station::plugged(const std::string& name) {
    Keyboard& k = inFlight_.emplace_back();
    k.report.link = name;
    const std::string path = (fs::path(cl_.watchFolder) / name).string();
    std::error_code ec;
    const fs::path device = fs::canonical(path, ec);
    k.report.device = ec ? path : device.string();
    const SerialPortInfo adapter = host_->adapterOf(k.report.device);
    k.report.serialNumber = adapter.serialNumber;
    k.report.manufacturer = adapter.manufacturer;
    k.report.file = file_;
    k.report.fileSha256 = fileSha256_;
    view_.show(name, kWaitingCaption, -1, 0);
    const auto at = std::prev(inFlight_.end());
    k.wake = host_->start([this, &k] { program(k); }, [this, at] { ended(at); });
}

// On the keyboard's own thread.
void Station::program(Keyboard& k) {
    ProgressLine hidden(nullptr, {});
    CliObserver observer(k.report.link, 0, kWaitingCaption, s_.log, hidden);
    observer.onProgress = [&](const PortProgress& p) {
        const int percent = p.maximum > 0 ? std::clamp(p.value * 100 / p.maximum, 0, 100) : -1;
        view_.show(k.report.link, p.caption, percent, std::chrono::duration<double>(Clock::now() - k.started).count());
    };
    const RunContext context{s_.lineSettings.baud, cl_.fast};
    const std::unique_ptr<EventPump> realPump = s_.platform.createPump();
    const std::unique_ptr<SerialPort> port = s_.platform.createPort();
    InterruptiblePump pump(*realPump, k.stop);
    DeviceSession session(*port, pump, observer);
    session.configure(k.report.device, s_.lineSettings);
    session.link().setFastReplies(cl_.fast);
    PortOutcome outcome;
    try {
        // The adapter is often there before the keyboard has power: ask until it answers.
        VersionResult version;
        for (const auto until = Clock::now() + kAnswerWait;;) {
            version = session.link().queryVersion();
            if (version.text && !isKorven7Reply(*version.text)) version.outcome = noVersionReply(*version.text);
            if (version.outcome.ok() || Clock::now() >= until) break;
            session.link().delay(kAskAgainMs);
        }
        if (version.outcome.ok()) {
            k.report.firmware = versionOutcome(version, context).version;
            outcome = sendOutcome(session.send(s_.list), context);
        } else {
            outcome = failedOutcome(version.outcome, context);
        }
    } catch (const OperationInterrupted&) {
        outcome = interruptedOutcome(Command::Send, session.eraseSent());
    } catch (const std::exception& e) {
        outcome = failedOutcome(failureOutcome(e), context);
    }
    k.report.verdict = stationVerdict(outcome, session.eraseSent());
    k.report.differences = outcome.differences;
    k.report.seconds = std::chrono::duration<double>(Clock::now() - k.started).count();
}

void Station::ended(std::list<Keyboard>::iterator at) {
    scan();  // a pull may end the send before the folder's change arrives
    Keyboard& k = *at;
    KeyboardReport& r = k.report;
    // Pulled before it passed: whatever the line said when it went, the plug was cut short.
    if (r.verdict.verdict != Verdict::Pass && !k.present) r.verdict = unpluggedVerdict(r.verdict.eraseSent);
    r.time = utcNowText();
    if (r.verdict.verdict == Verdict::Pass) ++count_.programmed;
    else ++count_.failed;
    view_.done(r.link, doneLine(r, count_), r.verdict.verdict != Verdict::Pass);
    if (record_.is_open() && exitStatus_ == 0) {
        const std::string line = recordLine(r) + '\n';
        record_.write(line.data(), std::streamsize(line.size())).flush();
        if (!record_) {
            // A station must not program on without its record.
            s_.platform.err << "korven7: " << cl_.recordFile << ": the record cannot be written (" << std::strerror(errno)
                            << "); the station stops\n";
            exitStatus_ = 2;
            stopAll();
        }
    }
    const std::string link = r.link;
    const bool present = k.present, replugged = k.replugged;
    inFlight_.erase(at);
    if (present) leftAlone_.insert(link);  // done for this plug
    else if (replugged) scan();            // plugged again meanwhile: a new plug
    if (stopping_ && inFlight_.empty()) host_->quit();
}

void Station::stopAll() {
    stopping_ = true;
    for (Keyboard& k : inFlight_) {
        k.stop = true;
        k.wake();
    }
    if (inFlight_.empty()) host_->quit();
}

}  // namespace

int runStation(const StationSetup& setup) {
    Station station(setup);
    return station.run();
}

}  // namespace k7
