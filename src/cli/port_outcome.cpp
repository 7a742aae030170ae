#include "cli/port_outcome.h"

#include <algorithm>
#include <cstdio>

#include "keystrings/notation.h"

namespace k7 {
namespace {

constexpr const char* kNeedsNewSend = "; the keyboard needs a new send";

PortOutcome outcome(Outcome kind, std::string message) {
    PortOutcome o;
    o.outcome = kind;
    o.message = std::move(message);
    return o;
}

// The probe found no keyboard: silence, or a port that could not be used.
PortOutcome notAttached(const std::string& failure) {
    if (!failure.empty()) return outcome(Outcome::Failed, failure);
    return outcome(Outcome::NoAnswer, "no answer from the keyboard (no reply to the version request)");
}

std::string keyList(const std::vector<std::string>& keys) {
    std::string text;
    for (const std::string& key : keys) text += (text.empty() ? "" : ", ") + key;
    return text;
}

std::string keysCount(std::size_t n) { return std::to_string(n) + (n == 1 ? " key" : " keys"); }

std::vector<StringDifference> differencesOf(const VerifyResult& result) {
    std::vector<StringDifference> differences;
    for (const KeyDifference& d : result.differences) {
        std::optional<std::string> found;
        if (d.found.scancode != 0) found = bytesToNotation(d.found.output);
        differences.push_back({d.expected.legend, bytesToNotation(d.expected.output), found});
    }
    return differences;
}

std::string differingKeys(const std::vector<StringDifference>& differences) {
    std::vector<std::string> keys;
    for (const auto& d : differences) keys.push_back(d.key);
    return keysCount(keys.size()) + " differ from the list: " + keyList(keys);
}

}  // namespace

PortOutcome versionOutcome(const std::string& reply, const std::string& failure) {
    if (reply.empty()) return outcome(Outcome::Failed, failure.empty() ? "the version request failed" : failure);
    if (reply == "???") return outcome(Outcome::NoAnswer, "no answer from the keyboard (no reply to the version request)");
    std::string text = reply;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    PortOutcome o = outcome(Outcome::Ok, "");
    o.version = bytesToNotation(text);
    o.message = "version " + o.version;
    return o;
}

PortOutcome readOutcome(const ReadResult& result, const std::string& failure) {
    if (result.ending == Ending::NotAttached) return notAttached(failure);
    if (result.ending != Ending::Completed) return outcome(Outcome::Failed, failure.empty() ? "the read failed" : failure);
    const std::size_t n = result.customStrings.size();
    PortOutcome o = outcome(Outcome::Ok, "read " + std::to_string(n) + (n == 1 ? " custom string" : " custom strings"));
    o.entries = result.customStrings;
    const KeyTable defaults = defaultKeyTable();
    for (int row : result.unreadRows) o.unread.push_back(defaults[std::size_t(row)].legend);
    if (!o.unread.empty()) {
        o.outcome = Outcome::NoAnswer;
        o.message = keysCount(o.unread.size()) + " did not answer: " + keyList(o.unread);
    }
    return o;
}

PortOutcome verifyOutcome(const VerifyResult& result, const std::string& failure) {
    if (result.ending == Ending::NotAttached) return notAttached(failure);
    if (result.ending != Ending::Completed) return outcome(Outcome::Failed, failure.empty() ? "the verify failed" : failure);
    PortOutcome o = outcome(Outcome::Ok, "verified: the keyboard holds the list");
    o.differences = differencesOf(result);
    if (!o.differences.empty()) o.outcome = Outcome::Differs, o.message = differingKeys(o.differences);
    return o;
}

PortOutcome sendOutcome(const SendResult& result, const std::string& failure, bool writingBegun) {
    const std::string lost = writingBegun ? kNeedsNewSend : "";
    switch (result.ending) {
    case Ending::NotAttached: {
        PortOutcome o = notAttached(failure);
        o.message += "; nothing was written";
        return o;
    }
    case Ending::Failed: return outcome(Outcome::Failed, (failure.empty() ? "the send failed" : failure) + lost);
    case Ending::Aborted: return interruptedOutcome(Command::Send, writingBegun);
    case Ending::NoAcknowledgement: return outcome(Outcome::NoAnswer, "the keyboard did not acknowledge a frame" + lost);
    case Ending::Completed: break;
    }
    PortOutcome o = verifyOutcome(result.verify, failure);
    if (o.outcome == Outcome::Ok) o.message = "sent and verified";
    else if (o.outcome == Outcome::Differs) o.message = "sent, but " + o.message + kNeedsNewSend;
    else o.message = "written, but not verified: " + o.message;
    return o;
}

PortOutcome interruptedOutcome(Command command, bool writingBegun) {
    std::string message = "interrupted";
    if (command == Command::Send)
        message += writingBegun ? std::string(" part-way") + kNeedsNewSend : " before anything was written";
    return outcome(Outcome::Interrupted, message);
}

PortOutcome dryRunOutcome(const ReadResult& read, const KeyTable& writes, const std::string& failure) {
    PortOutcome o = readOutcome(read, failure);
    o.dryRun = true;
    o.entries.clear();
    if (read.ending != Ending::Completed) return o;
    KeyTable holds = defaultKeyTable();
    for (const KeyString& e : read.customStrings)
        if (const int row = findKeyRow(e.legend); row >= 0) holds[std::size_t(row)].output = notationToBytes(e.notation);
    for (int row : read.unreadRows) holds[std::size_t(row)].scancode = 0;
    const KeyTable defaults = defaultKeyTable();
    int changes = 0;
    for (std::size_t row = 0; row < std::size_t(kKeyRows); ++row) {
        const bool answered = holds[row].scancode != 0;
        if (answered && holds[row].output == defaults[row].output && writes[row].output == defaults[row].output) continue;
        std::optional<std::string> held;
        if (answered) held = bytesToNotation(holds[row].output);
        changes += !answered || holds[row].output != writes[row].output;
        o.planned.push_back({defaults[row].legend, held, bytesToNotation(writes[row].output)});
    }
    const std::string summary = "dry run, nothing written: " +
                                (changes ? keysCount(std::size_t(changes)) + " would change" : "the keyboard already holds the list");
    o.message = o.outcome == Outcome::Ok ? summary : summary + "; " + o.message;
    return o;
}

int exitStatus(Outcome outcome) {
    switch (outcome) {
    case Outcome::Ok: return 0;
    case Outcome::Differs: return 1;
    case Outcome::FileError: return 2;
    case Outcome::NoAnswer:
    case Outcome::Failed: return 3;
    case Outcome::Interrupted: return 130;
    }
    return 3;
}

int worstExitStatus(const std::vector<PortOutcome>& outcomes) {
    int worst = 0;
    for (const PortOutcome& o : outcomes) worst = std::max(worst, exitStatus(o.outcome));
    return worst;
}

const char* outcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::Ok: return "ok";
    case Outcome::Differs: return "differs";
    case Outcome::FileError: return "file-error";
    case Outcome::NoAnswer: return "no-answer";
    case Outcome::Failed: return "failed";
    case Outcome::Interrupted: return "interrupted";
    }
    return "";
}

