#include "cli/station_report.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "cli/outcome_output.h"

namespace k7 {

StationVerdict stationVerdict(const PortOutcome& outcome, bool eraseSent) {
    if (outcome.kind == OutcomeKind::Done && !outcome.fileError) return {Verdict::Pass, outcome.message, eraseSent};
    if (outcome.kind == OutcomeKind::Interrupted) return {Verdict::Interrupted, outcome.message, eraseSent};
    return {Verdict::Fail, outcome.message, eraseSent};
}

StationVerdict unpluggedVerdict(bool eraseSent) {
    return {Verdict::Interrupted,
            eraseSent ? "unplugged part-way; the keyboard needs a new send" : "unplugged before anything was written",
            eraseSent};
}

namespace {

const char* verdictName(Verdict verdict) {
    switch (verdict) {
    case Verdict::Pass: return "pass";
    case Verdict::Fail: return "fail";
    case Verdict::Interrupted: return "interrupted";
    }
    return "";
}

std::string jsonOrNull(const std::string& text) { return text.empty() ? "null" : jsonText(text); }

}  // namespace

std::string recordLine(const KeyboardReport& r) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", r.seconds);
    return "{\"time\":" + jsonText(r.time) + ",\"link\":" + jsonText(r.link) + ",\"device\":" + jsonText(r.device) +
           ",\"serial_number\":" + jsonOrNull(r.serialNumber) + ",\"manufacturer\":" + jsonOrNull(r.manufacturer) +
           ",\"firmware\":" + jsonOrNull(r.firmware) + ",\"file\":" + jsonText(r.file) + ",\"sha256\":" +
           jsonText(r.fileSha256) + ",\"outcome\":" + jsonText(verdictName(r.verdict.verdict)) + ",\"reason\":" +
           jsonText(r.verdict.reason) + ",\"needs_new_send\":" +
           (r.verdict.verdict != Verdict::Pass && r.verdict.eraseSent ? "true" : "false") + ",\"keys\":" + jsonDifferences(r.differences) +
           ",\"seconds\":" + seconds + "}";
}

std::string countText(const StationCount& count) {
    return std::to_string(count.programmed) + " programmed, " + std::to_string(count.failed) + " failed";
}

std::string secondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
}

std::string doneLine(const KeyboardReport& r, const StationCount& count) {
    return std::string(r.verdict.verdict == Verdict::Pass ? "PASS" : "FAIL") + "  " + r.link + "  " + r.verdict.reason +
           "  " + secondsText(r.seconds) + "  (" + countText(count) + ")";
}

std::string utcNowText() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace k7
