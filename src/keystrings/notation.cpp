#include "keystrings/notation.h"

#include "platform/runtime_error.h"

namespace k7 {
namespace {

// The value of a group's digits, either case. Long digit runs stop growing once they
// are past any byte value, so they never overflow.
unsigned HexValue(const std::string& digits) {
    if (digits.empty()) throw RuntimeError(kTypeMismatch);
    unsigned value = 0;
    for (char c : digits) {
        const int d = hexDigitValue(c);
        if (d < 0) throw RuntimeError(kTypeMismatch);
        if (value <= 0xFFFF) value = value * 16 + unsigned(d);
    }
    return value;
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

std::string hexText(unsigned value, int minDigits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[value & 15]);
        value >>= 4;
    } while (value != 0);
    if (int(digits.size()) < minDigits) digits.insert(0, std::size_t(minDigits) - digits.size(), '0');
    return digits;
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string notationToBytes(const std::string& text) {
    std::string result;
    ScanUnits(text, [&](char c) { result += c; },
              [&](const std::string& digits) {
                  const unsigned value = HexValue(digits);
                  if (value > 255) throw RuntimeError(kOverflow);
                  result += char(value);
              });
    return result;
}

std::string notationFault(const std::string& text) {
    for (std::size_t open = text.find('{'); open != std::string::npos; open = text.find('{', open + 1)) {
        const std::size_t close = text.find('}', open);
        if (close == std::string::npos) return "\"" + text.substr(open) + "\" has no closing brace";
        const std::string group = text.substr(open, close + 1 - open);
        try {
            if (HexValue(group.substr(1, group.size() - 2)) > 255) return "\"" + group + "\" is not a byte: it is above {FF}";
        } catch (const RuntimeError&) {
            return "\"" + group + "\" is not a byte: braces hold two hex digits";
        }
        open = close;
    }
    return "";
}

std::string bytesToNotation(const std::string& bytes) {
    std::string text;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u > 0x7E || c == '{')
            text += "{" + hexText(u, 2) + "}";
        else
            text += c;
    }
    return text;
}

std::string commandForLog(const std::string& sout, bool forceHex) {
    std::string result = sout.substr(0, 2);
    for (std::size_t i = 2; i < sout.size(); ++i) {
        const auto u = static_cast<unsigned char>(sout[i]);
        const bool plain = (u >= 0x2F && u <= 0x39) || (u >= 0x40 && u <= 0x7A);
        if (plain && !forceHex)
            result += sout[i];
        else
            result += "{" + hexText(u) + "}";
    }
    return result;
}

std::string replyForLog(const std::string& s, int n, const std::function<void()>& afterEachChar) {
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

}  // namespace k7
