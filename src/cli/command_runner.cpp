#include "cli/command_runner.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "cfgfile/cfg_file.h"
#include "cfgfile/keyboard_history.h"
#include "cli/cli_observer.h"
#include "cli/command_line.h"
#include "cli/list_file.h"
#include "cli/outcome_output.h"
#include "settings/serial_settings.h"

namespace k7 {
namespace {

constexpr int kStandardBauds[] = {1200, 4800, 9600, 19200, 38400, 57600};

// Thrown out of a wait once the user has interrupted; not a std::exception, so that the
// engine's handlers let it pass (closing the port on the way) instead of reporting it.
struct OperationInterrupted {};

class InterruptiblePump : public EventPump {
public:
    InterruptiblePump(EventPump& pump, const std::atomic<bool>& interrupted) : pump_(pump), interrupted_(interrupted) {}
    void doEvents() override { pump_.doEvents(), check(); }
    void waitEvents() override { pump_.waitEvents(), check(); }
    std::unique_ptr<Timer> createTimer() override { return pump_.createTimer(); }
    void check() const {
        if (interrupted_) throw OperationInterrupted{};
    }
private:
    EventPump& pump_;
    const std::atomic<bool>& interrupted_;
};

// A device named without a folder lies in /dev (ttyUSB0); a relative path is made absolute.
std::string devicePath(const std::string& port) {
    if (port.find('/') == std::string::npos) return "/dev/" + port;
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(port, ec);
    return ec ? port : absolute.lexically_normal().string();
}

class Run {
public:
    Run(const CommandLine& line, CliPlatform& platform) : cl_(line), p_(platform) {}
    int run();

private:
    bool prepare();  // false after a message: bad usage or a file that cannot be read
    int usageError(const std::string& message) {
        p_.err << "korven7: " << message << "\n";
        return 2;
    }
    PortOutcome onPort(std::size_t index, CliObserver& observer);
    PortOutcome detect(DeviceSession& session, CliObserver& observer);
    PortOutcome send(DeviceSession& session, CliObserver& observer, const std::string& device);
    std::optional<PortOutcome> backUp(DeviceSession& session, CliObserver& observer, const std::string& device,
                                      std::string& where);
    void recordHistory(HistoryEvent event, const std::string& device, const std::vector<KeyString>& entries);
    void writeList(PortOutcome& outcome);