std::vector<std::string> plainLines(Command command, const std::vector<PortOutcome>& outcomes, bool listWritten) {
    std::vector<std::string> lines;
    for (const PortOutcome& o : outcomes) {
        const std::string prefix = outcomes.size() > 1 ? o.port + "\t" : "";
        if (command == Command::Detect && o.outcome == Outcome::Ok)
            lines.push_back(o.port + "\t" + std::to_string(o.baud) + "\t" + o.version);
        if (command == Command::Version && o.outcome == Outcome::Ok) lines.push_back(prefix + o.version);
        if (command == Command::Read && o.outcome == Outcome::Ok && !listWritten)
            for (const KeyString& e : o.entries) lines.push_back(prefix + e.legend + "\t" + e.notation);
        for (const StringDifference& d : o.differences)
            lines.push_back(prefix + d.key + "\t" + d.expected + "\t" + d.found.value_or("(no answer)"));
        for (const PlannedKey& k : o.planned)
            lines.push_back(prefix + k.key + "\t" + k.holds.value_or("(no answer)") + "\t" + k.writes);
    }
    return lines;
}

std::string jsonText(const std::string& bytes) {
    std::string out = "\"";
    for (const char c : bytes) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') out += std::string("\\") + c;
        else if (b >= 0x20 && b < 0x7F) out += c;
        else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", b);
            out += escaped;
        }
    }
    return out + "\"";
}

