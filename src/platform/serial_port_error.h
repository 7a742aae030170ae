#pragma once
// Why a serial port would not open, as a fact the program can act on, beside the system's
// own words.
#include <string>

#include "platform/runtime_error.h"

namespace k7 {

enum class PortFailure {
    Missing,       // no such device: unplugged, or a wrong name
    Busy,          // another program holds it
    NoPermission,  // this user may not use it
    Other,
};

// What the user reads about a port that would not open, with the fix where there is one.
inline std::string portFailureText(PortFailure kind) {
    switch (kind) {
    case PortFailure::Missing: return "no such device (unplugged?)";
    case PortFailure::Busy: return "in use by another program";
    case PortFailure::NoPermission:
        return "no permission to use it; the fix: sudo usermod -aG dialout $USER, then log out and in again";
    case PortFailure::Other: break;
    }
    return "cannot be opened";
}

// Thrown by SerialPort::open; what() holds the system's description, the port and the
// text above.
class PortOpenError : public RuntimeError {
public:
    PortOpenError(PortFailure kind, const std::string& description) : RuntimeError(description), kind_(kind) {}
    PortFailure kind() const { return kind_; }

private:
    PortFailure kind_;
};

}  // namespace k7
