#pragma once
// What came of a command on one port, made from the engine's typed results, and its exit
// status: 0 done, 1 the keyboard differs from the list, 2 bad usage or a file, 3 the
// keyboard or the port did not answer or failed, 130 interrupted.
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "device/device_search.h"
#include "device/device_session.h"

namespace k7 {

struct StringDifference {
    std::string key;
    std::string expected;             // notation
    std::optional<std::string> found; // notation; nullopt: the key did not answer
    bool operator==(const StringDifference&) const = default;
};

// A key of a dry run: what the keyboard holds and what the send would write.
struct PlannedKey {
    std::string key;
    std::optional<std::string> holds;  // notation; nullopt: the key did not answer
    std::string writes;                // notation
    bool operator==(const PlannedKey&) const = default;
};

struct PortOutcome {
    std::string port;   // the device opened
    OutcomeKind kind = OutcomeKind::Done;
    bool fileError = false;  // done, but the file it was to write cannot be written
    bool skipped = false;    // detect: the port could not be opened, so it was not asked
    std::string message;  // what happened, in words, for the summary line
    std::string version;  // version, detect: the reply in notation, without its line end
    int baud = 0;         // detect: the rate that answered
    std::vector<KeyString> entries;             // read: the custom strings
    std::vector<std::string> unread;            // read: the keys that did not answer
    std::vector<StringDifference> differences;  // verify, send
    bool dryRun = false;
    std::vector<PlannedKey> planned;  // send --dry-run: the keys that the keyboard or the list sets
    bool operator==(const PortOutcome&) const = default;
};

// What the run was asked, for the advice a failure adds.
struct RunContext {
    int baud = 9600;
    bool fast = false;
};

// The engine's outcome of a failure, with what the user can do about it where the
// command line knows more: another rate, or a run without --fast.
PortOutcome failedOutcome(const OperationOutcome& failure, const RunContext& context);
PortOutcome versionOutcome(const VersionResult& result, const RunContext& context);
PortOutcome readOutcome(const ReadResult& result, const RunContext& context);
PortOutcome verifyOutcome(const VerifyResult& result, const RunContext& context);
PortOutcome sendOutcome(const SendResult& result, const RunContext& context);
// `eraseSent`: the erase frame had gone out, so the keyboard's strings may be lost.
PortOutcome interruptedOutcome(Command command, bool eraseSent);
// A send's dry run: the read of the keyboard against the table the send would write.
PortOutcome dryRunOutcome(const ReadResult& read, const KeyTable& writes, const RunContext& context);
// One outcome per keyboard found, one per port skipped; one alone when none answered.
std::vector<PortOutcome> detectOutcomes(const SearchOutcome& search, const std::vector<SearchCandidate>& candidates,
                                        std::size_t rates);

int exitStatus(const PortOutcome& outcome);
// The worst of the ports'; for detect, 0 when any keyboard answered.
int runExitStatus(Command command, const std::vector<PortOutcome>& outcomes);
const char* outcomeName(const PortOutcome& outcome);

}  // namespace k7
