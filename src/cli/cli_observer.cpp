#include "cli/cli_observer.h"

namespace k7 {

void StatusLogFile::write(const std::string& port, const std::string& line) {
    if (!out_) return;
    // A CR or line feed in a reply would break the line in two, or write over it.
    std::string text = prefixPorts_ ? port + ": " : "";
    for (const char c : line) text += c == '\r' ? "{0D}" : c == '\n' ? "{0A}" : std::string(1, c);
    std::lock_guard lock(mutex_);
    *out_ << text << '\n';
    out_->flush();
}

ProgressLine::ProgressLine(std::ostream* out, const std::vector<std::string>& ports) : out_(out) {
    for (const std::string& port : ports) ports_.push_back({port, "", 0, 0});
}

void ProgressLine::update(std::size_t index, const PortProgress& progress) {
    if (!out_) return;
    std::lock_guard lock(mutex_);
    ports_.at(index) = progress;
    const std::string line = progressLine(ports_);
    if (line == shown_) return;
    // Back to the line's start, the new text, and the rest of the old text erased.
    *out_ << '\r' << line << "\x1b[K" << std::flush;
    shown_ = line;
}

void ProgressLine::clear() {
    if (!out_) return;
    std::lock_guard lock(mutex_);
    if (!shown_.empty()) *out_ << "\r\x1b[K" << std::flush;
    shown_.clear();
}

void CliObserver::progressMaximum(int maximum) {
    progress_.maximum = maximum;
    show();
}

void CliObserver::progress(int value) {
    progress_.value = value;
    show();
}

void CliObserver::caption(const std::string& text) {
    progress_.caption = text;
    progress_.value = 0;
    show();
}

void CliObserver::show() {
    progressLine_.update(index_, progress_);
    if (onProgress) onProgress(progress_);
}

}  // namespace k7
