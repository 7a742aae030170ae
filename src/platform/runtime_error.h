#pragma once
// A run-time error: the program's handlers catch it and show their message prefix
// followed by what() as the error's description.
#include <stdexcept>
#include <string>

namespace k7 {

class RuntimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Descriptions used by the program's own checks.
inline constexpr const char* kOverflow = "Overflow";
inline constexpr const char* kTypeMismatch = "Type mismatch";
inline constexpr const char* kSubscriptOutOfRange = "Subscript out of range";
inline constexpr const char* kInvalidArgument = "Invalid procedure call or argument";

}  // namespace k7
