#pragma once
// What came of a command on one port, made from the engine's results, and its exit status.
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "device/device_session.h"

namespace k7 {

enum class Outcome {
    Ok,           // done, and verified where there is something to verify
    Differs,      // the keyboard differs from the list
    FileError,    // a file could not be written
    NoAnswer,     // the keyboard did not answer, or not completely
    Failed,       // the port or the line failed
    Interrupted,  // Ctrl-C
};

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
    Outcome outcome = Outcome::Ok;
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

// From the engine's results. `failure` is the last failure the session reported ("" none).
PortOutcome versionOutcome(const std::string& reply, const std::string& failure);
PortOutcome readOutcome(const ReadResult& result, const std::string& failure);
PortOutcome verifyOutcome(const VerifyResult& result, const std::string& failure);
// `writingBegun`: the erase frame had gone out, so the keyboard's strings may be lost.
PortOutcome sendOutcome(const SendResult& result, const std::string& failure, bool writingBegun);
PortOutcome interruptedOutcome(Command command, bool writingBegun);
// A send's dry run: the read of the keyboard against the table the send would write.
PortOutcome dryRunOutcome(const ReadResult& read, const KeyTable& writes, const std::string& failure);

int exitStatus(Outcome outcome);  // 0, 1, 2, 3 or 130
int worstExitStatus(const std::vector<PortOutcome>& outcomes);
const char* outcomeName(Outcome outcome);

}  // namespace k7
