#include "device/readback.h"

#include "keystrings/notation.h"

namespace k7 {
namespace {

int hexPair(const std::string& s, std::size_t pos) {
    const int high = hexDigitValue(s[pos]);
    const int low = hexDigitValue(s[pos + 1]);
    if (high < 0 || low < 0) throw MalformedReply(kTypeMismatch);
    return high * 16 + low;
}

}  // namespace

KeyRecord parseReadBackReply(const std::string& reply) {
    const int scancode = hexPair(reply, 6);
    std::string text;
    for (std::size_t k = 0; k < 10; ++k) {
        const std::size_t pos = 12 + 4 * k;
        if (reply.compare(pos, 2, "00") == 0) break;
        text += char(hexPair(reply, pos));
    }
    if (scancode < 4 || scancode > 106) throw MalformedReply(kSubscriptOutOfRange);
    static const KeyTable defaults = defaultKeyTable();
    return {std::uint8_t(scancode), text, defaults[std::size_t(rowOfScancode(scancode))].legend};
}

std::string compareReadBackKey(const KeyRecord& a, const KeyRecord& b) {
    std::string text;
    if (a.scancode != b.scancode)
        text = "Readback Scancode " + std::to_string(a.scancode) + " <> " + std::to_string(b.scancode);
    if (a.output != b.output) text += " Readback String " + a.output + " <>  " + b.output;
    if (a.legend != b.legend) text += "Readback Legend " + a.legend + " <> " + b.legend;
    return text;
}

}  // namespace k7