    const CommandLine& cl_;
    CliPlatform& p_;
    std::string settingsFile_;
    ProgramSettings settings_;
    std::vector<std::string> devices_;
    LineSettings line_;
    KeyStringList list_;
    std::ofstream logFile_;
    std::atomic<bool> interrupted_{false};
    std::string writtenAt_;  // the time of the run, for the files it writes
    std::optional<KeyboardHistory> history_;
    bool backupIsFolder_ = false;
    std::mutex historyMutex_;
    std::string historyFailure_;  // said once, at the end
};

bool Run::prepare() {
    if (cl_.settingsFile) {
        settingsFile_ = *cl_.settingsFile;
        try {
            p_.files.openRead(settingsFile_);
        } catch (const std::exception& e) {
            usageError(settingsFile_ + ": the settings file cannot be read (" + e.what() + ")");
            return false;
        }
    } else {
        settingsFile_ = p_.settingsFileName();
    }
    settings_ = loadSettings(settingsFile_, [&](const std::string& m) { p_.err << "korven7: " << settingsFile_ << ": " << m << "\n"; });
    line_ = lineSettings(settings_.serial);
    if (cl_.baud) line_.baud = *cl_.baud;
    if (cl_.parity) line_.parity = *cl_.parity;

    for (const std::string& port : cl_.ports) {
        const auto number = comPortNumber(port);
        const std::string device = number ? portDeviceName(settingsFile_, *number) : devicePath(port);
        if (std::find(devices_.begin(), devices_.end(), device) != devices_.end()) {
            usageError("--port: " + port + " is " + device + ", which is given twice");
            return false;
        }
        devices_.push_back(device);
    }
    if (devices_.empty() && cl_.command != Command::Detect)
        devices_.push_back(portDeviceName(settingsFile_, settings_.serial.port));

    if (cl_.command == Command::Verify || cl_.command == Command::Send) {
        ListFile file = loadListFile(p_.files, cl_.listFile);
        if (!file.error.empty()) {
            usageError(file.error);
            return false;
        }
        list_.replace(std::move(file.entries));
    }
    if (cl_.command == Command::Send && list_.size() == 0 && !cl_.allowEmpty && !cl_.dryRun) {
        usageError(cl_.listFile + ": the list sets no key: every key would get its default string; add --allow-empty to do that");
        return false;
    }
    if (cl_.backup) {
        backupIsFolder_ = p_.files.isFolder(*cl_.backup);
        if (!backupIsFolder_ && devices_.size() > 1) {
            usageError("--backup: give a folder to back up several ports");
            return false;
        }
    }
    if (cl_.command == Command::Read || cl_.command == Command::Send) {
        writtenAt_ = p_.nowText();
        history_.emplace(p_.files, p_.historyFolder());
    }
    if (cl_.logFile) {
        logFile_.open(*cl_.logFile, std::ios::out | std::ios::trunc | std::ios::binary);
        if (!logFile_) {
            usageError(*cl_.logFile + ": the log cannot be written (" + std::strerror(errno) + ")");
            return false;
        }
    }
    return true;
}

PortOutcome Run::detect(DeviceSession& session, CliObserver& observer) {
    std::vector<std::string> candidates = devices_;
    if (candidates.empty()) {
        candidates.push_back(portDeviceName(settingsFile_, settings_.serial.port));
        for (const SerialPortInfo& info : p_.listPorts())
            if (std::find(candidates.begin(), candidates.end(), info.device) == candidates.end())
                candidates.push_back(info.device);
    }
    std::vector<int> bauds{line_.baud};
    if (!cl_.baud)
        for (int baud : kStandardBauds)
            if (baud != line_.baud) bauds.push_back(baud);

    std::string skipped;
    observer.progressMaximum(int(candidates.size() * bauds.size()));
    int tried = 0;
    for (const std::string& device : candidates) {
        for (int baud : bauds) {
            observer.progress(tried++);
            session.configure(device, {baud, line_.parity, 8, 1});
            const std::string reply = session.link().queryVersion();
            if (const std::string failure = observer.takeFailure(); !failure.empty()) {
                skipped += "; skipped " + device + ": " + failure;
                break;  // a port that cannot be opened at one rate cannot at any
            }
            observer.statusLine(device + " at " + std::to_string(baud) + " baud: " + reply);
            if (reply.find("KORVEN7") == std::string::npos) continue;
            PortOutcome found = versionOutcome(reply, "");
            found.port = device;
            found.baud = baud;
            found.message = "KORVEN7 found at " + std::to_string(baud) + " baud: " + found.version;
            return found;
        }
    }
    PortOutcome none;
    none.outcome = Outcome::NoAnswer;
    none.message = "no KORVEN7 answered on " + std::to_string(candidates.size()) + (candidates.size() == 1 ? " port" : " ports") +
                   " at " + std::to_string(bauds.size()) + (bauds.size() == 1 ? " baud rate" : " baud rates") +
                   " (check the cable, the power, and that no other program holds the port)" + skipped;
    return none;
}

PortOutcome Run::onPort(std::size_t index, CliObserver& observer) {
    const std::unique_ptr<SerialPort> port = p_.createPort();
    const std::unique_ptr<EventPump> realPump = p_.createPump();
    InterruptiblePump pump(*realPump, interrupted_);
    DeviceSession session(*port, pump, observer);
    session.configure(cl_.command == Command::Detect ? "" : devices_[index], line_);
    session.link().setFastReplies(cl_.fast);
    pump.check();
    switch (cl_.command) {
    case Command::Version: {
        const std::string reply = session.version();
        return versionOutcome(reply, observer.takeFailure());
    }
    case Command::Read: {
        PortOutcome o = readOutcome(session.read(), observer.takeFailure());
        if (o.outcome == Outcome::Ok) recordHistory(HistoryEvent::Read, devices_[index], o.entries);
        return o;
    }
    case Command::Verify: return verifyOutcome(session.verify(list_), observer.takeFailure());
    case Command::Send: return send(session, observer, devices_[index]);
    case Command::Detect: return detect(session, observer);
    case Command::Ports: break;
    }
    return {};
}

PortOutcome Run::send(DeviceSession& session, CliObserver& observer, const std::string& device) {
    if (cl_.dryRun) return dryRunOutcome(session.read(), list_.keyTable(), observer.takeFailure());
    std::string where;
    if (cl_.backup)
        if (std::optional<PortOutcome> stopped = backUp(session, observer, device, where)) return *stopped;
    const SendResult result = session.send(list_);
    PortOutcome o = sendOutcome(result, observer.takeFailure(), observer.writingBegun());
    if (result.ending == Ending::Completed) recordHistory(HistoryEvent::Sent, device, list_.entries());
    o.message += where;
    return o;
}

// The keyboard's strings into the --backup file; the outcome that stops the send when
// they cannot all be read or kept.
std::optional<PortOutcome> Run::backUp(DeviceSession& session, CliObserver& observer, const std::string& device,
                                       std::string& where) {
    PortOutcome read = readOutcome(session.read(), observer.takeFailure());
    if (read.outcome != Outcome::Ok) {
        read.message = "nothing was erased: the backup read failed: " + read.message;
        return read;
    }
    const std::time_t now = std::time(nullptr);
    const std::string path =
        backupIsFolder_ ? *cl_.backup + "/" + historyFileName(now, HistoryEvent::Backup, device) : *cl_.backup;
    try {
        p_.files.replaceWith(path, cfgFileText(read.entries, writtenAt_));
    } catch (const std::exception& e) {
        PortOutcome failed;
        failed.outcome = Outcome::FileError;
        failed.message = "nothing was erased: the backup cannot be written to " + path + " (" + e.what() + ")";
        return failed;
    }
    recordHistory(HistoryEvent::Backup, device, read.entries);
    where = "; the keyboard's strings were first kept in " + path;
    return std::nullopt;
}

void Run::recordHistory(HistoryEvent event, const std::string& device, const std::vector<KeyString>& entries) {
    const std::string failure = history_->record(event, device, entries, std::time(nullptr), writtenAt_);
    const std::lock_guard lock(historyMutex_);
    if (!failure.empty()) historyFailure_ = failure;
}

void Run::writeList(PortOutcome& outcome) {
    try {
        p_.files.replaceWith(cl_.listFile, cfgFileText(outcome.entries, p_.nowText()));
        outcome.message += " into " + cl_.listFile;
    } catch (const std::exception& e) {
        outcome.outcome = Outcome::FileError;
        outcome.message += ", but " + cl_.listFile + " cannot be written (" + e.what() + ")";
    }
}

int Run::run() {
    if (!prepare()) return 2;
    // Detect is one job that tries the ports one after the other.
    const std::vector<std::string> shown = cl_.command == Command::Detect ? std::vector<std::string>{"detect"} : devices_;
    StatusLogFile log(cl_.logFile ? &logFile_ : nullptr, shown.size() > 1);
    ProgressLine progress(p_.errIsTerminal && !cl_.quiet ? &p_.err : nullptr, shown);
    std::vector<PortOutcome> outcomes(shown.size());
    std::vector<std::function<void()>> jobs;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        jobs.push_back([this, i, &shown, &log, &progress, &outcomes] {
            CliObserver observer(shown[i], i, commandName(cl_.command), log, progress);
            PortOutcome o;
            try {
                o = onPort(i, observer);
            } catch (const OperationInterrupted&) {
                o = interruptedOutcome(cl_.command, observer.writingBegun());
            } catch (const std::exception& e) {
                o.outcome = Outcome::Failed;
                o.message = e.what();
            }
            if (cl_.command != Command::Detect) o.port = shown[i];
            outcomes[i] = std::move(o);
        });
    }
    p_.runJobs(jobs, [this] { interrupted_ = true; });
    progress.clear();

