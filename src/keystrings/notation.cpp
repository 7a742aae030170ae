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

}  // namespace

std::string NotationToBytes(const std::string& text) {
    std::string result;
    std::string digits;
    bool inGroup = false;
    for (char c : text) {
        if (!inGroup) {
            if (c == '{') {
                inGroup = true;
                digits.clear();
            } else {
                result += c;
            }
        } else if (c == '}') {
            const unsigned value = HexValue(digits);
            if (value > 255) throw RuntimeError(kOverflow);
            result += char(value);
            inGroup = false;
        } else {
            digits += c;
        }
    }
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
    std::string digits;
    bool inGroup = false;
    int units = 0;
    for (char c : s) {
        if (!inGroup) {
            if (c == '{') {
                inGroup = true;
                digits.clear();
            } else {
                result += c;
                ++units;
            }
        } else if (c == '}') {
            const std::string written = "{" + digits + "}";
            if (units < n) {
                result += written;
            } else {
                const unsigned value = HexValue(digits);
                result += value > 32 && value < 127 ? std::string(1, char(value)) : written;
            }
            ++units;
            inGroup = false;
        } else {
            digits += c;
        }
        if (afterEachChar) afterEachChar();
    }
    return result;
}

std::string leftpad(const std::string& s, int ilen, const std::string& padstring) {
    if (padstring.empty()) return s;
    std::string text = s;
    while (int(text.size()) < ilen) text = padstring + text;
    return text;
}

}  // namespace k7
