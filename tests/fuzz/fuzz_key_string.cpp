// The live check of the string field: whatever is pasted, the text it leaves behind
// passes its own check unchanged, holds at most 10 units, and the count shown is right.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "keystrings/notation.h"
#include "platform/runtime_error.h"
#include "support/rig.h"

namespace {

k7::test::Rig& TheRig() {
    static k7::test::Rig rig;
    return rig;
}

// Units of a text that ends inside no bad group: plain characters and closed groups.
int Units(const std::string& text) {
    int units = 0;
    bool inGroup = false;
    for (char c : text) {
        if (!inGroup && c == '{') inGroup = true;
        else if (inGroup && c == '}') { inGroup = false; ++units; }
        else if (!inGroup) ++units;
    }
    return units;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& rig = TheRig();
    auto& field = rig.textBox("KeyString");
    field.setText("");
    rig.dialogs.messages.clear();

    // A text field never holds the NUL character, whatever is typed or pasted.
    std::string pasted;
    for (std::size_t i = 0; i < size; ++i)
        if (data[i] != 0) pasted += char(data[i]);
    field.setText(pasted);
    const std::string corrected = field.text();
    const auto shown = rig.label("StringCount").caption();

    // Checking the corrected text again changes nothing and says nothing.
    rig.dialogs.messages.clear();
    rig.form->CheckKeyString();
    if (field.text() != corrected || !rig.dialogs.messages.empty()) std::abort();
    if (Units(corrected) > 10) std::abort();
    if (shown != std::to_string(Units(corrected))) std::abort();
    // What the field accepts always decodes, without a 0x00, to the units it shows.
    const std::string closed = rig.form->BraceState == 1 ? corrected.substr(0, corrected.rfind('{')) : corrected;
    const std::string bytes = k7::NotationToBytes(closed);
    if (int(bytes.size()) != Units(closed) || bytes.find('\0') != std::string::npos) std::abort();
    return 0;
}
