// A read-back reply off the line: parsing any 51 characters either raises the
// program's own error or files exactly the key the reply names, with at most ten
// characters and no 0x00; rendering any reply for the log never fails outside its
// own message.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/readback.h"
#include "platform/runtime_error.h"
#include "support/rig.h"

namespace {
k7::test::Rig& TheRig() {
    static k7::test::Rig rig;
    return rig;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& rig = TheRig();
    auto& form = *rig.form;
    const std::string input(reinterpret_cast<const char*>(data), size);

    std::string reply = input.substr(0, 51);
    reply.resize(51, '0');
    form.ReadbackTable = k7::KeyTableArray{};
    try {
        form.ParseReadBackKey(reply);
        int filled = 0;
        for (int row = 0; row < k7::kTableRows; ++row) {
            const auto& r = form.ReadbackTable[std::size_t(row)];
            if (r.Scancode == 0) continue;
            ++filled;
            if (r.Scancode != row + 4 || r.Output.size() > 10 || r.Output.find('\0') != std::string::npos) std::abort();
            if (r.Legend != form.KeyTable[std::size_t(row)].Legend) std::abort();
            k7::CompareReadBackKey(r, form.KeyTable[std::size_t(row)]);
        }
        if (filled != 1) std::abort();
    } catch (const k7::RuntimeError&) {
        for (const auto& r : form.ReadbackTable)
            if (r.Scancode != 0) std::abort();  // a refused reply files nothing
    }

    rig.dialogs.messages.clear();
    const std::string shown = form.ASCIIit(input, 8);
    if (!shown.empty() && !rig.dialogs.messages.empty()) std::abort();  // a failure shows its message and logs ""
    return 0;
}
