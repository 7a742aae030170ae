#pragma once
// What the sessions of the command line report, one observer per port: status lines to
// the log file, progress to the terminal, failures kept for the summary. The ports run
// on threads of their own, so the log and the progress line take turns.
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/outcome_output.h"
#include "device/session_observer.h"

namespace k7 {

// The status log of every port in one file, each line as the window shows it; with
// several ports each line starts with "port: ".
class StatusLogFile {
public:
    StatusLogFile(std::ostream* out, bool prefixPorts) : out_(out), prefixPorts_(prefixPorts) {}
    void write(const std::string& port, const std::string& line);
private:
    std::mutex mutex_;
    std::ostream* out_;  // nullptr: no log
    bool prefixPorts_;
};

// The progress line on standard error, redrawn in place when a percentage changes.
class ProgressLine {
public:
    ProgressLine(std::ostream* out, const std::vector<std::string>& ports);
    void update(std::size_t index, const PortProgress& progress);
    void clear();  // removes the line, for the summary to follow
private:
    std::mutex mutex_;
    std::ostream* out_;  // nullptr: not shown
    std::vector<PortProgress> ports_;
    std::string shown_;
};

// Shows the status log and the progress; what came of the operation is in its result.
class CliObserver : public SessionObserver {
public:
    // `caption` names the operation on the progress line until the session gives its own.
    CliObserver(std::string port, std::size_t index, const std::string& caption, StatusLogFile& log,
                ProgressLine& progress)
        : port_(std::move(port)), index_(index), log_(log), progressLine_(progress), progress_{port_, caption, 0, 0} {}
    void statusLine(const std::string& line) override { log_.write(port_, line); }
    void progressShown() override { progress(0); }
    void progressMaximum(int maximum) override;
    void progress(int value) override;
    void caption(const std::string& text) override;
    // The port the following lines are about (detect asks one after the other).
    void setPort(const std::string& port) { port_ = port; }
    // Told of every change of the caption or progress, besides the progress line.
    std::function<void(const PortProgress&)> onProgress;

private:
    void show();
    std::string port_;
    std::size_t index_;
    StatusLogFile& log_;
    ProgressLine& progressLine_;
    PortProgress progress_;
};

}  // namespace k7
