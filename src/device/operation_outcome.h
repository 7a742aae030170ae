#pragma once
// What came of an operation on the KORVEN7, as data: a kind every front end can act on,
// and the words for the user. The window and the command line read these; neither looks
// at the status log to learn what happened.
#include <exception>
#include <optional>
#include <string>

namespace k7 {

enum class OutcomeKind {
    Done,               // done, and verified where there is something to verify
    Differs,            // the keyboard answered, and differs from the list
    KeysUnanswered,     // some keys gave no valid answer to the read-back request
    NoVersionReply,     // no KORVEN7 answer to the version request
    NoAcknowledgement,  // a frame was not acknowledged (`frame` names it)
    MalformedReply,     // a reply could not be read (a pair not hexadecimal, a scancode out of range)
    PortMissing,
    PortBusy,
    NoPermission,
    LineError,          // the port or the line failed otherwise
    Stopped,            // the user stopped it
    Interrupted,        // the program was interrupted (Ctrl-C)
};

struct OperationOutcome {
    OutcomeKind kind = OutcomeKind::Done;
    std::string message;  // for the user; "" when done
    std::string frame;    // NoAcknowledgement: "the erase frame", "the write frame of slot 12", ...
    bool ok() const { return kind == OutcomeKind::Done; }
    bool operator==(const OperationOutcome&) const = default;
};

OperationOutcome outcomeOf(OutcomeKind kind, std::string message = "");
// The outcome of a failure thrown by the port, the line or a reply.
OperationOutcome failureOutcome(const std::exception& e);
// The device did not answer the version request as a KORVEN7; `reply` is what it said ("" nothing).
OperationOutcome noVersionReply(const std::string& reply);
// The frame `frame` ("the erase frame") was not acknowledged.
OperationOutcome noAcknowledgement(const std::string& frame);

// The firmware version, or why there is none.
struct VersionResult {
    std::optional<std::string> text;  // the reply as it came, line end included
    OperationOutcome outcome;
};

// A KORVEN7's answer to the version request names it.
bool isKorven7Reply(const std::string& reply);

}  // namespace k7
