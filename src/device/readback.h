#pragma once
// The device's answer to a read-back request, 51 characters, for example
//   SCAN: 04 = {61}{00}{00}{00}{00}{00}{00}{00}{00}{00}
// The scancode stands at positions 7-8 and the string's bytes as hex pairs at 13, 17,
// ... 49 (counting from 1); "00" ends the string.
#include <string>

#include "keystrings/key_table.h"
#include "platform/runtime_error.h"

namespace k7 {

inline constexpr std::size_t kReadBackReplyLength = 51;

// A reply of the right length that cannot be read.
class MalformedReply : public RuntimeError {
public:
    using RuntimeError::RuntimeError;
};

// The key a reply of kReadBackReplyLength characters names, with its string; the legend
// is the table's. Throws MalformedReply: "Type mismatch" for a pair that is not
// hexadecimal, "Subscript out of range" for a scancode outside 4..106.
KeyRecord parseReadBackReply(const std::string& reply);

// Every field in which `readback` differs from `expected`, as one text; "" when equal.
std::string compareReadBackKey(const KeyRecord& readback, const KeyRecord& expected);

}  // namespace k7
