#include "device/operation_outcome.h"

#include "device/readback.h"
#include "platform/serial_port_error.h"

namespace k7 {

OperationOutcome outcomeOf(OutcomeKind kind, std::string message) {
    OperationOutcome o;
    o.kind = kind;
    o.message = std::move(message);
    return o;
}

OperationOutcome failureOutcome(const std::exception& e) {
    if (const auto* open = dynamic_cast<const PortOpenError*>(&e)) {
        const std::string text = portFailureText(open->kind());
        switch (open->kind()) {
        case PortFailure::Missing: return outcomeOf(OutcomeKind::PortMissing, text);
        case PortFailure::Busy: return outcomeOf(OutcomeKind::PortBusy, text);
        case PortFailure::NoPermission: return outcomeOf(OutcomeKind::NoPermission, text);
        case PortFailure::Other: return outcomeOf(OutcomeKind::LineError, e.what());
        }
    }
    if (dynamic_cast<const MalformedReply*>(&e))
        return outcomeOf(OutcomeKind::MalformedReply, std::string("a reply from the keyboard cannot be read (") + e.what() + ")");
    return outcomeOf(OutcomeKind::LineError, e.what());
}

OperationOutcome noVersionReply(const std::string& reply) {
    if (reply.empty()) return outcomeOf(OutcomeKind::NoVersionReply, "no answer from the keyboard (no reply to the version request)");
    return outcomeOf(OutcomeKind::NoVersionReply, "the reply to the version request is not a KORVEN7's");
}

OperationOutcome noAcknowledgement(const std::string& frame) {
    OperationOutcome o = outcomeOf(OutcomeKind::NoAcknowledgement, "the keyboard did not acknowledge " + frame);
    o.frame = frame;
    return o;
}

bool isKorven7Reply(const std::string& reply) { return reply.find("KORVEN7") != std::string::npos; }

}  // namespace k7
