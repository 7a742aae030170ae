// The notation: byte strings without 0x00 survive writing then decoding; the log shows a
// command so that it decodes back, and a reply no longer than it is unless it cannot be decoded.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "keystrings/notation.h"
#include "platform/runtime_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string bytes;
    for (char c : input)
        if (c != '\0') bytes += c;
    if (k7::notationToBytes(k7::bytesToNotation(bytes)) != bytes) std::abort();

    bool decodes = true;
    try {
        if (k7::notationToBytes(input).size() > input.size()) std::abort();  // a group makes one byte
    } catch (const k7::RuntimeError&) {
        decodes = false;
    }
    std::size_t calls = 0;
    try {
        if (k7::replyForLog(input, int(size % 12), [&] { ++calls; }).size() > input.size()) std::abort();
        if (calls != input.size()) std::abort();
    } catch (const k7::RuntimeError&) {
        if (decodes) std::abort();  // only a group that cannot be decoded stops the rendering
    }
    const std::string shown = k7::commandForLog(input, size % 2 == 0);
    const std::size_t letters = size < 2 ? size : 2;
    if (shown.substr(0, letters) + k7::notationToBytes(shown.substr(letters)) != input) std::abort();
    return 0;
}
