#include "cli/port_outcome.h"

#include <algorithm>

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

}  // namespace k7
