#include "cli/command_runner.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>

#include <sys/stat.h>

#include "cfgfile/cfg_file.h"
#include "cfgfile/keyboard_history.h"
#include "cli/cli_observer.h"
#include "cli/command_line.h"
#include "cli/interruptible_pump.h"
#include "cli/list_file.h"
#include "cli/outcome_output.h"
#include "cli/station.h"
#include "settings/line_choices.h"
#include "settings/serial_settings.h"
#include "program_version.h"

namespace k7 {
namespace {

// A device named without a folder lies in /dev (ttyUSB0); a relative path is made absolute.
std::string devicePath(const std::string& port) {
    if (port.find('/') == std::string::npos) return "/dev/" + port;
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(port, ec);
    return ec ? port : absolute.lexically_normal().string();
}

// Two names of one device: a link and its target, two links, two nodes of one device,
// or the same path.
bool sameDevice(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    if (a == b) return true;
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    if (S_ISCHR(sa.st_mode) && S_ISCHR(sb.st_mode)) return sa.st_rdev == sb.st_rdev;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Says why the command cannot run, as the run would say anything: exit status 2. An
// error of several lines (a list file's bad lines) gives a line each.
int usageFailure(CliPlatform& platform, bool json, const std::string& command, const std::string& error,
                 const std::vector<std::string>& warnings) {
    if (json) platform.out << jsonError(command, error, warnings) << "\n";
    else
        for (std::size_t start = 0; start < error.size();) {
            const std::size_t end = std::min(error.find('\n', start), error.size());
            platform.err << "korven7: " << error.substr(start, end - start) << "\n";
            start = end + 1;
        }
    return 2;
}

// Every line of the file that cannot be used, one a line.
std::string errorLines(const ListFile& file) {
    std::string all;
    for (const std::string& error : file.errors) all += (all.empty() ? "" : "\n") + error;
    return all;
}

// Why a command cannot run: bad usage or a file; exit status 2.
struct UsageError {
    std::string message;
};

class Run {
public:
    Run(const CommandLine& line, CliPlatform& platform) : cl_(line), p_(platform) {}
    int run();

private:
    void prepare();  // throws UsageError
    void prepareSettings();
    void prepareFiles();
    PortOutcome onPort(std::size_t index, CliObserver& observer);
    std::vector<PortOutcome> detect(SerialPort& port, EventPump& pump, CliObserver& observer);
    PortOutcome send(DeviceSession& session, const std::string& device, const RunContext& context);
    std::optional<PortOutcome> backUp(DeviceSession& session, const std::string& device, const RunContext& context,
                                      std::string& where);
    void recordHistory(HistoryEvent event, const std::string& device, const std::vector<KeyString>& entries);
    void writeList(PortOutcome& outcome);
    int report(const std::vector<PortOutcome>& outcomes);
    // One keyboard's list goes out as the text of its .cfg file, to the file or to standard output.
    bool listOut() const {
        return cl_.command == Command::Read && devices_.size() == 1 && !(cl_.json && cl_.listFile.empty());
    }

    const CommandLine& cl_;
    CliPlatform& p_;
    SettingsFile settingsFile_;
    ProgramSettings settings_;
    std::vector<std::string> warnings_;  // about the settings file
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
    int stopSignal_ = 0;  // SIGINT or SIGTERM, once interrupted
};

void Run::prepareSettings() {
    const std::string path = cl_.settingsFile ? *cl_.settingsFile : p_.settingsFileName();
    if (cl_.settingsFile) {
        try {
            p_.files.openRead(path);
        } catch (const std::exception& e) {
            throw UsageError{path + ": the settings file cannot be read (" + e.what() + ")"};
        }
    }
    settingsFile_ = SettingsFile(path);
    settings_ = settingsFile_.program([](const std::string&) {},
                                      [&](const std::string& m) { warnings_.push_back(path + ": " + m); });
    line_ = lineSettings(settings_.serial);
    if (cl_.baud) line_.baud = *cl_.baud;
    if (cl_.parity) line_.parity = *cl_.parity;

    for (const std::string& port : cl_.ports) {
        const auto number = comPortNumber(port);
        const std::string device = number ? settingsFile_.portDevice(*number) : devicePath(port);
        for (std::size_t i = 0; i < devices_.size(); ++i)
            if (sameDevice(devices_[i], device))
                throw UsageError{"--port: " + cl_.ports[i] + " and " + port + " are the same device (" + device +
                                 "), given twice"};
        devices_.push_back(device);
    }
    if (devices_.empty() && cl_.command != Command::Detect && cl_.command != Command::Station)
        devices_.push_back(settingsFile_.portDevice(settings_.serial.port));
}

void Run::prepareFiles() {
    if (cl_.command == Command::Verify || cl_.command == Command::Send || cl_.command == Command::Station) {
        ListFile file = loadListFile(p_.files, cl_.listFile);
        if (!file.errors.empty()) throw UsageError{errorLines(file)};
        list_.replace(std::move(file.entries));
    }
    if (cl_.command == Command::Send && list_.size() == 0 && !cl_.allowEmpty && !cl_.dryRun)
        throw UsageError{cl_.listFile +
                         ": the list sets no key: every key would get its default string; add --allow-empty to do that"};
    if (cl_.backup) {
        backupIsFolder_ = p_.files.isFolder(*cl_.backup);
        if (!backupIsFolder_ && devices_.size() > 1) throw UsageError{"--backup: give a folder to back up several ports"};
    }
    if (cl_.command == Command::Read || cl_.command == Command::Send) {
        writtenAt_ = p_.nowText();
        history_.emplace(p_.files, p_.historyFolder());
    }
    if (cl_.command == Command::Read && !cl_.listFile.empty() && cl_.listFile != "-") {
        try {
            p_.files.checkWritable(cl_.listFile);  // before the long read, not after it
        } catch (const std::exception& e) {
            throw UsageError{cl_.listFile + " cannot be written (" + e.what() + "); nothing was read"};
        }
    }
    if (cl_.logFile) {
        logFile_.open(*cl_.logFile, std::ios::out | std::ios::trunc | std::ios::binary);
        if (!logFile_) throw UsageError{*cl_.logFile + ": the log cannot be written (" + std::strerror(errno) + ")"};
    }
}

void Run::prepare() {
    prepareSettings();
    prepareFiles();
}

// Every port given, or the settings' port and the system's others; the configured rate
// first, then the others of the list unless --baud fixes it.
std::vector<PortOutcome> Run::detect(SerialPort& port, EventPump& pump, CliObserver& observer) {
    std::vector<SearchCandidate> candidates;
    auto add = [&](const std::string& device) {
        const auto same = [&](const SearchCandidate& c) { return c.device == device; };
        if (std::none_of(candidates.begin(), candidates.end(), same)) candidates.push_back({device, device});
    };
    for (const std::string& device : devices_) add(device);
    if (candidates.empty()) {
        add(settingsFile_.portDevice(settings_.serial.port));
        for (const SerialPortInfo& info : p_.listPorts()) add(info.device);
    }
    std::vector<int> rates{line_.baud};
    if (!cl_.baud)
        for (const BaudChoice& choice : kBaudChoices)
            if (choice.baud != line_.baud) rates.push_back(choice.baud);

    DeviceSearch search(port, pump);
    search.onQuery = [&](int done, int total, const SearchCandidate& candidate, int baud) {
        observer.progressMaximum(total);
        observer.progress(done);
        observer.setPort(candidate.device);
        observer.statusLine("Asking " + candidate.device + " at " + std::to_string(baud) + " baud");
    };
    return detectOutcomes(search.run(candidates, rates, line_.parity, true), candidates, rates.size());
}

PortOutcome Run::onPort(std::size_t index, CliObserver& observer) {
    const std::unique_ptr<EventPump> realPump = p_.createPump();
    const std::unique_ptr<SerialPort> port = p_.createPort();
    InterruptiblePump pump(*realPump, interrupted_);
    DeviceSession session(*port, pump, observer);
    session.configure(devices_[index], line_);
    session.link().setFastReplies(cl_.fast);
    const RunContext context{line_.baud, cl_.fast};
    try {
        pump.check();
        switch (cl_.command) {
        case Command::Version: return versionOutcome(session.version(), context);
        case Command::Read: {
            PortOutcome o = readOutcome(session.read(), context);
            if (o.kind == OutcomeKind::Done) recordHistory(HistoryEvent::Read, devices_[index], o.entries);
            return o;
        }
        case Command::Verify: return verifyOutcome(session.verify(list_), context);
        case Command::Send: return send(session, devices_[index], context);
        case Command::Detect:
        case Command::Ports:
        case Command::Station:
        case Command::Check: break;
        }
    } catch (const OperationInterrupted&) {
        return interruptedOutcome(cl_.command, session.eraseSent());
    }
    return {};
}

PortOutcome Run::send(DeviceSession& session, const std::string& device, const RunContext& context) {
    if (cl_.dryRun) return dryRunOutcome(session.read(), list_.keyTable(), context);
    std::string where;
    if (cl_.backup)
        if (std::optional<PortOutcome> stopped = backUp(session, device, context, where)) return *stopped;
    const SendResult result = session.send(list_);
    PortOutcome o = sendOutcome(result, context);
    if (result.written) recordHistory(HistoryEvent::Sent, device, list_.entries());
    o.message += where;
    return o;
}

// The keyboard's strings into the --backup file; the outcome that stops the send when
// they cannot all be read or kept.
std::optional<PortOutcome> Run::backUp(DeviceSession& session, const std::string& device, const RunContext& context,
                                       std::string& where) {
    PortOutcome read = readOutcome(session.read(), context);
    if (read.kind != OutcomeKind::Done) {
        read.message = "nothing was erased: the backup read failed: " + read.message;
        return read;
    }
    const std::string path = backupIsFolder_
                                 ? *cl_.backup + "/" + historyFileName(std::time(nullptr), HistoryEvent::Backup, device)
                                 : *cl_.backup;
    try {
        p_.files.replaceWith(path, cfgFileText(read.entries, writtenAt_));
    } catch (const std::exception& e) {
        read.fileError = true;
        read.message = "nothing was erased: the backup cannot be written to " + path + " (" + e.what() + ")";
        return read;
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
    if (cl_.listFile.empty() || cl_.listFile == "-") {
        p_.out << cfgFileText(outcome.entries, p_.nowText());
        return;
    }
    try {
        p_.files.replaceWith(cl_.listFile, cfgFileText(outcome.entries, p_.nowText()));
        outcome.message += " into " + cl_.listFile;
    } catch (const std::exception& e) {
        outcome.fileError = true;
        outcome.message += ", but " + cl_.listFile + " cannot be written (" + e.what() + ")";
    }
}

int Run::run() {
    try {
        prepare();
    } catch (const UsageError& e) {
        return usageFailure(p_, cl_.json, commandName(cl_.command), e.message, warnings_);
    }
    if (!cl_.json)
        for (const std::string& warning : warnings_) p_.err << "korven7: " << warning << "\n";
    if (cl_.command == Command::Station) {
        StatusLogFile log(cl_.logFile ? &logFile_ : nullptr, true);
        return runStation({cl_, p_, line_, list_, log});
    }
    // Detect is one job that asks the ports one after the other.
    const bool detecting = cl_.command == Command::Detect;
    const std::vector<std::string> shown = detecting ? std::vector<std::string>{"detect"} : devices_;
    StatusLogFile log(cl_.logFile ? &logFile_ : nullptr, shown.size() > 1 || detecting);
    ProgressLine progress(p_.errIsTerminal && !cl_.quiet && !cl_.json ? &p_.err : nullptr, shown);
    std::vector<std::vector<PortOutcome>> perJob(shown.size());
    std::vector<std::function<void()>> jobs;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        jobs.push_back([this, i, detecting, &shown, &log, &progress, &perJob] {
            CliObserver observer(shown[i], i, commandName(cl_.command), log, progress);
            std::vector<PortOutcome>& outcomes = perJob[i];
            try {
                if (detecting) {
                    const std::unique_ptr<EventPump> realPump = p_.createPump();
                    const std::unique_ptr<SerialPort> port = p_.createPort();
                    InterruptiblePump pump(*realPump, interrupted_);
                    outcomes = detect(*port, pump, observer);
                } else {
                    outcomes = {onPort(i, observer)};
                }
            } catch (const OperationInterrupted&) {
                outcomes = {interruptedOutcome(cl_.command, false)};
            } catch (const std::exception& e) {
                outcomes = {failedOutcome(failureOutcome(e), {line_.baud, cl_.fast})};
            }
            if (!detecting) outcomes[0].port = shown[i];
        });
    }
    p_.runJobs(jobs, [this](int signal) { stopSignal_ = signal, interrupted_ = true; });
    progress.clear();

    std::vector<PortOutcome> outcomes;
    for (auto& job : perJob) outcomes.insert(outcomes.end(), job.begin(), job.end());
    if (listOut() && outcomes[0].kind == OutcomeKind::Done) writeList(outcomes[0]);
    return report(outcomes);
}

int Run::report(const std::vector<PortOutcome>& outcomes) {
    int status = runExitStatus(cl_.command, outcomes);
    if (status == 130 && stopSignal_ == SIGTERM) status = 143;
    if (cl_.json) {
        p_.out << jsonDocument(cl_.command, outcomes, status, warnings_) << "\n";
        p_.out.flush();
        return status;
    }
    for (const std::string& line : plainLines(cl_.command, outcomes, listOut())) p_.out << line << "\n";
    p_.out.flush();
    for (const PortOutcome& o : outcomes)
        if (o.kind != OutcomeKind::Done || o.fileError || !cl_.quiet) p_.err << summaryLine(o) << "\n";
    if (!historyFailure_.empty()) p_.err << "korven7: " << historyFailure_ << "\n";
    return status;
}

// check: the file as send would take it, without a keyboard.
int checkFile(const CommandLine& line, CliPlatform& p) {
    const ListFile file = loadListFile(p.files, line.listFile);
    if (!file.errors.empty()) return usageFailure(p, line.json, "check", errorLines(file), {});
    const std::size_t n = file.entries.size();
    if (line.json) {
        p.out << "{\"command\":\"check\",\"exit_status\":0,\"file\":" << jsonText(line.listFile)
              << ",\"entries\":" << jsonEntries(file.entries) << "}\n";
        return 0;
    }
    for (const KeyString& e : file.entries) p.out << e.legend << "\t" << e.notation << "\n";
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
    const CommandLine& line = parsed.line;
    if (!parsed.error.empty())
        return usageFailure(platform, line.json, "", parsed.error + " (see korven7 --help)", {});
    if (line.help) {
        platform.out << kUsage;
        return 0;
    }
    if (line.version) {
        platform.out << "korven7 " << kProgramVersion << "\n";
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
