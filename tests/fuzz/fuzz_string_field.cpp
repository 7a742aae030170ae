// The string field's check: applying its corrections to any text ends at a text it accepts,
// of at most ten units, which decodes without a 0x00 to as many bytes as the count shown.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "keystrings/notation.h"
#include "keystrings/string_field_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text;  // a text field never holds the NUL character
    for (std::size_t i = 0; i < size; ++i)
        if (data[i] != 0) text += char(data[i]);
    k7::StringFieldCheck check = k7::checkStringField(text);
    while (!check.message.empty()) {
        if (!check.corrected || check.corrected->size() >= text.size()) std::abort();  // each correction shortens
        text = *check.corrected;
        check = k7::checkStringField(text);
    }
    if (check.corrected || !check.shownCount || *check.shownCount > k7::kMaxStringUnits) std::abort();
    const std::size_t open = text.rfind('{');
    if (check.groupOpen != (open != std::string::npos && text.find('}', open) == std::string::npos)) std::abort();
    const std::string bytes = k7::notationToBytes(check.groupOpen ? text.substr(0, open) : text);
    if (int(bytes.size()) != *check.shownCount || bytes.find('\0') != std::string::npos) std::abort();
    return 0;
}
