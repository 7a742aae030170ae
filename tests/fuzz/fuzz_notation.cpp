// The notation: every byte string without 0x00 survives BytesToNotation then
// NotationToBytes; any text either decodes or raises the program's own error, and the
// log renderings never fail on what the device or the user can send.
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
    if (k7::NotationToBytes(k7::BytesToNotation(bytes)) != bytes) std::abort();

    try {
        const std::string decoded = k7::NotationToBytes(input);
        if (decoded.size() > input.size()) std::abort();  // a group never makes more than one byte
    } catch (const k7::RuntimeError&) {
    }
    try {
        k7::ASCIIit(input, 8);
    } catch (const k7::RuntimeError&) {
    }
    const std::string expanded = k7::Expand(input, size % 2 == 0);
    if (expanded.compare(0, std::min<std::size_t>(2, input.size()), input.substr(0, 2)) != 0) std::abort();
    return 0;
}