    if (cl_.command == Command::Read && !cl_.listFile.empty() && outcomes[0].outcome == Outcome::Ok) writeList(outcomes[0]);
    if (cl_.json) {
        p_.out << jsonDocument(cl_.command, outcomes) << "\n";
    } else {
        for (const std::string& line : plainLines(cl_.command, outcomes, !cl_.listFile.empty())) p_.out << line << "\n";
    }
    p_.out.flush();
    for (const PortOutcome& o : outcomes)
        if (o.outcome != Outcome::Ok || !cl_.quiet) p_.err << summaryLine(o) << "\n";
    if (!historyFailure_.empty()) p_.err << "korven7: " << historyFailure_ << "\n";
    return worstExitStatus(outcomes);
}

// check: the file as send would take it, without a keyboard.
int checkFile(const CommandLine& line, CliPlatform& p) {
    const ListFile file = loadListFile(p.files, line.listFile);
    if (!file.error.empty()) {
        p.err << "korven7: " << file.error << "\n";
        return 2;
    }
    if (line.json) {
        p.out << "{\"command\":\"check\",\"exit_status\":0,\"file\":" << jsonText(line.listFile)
              << ",\"entries\":" << jsonEntries(file.entries) << "}\n";
    } else {
        for (const KeyString& e : file.entries) p.out << e.legend << "\t" << e.notation << "\n";
    }
    const std::size_t n = file.entries.size();
    if (!line.quiet)
        p.err << "korven7: " << line.listFile << ": "
              << (n ? "sets " + std::to_string(n) + (n == 1 ? " key" : " keys") + "; every other key gets its default string"
                    : std::string("the list sets no key: every key would get its default string"))
              << "\n";
    return 0;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args, CliPlatform& platform) {
    const ParsedCommandLine parsed = parseCommandLine(args);
    if (!parsed.error.empty()) {
        platform.err << "korven7: " << parsed.error << " (see korven7 --help)\n";
        return 2;
    }
    const CommandLine& line = parsed.line;
    if (line.help) {
        platform.out << kUsage;
        return 0;
    }
    if (line.version) {
        platform.out << "korven7 " << K7_PROGRAM_VERSION << "\n";
        return 0;
    }
    if (line.command == Command::Ports) {
        const std::vector<SerialPortInfo> ports = platform.listPorts();
        if (line.json) platform.out << jsonPortList(ports) << "\n";
        else
            for (const SerialPortInfo& port : ports)
                platform.out << port.device << "\t" << port.description << "\t" << port.manufacturer << "\t"
                             << port.serialNumber << "\n";
        return 0;
    }
    if (line.command == Command::Check) return checkFile(line, platform);
    Run run(line, platform);
    return run.run();
}

}  // namespace k7
