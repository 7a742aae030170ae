#include "keystrings/notation.h"

#include "platform/runtime_error.h"

namespace k7 {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The value of a group's digits, either case. Long digit runs stop growing once they
// are past any byte value, so they never overflow.
unsigned HexValue(const std::string& digits) {
    if (digits.empty()) throw RuntimeError(kTypeMismatch);
    unsigned value = 0;
    for (char c : digits) {
        const int d = HexDigitValue(c);
        if (d < 0) throw RuntimeError(kTypeMismatch);
        if (value <= 0xFFFF) value = value * 16 + unsigned(d);
    }
    return value;
}

std::string Hex(unsigned char byte) {
    std::string digits;
    if (byte >= 16) digits += kHexDigits[byte >> 4];
    digits += kHexDigits[byte & 15];
    return digits;
}

// Walks a notation text unit by unit: `plain` gets each character outside a group,
// `group` the digits of each closed group; a group still open at the end is dropped.
// `afterEachChar`, when set, runs after every character of the text.
template <class Plain, class Group>
void ScanUnits(const std::string& text, Plain plain, Group group, const std::function<void()>& afterEachChar = {}) {
    std::string digits;
    bool inGroup = false;
    for (char c : text) {
        if (!inGroup && c == '{') {
            inGroup = true;
            digits.clear();
        } else if (!inGroup) {
            plain(c);
        } else if (c == '}') {
            inGroup = false;
            group(digits);
        } else {
            digits += c;
        }
        if (afterEachChar) afterEachChar();
    }
}

}  // namespace

std::string NotationToBytes(const std::string& text) {
    std::string result;
    ScanUnits(text, [&](char c) { result += c; },
              [&](const std::string& digits) {
                  const unsigned value = HexValue(digits);
                  if (value > 255) throw RuntimeError(kOverflow);
                  result += char(value);
              });
    return result;
}

std::string BytesToNotation(const std::string& bytes) {
    std::string text;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u > 0x7E || c == '{')
            text += "{" + leftpad(Hex(u), 2, "0") + "}";
        else
            text += c;
    }
    return text;
}

std::string Expand(const std::string& sout, bool forceHex) {
    std::string result = sout.substr(0, 2);
    for (std::size_t i = 2; i < sout.size(); ++i) {
        const auto u = static_cast<unsigned char>(sout[i]);
        const bool plain = (u >= 0x2F && u <= 0x39) || (u >= 0x40 && u <= 0x7A);
        if (plain && !forceHex)
            result += sout[i];
        else
            result += "{" + Hex(u) + "}";
    }
    return result;
}

std::string ASCIIit(const std::string& s, int n, const std::function<void()>& afterEachChar) {
    std::string result;
    int units = 0;
    ScanUnits(
        s,
        [&](char c) {
            result += c;
            ++units;
        },
        [&](const std::string& digits) {
            const std::string written = "{" + digits + "}";
            if (units < n) {
                result += written;
            } else {
                const unsigned value = HexValue(digits);
                result += value > 32 && value < 127 ? std::string(1, char(value)) : written;
            }
            ++units;
        },
        afterEachChar);
    return result;
}

std::string leftpad(const std::string& s, int ilen, const std::string& padstring) {
    if (padstring.empty()) return s;
    std::string text = s;
    while (int(text.size()) < ilen) text = padstring + text;
    return text;
}

}  // namespace k7
