// A read-back reply off the line: any 51 characters raise the program's own error exactly when a
// field is not hexadecimal or the scancode is outside 4..106, else give the key and bytes it names.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/readback.h"
#include "platform/runtime_error.h"

namespace {
bool IsHex(const std::string& s, std::size_t i) { return std::isxdigit(s[i] & 0xFF) && std::isxdigit(s[i + 1] & 0xFF); }
int Pair(const std::string& s, std::size_t pos) { return std::stoi(s.substr(pos, 2), nullptr, 16); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string reply = std::string(reinterpret_cast<const char*>(data), size).substr(0, k7::kReadBackReplyLength);
    reply.resize(k7::kReadBackReplyLength, '0');
    std::string expected;  // the bytes up to the first "00" or the first pair that is not hexadecimal
    std::size_t pos = 12;
    for (; pos < 52 && reply.compare(pos, 2, "00") != 0 && IsHex(reply, pos); pos += 4) expected += char(Pair(reply, pos));
    const bool valid = IsHex(reply, 6) && Pair(reply, 6) >= 4 && Pair(reply, 6) <= 106 &&
                       (pos == 52 || reply.compare(pos, 2, "00") == 0);
    try {
        const k7::KeyRecord key = k7::parseReadBackReply(reply);
        if (!valid || key.scancode != Pair(reply, 6) || key.output != expected) std::abort();
        const k7::KeyRecord row = k7::defaultKeyTable()[std::size_t(key.scancode - 4)];
        if (key.legend != row.legend) std::abort();
        const bool same = key.output == row.output && key.scancode == row.scancode;
        if (!k7::compareReadBackKey(key, key).empty() || k7::compareReadBackKey(key, row).empty() != same) std::abort();
    } catch (const k7::RuntimeError&) {
        if (valid) std::abort();
    }
    return 0;
}
