#include "cli/port_outcome.h"

#include <algorithm>

#include "keystrings/notation.h"

namespace k7 {
namespace {

constexpr const char* kNeedsNewSend = "; the keyboard needs a new send";

PortOutcome outcome(OutcomeKind kind, std::string message) {
    PortOutcome o;
    o.kind = kind;
    o.message = std::move(message);
    return o;
}

}  // namespace

PortOutcome failedOutcome(const OperationOutcome& failure, const RunContext& context) {
    std::string message = failure.message;
    if (failure.kind == OutcomeKind::NoVersionReply)
        message += " at " + std::to_string(context.baud) + " baud; korven7 detect asks every port at every rate";
    if (failure.kind == OutcomeKind::MalformedReply && context.fast)
        message += "; --fast may have taken a reply before it was whole: run without --fast";
    return outcome(failure.kind, message);
}

namespace {

std::vector<StringDifference> differencesOf(const VerifyResult& result) {
    std::vector<StringDifference> differences;
    for (const KeyDifference& d : result.differences) {
        std::optional<std::string> found;
        if (d.found.scancode != 0) found = bytesToNotation(d.found.output);
        differences.push_back({d.expected.legend, bytesToNotation(d.expected.output), found});
    }
    return differences;
}

// The reply in notation, without its line end.
std::string versionText(std::string reply) {
    while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r' || reply.back() == ' ')) reply.pop_back();
    return bytesToNotation(reply);
}

std::string counted(std::size_t n, const char* one, const char* many) { return std::to_string(n) + (n == 1 ? one : many); }

}  // namespace

PortOutcome versionOutcome(const VersionResult& result, const RunContext& context) {
    if (!result.text) return failedOutcome(result.outcome, context);
    PortOutcome o = outcome(OutcomeKind::Done, "");
    o.version = versionText(*result.text);
    o.message = "version " + o.version;
    return o;
}

PortOutcome readOutcome(const ReadResult& result, const RunContext& context) {
    if (!result.outcome.ok() && result.outcome.kind != OutcomeKind::KeysUnanswered) return failedOutcome(result.outcome, context);
    PortOutcome o = outcome(result.outcome.kind, result.outcome.message);
    if (o.kind == OutcomeKind::Done) o.message = "read " + counted(result.customStrings.size(), " custom string", " custom strings");
    o.entries = result.customStrings;
    const KeyTable defaults = defaultKeyTable();
    for (int row : result.unreadRows) o.unread.push_back(defaults[std::size_t(row)].legend);
    return o;
}

PortOutcome verifyOutcome(const VerifyResult& result, const RunContext& context) {
    const OutcomeKind kind = result.outcome.kind;
    if (kind != OutcomeKind::Done && kind != OutcomeKind::Differs && kind != OutcomeKind::KeysUnanswered)
        return failedOutcome(result.outcome, context);
    PortOutcome o = outcome(kind, kind == OutcomeKind::Done ? "verified: the keyboard holds the list" : result.outcome.message);
    o.differences = differencesOf(result);
    return o;
}

PortOutcome sendOutcome(const SendResult& result, const RunContext& context) {
    if (!result.eraseSent) {
        PortOutcome o = failedOutcome(result.outcome, context);
        o.message += "; nothing was written";
        return o;
    }
    if (!result.written) {
        PortOutcome o = failedOutcome(result.outcome, context);
        o.message += kNeedsNewSend;
        return o;
    }
    PortOutcome o = verifyOutcome(result.verify, context);
    if (o.kind == OutcomeKind::Done) o.message = "sent and verified";
    else if (o.kind == OutcomeKind::Differs || o.kind == OutcomeKind::KeysUnanswered) o.message = "sent, but " + o.message + kNeedsNewSend;
    else o.message = "written, but not verified: " + o.message;
    return o;
}

PortOutcome interruptedOutcome(Command command, bool eraseSent) {
    std::string message = "interrupted";
    if (command == Command::Send)
        message += eraseSent ? std::string(" part-way") + kNeedsNewSend : " before anything was written";
    return outcome(OutcomeKind::Interrupted, message);
}

PortOutcome dryRunOutcome(const ReadResult& read, const KeyTable& writes, const RunContext& context) {
    PortOutcome o = readOutcome(read, context);
    o.dryRun = true;
    o.entries.clear();
    if (o.kind != OutcomeKind::Done && o.kind != OutcomeKind::KeysUnanswered) return o;
    KeyTable holds = defaultKeyTable();
    for (const KeyString& e : read.customStrings)
        if (const int row = findKeyRow(e.legend); row >= 0) holds[std::size_t(row)].output = notationToBytes(e.notation);
    for (int row : read.unreadRows) holds[std::size_t(row)].scancode = 0;
    const KeyTable defaults = defaultKeyTable();
    std::size_t changes = 0;
    for (std::size_t row = 0; row < std::size_t(kKeyRows); ++row) {
        const bool answered = holds[row].scancode != 0;
        if (answered && holds[row].output == defaults[row].output && writes[row].output == defaults[row].output) continue;
        std::optional<std::string> held;
        if (answered) held = bytesToNotation(holds[row].output);
        changes += !answered || holds[row].output != writes[row].output;
        o.planned.push_back({defaults[row].legend, held, bytesToNotation(writes[row].output)});
    }
    const std::string summary = "dry run, nothing written: " +
                                (changes ? counted(changes, " key", " keys") + " would change" : "the keyboard already holds the list");
    o.message = o.kind == OutcomeKind::Done ? summary : summary + "; " + o.message;
    return o;
}

std::vector<PortOutcome> detectOutcomes(const SearchOutcome& search, const std::vector<SearchCandidate>& candidates,
                                        std::size_t rates) {
    std::vector<PortOutcome> outcomes;
    for (const SearchHit& hit : search.found) {
        PortOutcome o = outcome(OutcomeKind::Done, "");
        o.port = candidates[hit.candidate].device;
        o.baud = hit.baud;
        o.version = versionText(hit.version);
        o.message = "KORVEN7 found at " + std::to_string(hit.baud) + " baud: " + o.version;
        outcomes.push_back(o);
    }
    if (outcomes.empty()) {
        const std::string asked = search.tried == 0
            ? "no port could be asked"
            : "no KORVEN7 answered on " + counted(std::size_t(search.tried), " port", " ports") + " at " +
                  counted(rates, " baud rate", " baud rates") +
                  " (check the cable, the power, and that no other program holds the port)";
        outcomes.push_back(outcome(OutcomeKind::NoVersionReply, asked));
    }
    for (const SkippedPort& skipped : search.skipped) {
        PortOutcome o = outcome(skipped.outcome.kind, "skipped: " + skipped.outcome.message);
        o.port = candidates[skipped.candidate].device;
        o.skipped = true;
        outcomes.push_back(o);
    }
    return outcomes;
}

int exitStatus(const PortOutcome& o) {
    if (o.fileError) return 2;
    switch (o.kind) {
    case OutcomeKind::Done: return 0;
    case OutcomeKind::Differs: return 1;
    case OutcomeKind::Interrupted: return 130;
    default: return 3;
    }
}

int runExitStatus(Command command, const std::vector<PortOutcome>& outcomes) {
    const auto answered = [](const PortOutcome& o) { return o.kind == OutcomeKind::Done; };
    if (command == Command::Detect && std::any_of(outcomes.begin(), outcomes.end(), answered)) return 0;
    int worst = 0;
    for (const PortOutcome& o : outcomes) worst = std::max(worst, exitStatus(o));
    return worst;
}

const char* outcomeName(const PortOutcome& o) {
    if (o.fileError) return "file-error";
    switch (o.kind) {
    case OutcomeKind::Done: return "ok";
    case OutcomeKind::Differs: return "differs";
    case OutcomeKind::KeysUnanswered: return "keys-unanswered";
    case OutcomeKind::NoVersionReply: return "no-answer";
    case OutcomeKind::NoAcknowledgement: return "no-acknowledgement";
    case OutcomeKind::MalformedReply: return "malformed-reply";
    case OutcomeKind::PortMissing: return "port-missing";
    case OutcomeKind::PortBusy: return "port-busy";
    case OutcomeKind::NoPermission: return "no-permission";
    case OutcomeKind::LineError: return "line-error";
    case OutcomeKind::Stopped: return "stopped";
    case OutcomeKind::Interrupted: return "interrupted";
    }
    return "";
}

}  // namespace k7