std::string jsonDocument(Command command, const std::vector<PortOutcome>& outcomes) {
    std::string json = "{\"command\":" + jsonText(commandName(command)) +
                       ",\"exit_status\":" + std::to_string(worstExitStatus(outcomes)) + ",\"results\":[";
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const PortOutcome& o = outcomes[i];
        json += std::string(i ? "," : "") + "{\"port\":" + jsonText(o.port) + ",\"operation\":" +
                jsonText(commandName(command)) + ",\"outcome\":" + jsonText(outcomeName(o.outcome)) +
                ",\"message\":" + jsonText(o.message);
        if (command == Command::Version || command == Command::Detect) json += ",\"version\":" + jsonText(o.version);
        if (command == Command::Detect) json += ",\"baud\":" + std::to_string(o.baud);
        if (command == Command::Read) {
            json += ",\"entries\":[";
            for (std::size_t k = 0; k < o.entries.size(); ++k)
                json += std::string(k ? "," : "") + "{\"key\":" + jsonText(o.entries[k].legend) +
                        ",\"string\":" + jsonText(o.entries[k].notation) + "}";
            json += "],\"unread\":[";
            for (std::size_t k = 0; k < o.unread.size(); ++k) json += std::string(k ? "," : "") + jsonText(o.unread[k]);
            json += "]";
        }
        if (command == Command::Verify || command == Command::Send) {
            json += ",\"differences\":[";
            for (std::size_t k = 0; k < o.differences.size(); ++k) {
                const StringDifference& d = o.differences[k];
                json += std::string(k ? "," : "") + "{\"key\":" + jsonText(d.key) + ",\"expected\":" +
                        jsonText(d.expected) + ",\"found\":" + (d.found ? jsonText(*d.found) : "null") + "}";
            }
            json += "]";
        }
        if (o.dryRun) {
            json += ",\"dry_run\":[";
            for (std::size_t k = 0; k < o.planned.size(); ++k) {
                const PlannedKey& p = o.planned[k];
                json += std::string(k ? "," : "") + "{\"key\":" + jsonText(p.key) + ",\"holds\":" +
                        (p.holds ? jsonText(*p.holds) : "null") + ",\"writes\":" + jsonText(p.writes) + "}";
            }
            json += "]";
        }
        json += "}";
    }
    return json + "]}";
}

std::string jsonPortList(const std::vector<SerialPortInfo>& ports) {
    std::string json = "{\"command\":\"ports\",\"exit_status\":0,\"ports\":[";
    for (std::size_t i = 0; i < ports.size(); ++i)
        json += std::string(i ? "," : "") + "{\"port\":" + jsonText(ports[i].device) + ",\"description\":" +
                jsonText(ports[i].description) + ",\"manufacturer\":" + jsonText(ports[i].manufacturer) +
                ",\"serial_number\":" + jsonText(ports[i].serialNumber) + "}";
    return json + "]}";
}

std::string summaryLine(const PortOutcome& o) {
    return "korven7: " + (o.port.empty() ? "" : o.port + ": ") + o.message;
}

std::string progressLine(const std::vector<PortProgress>& ports) {
    auto percent = [](const PortProgress& p) { return p.maximum > 0 ? std::clamp(p.value * 100 / p.maximum, 0, 100) : 0; };
    if (ports.size() == 1) {
        constexpr int kWidth = 30;
        const int done = percent(ports[0]) * kWidth / 100;
        return ports[0].caption + " [" + std::string(std::size_t(done), '#') + std::string(std::size_t(kWidth - done), '.') +
               "] " + std::to_string(percent(ports[0])) + "%";
    }
    std::string line;
    for (const PortProgress& p : ports) {
        const std::size_t slash = p.port.find_last_of('/');
        line += (line.empty() ? "" : "  ") + (slash == std::string::npos ? p.port : p.port.substr(slash + 1)) + " " +
                std::to_string(percent(p)) + "%";
    }
    return line;
}

}  // namespace k7
