#include "keystrings/string_field_check.h"

#include "keystrings/notation.h"

namespace k7 {
namespace {

bool isGroupDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

}  // namespace

StringFieldCheck checkStringField(const std::string& text) {
    StringFieldCheck check;
    int units = 0;
    std::string digits;
    std::size_t groupStart = 0;  // 1-based position of the open group's "{"
    std::size_t cut = 0;         // characters that make up the first ten units
    for (std::size_t i = 1; i <= text.size(); ++i) {
        const char c = text[i - 1];
        if (!check.groupOpen) {
            if (c == '{') {
                check.groupOpen = true;
                groupStart = i;
                digits.clear();
            } else if (++units == kMaxStringUnits) {
                cut = i;
            }
        } else if (c == '}') {
            if (digits.empty()) {
                check.message = "brackets must contain HEX value of a character";
                check.corrected = text.substr(0, text.size() - 1);
                return check;
            }
            if (digits == "0" || digits == "00") {
                check.message = "brackets cannot contain 00 (NULL) which is used for end-of-string marker";
                check.corrected = text.substr(0, text.size() - digits.size() - 1);
                return check;
            }
            check.groupOpen = false;
            if (++units == kMaxStringUnits) cut = i;
        } else {
            digits += c;
            if (digits.size() > 2 || !isGroupDigit(c)) {
                check.message = text.substr(groupStart - 1) + " only 2 HEX chars allowed within brackets (like {C7})";
                check.corrected = text.substr(0, groupStart);
                return check;
            }
        }
    }
    check.shownCount = units;
    if (units > kMaxStringUnits) {
        check.message = "String entered for item #  is too long .. max string length is " +
                        std::to_string(kMaxStringUnits) + " chars";
        check.corrected = text.substr(0, cut);
    }
    return check;
}

std::string stringRefusal(const std::string& notation) {
    if (std::string fault = notationFault(notation); !fault.empty()) return fault;
    const std::string bytes = notationToBytes(notation);
    if (bytes.size() > std::size_t(kMaxStringUnits)) return "it is longer than 10 bytes";
    if (bytes.find('\0') != std::string::npos) return "it holds {00}, which no key can send";
    return "";
}

}  // namespace k7
