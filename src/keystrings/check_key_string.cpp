// The live check of the string field: counts the units of KeyString's notation, shows
// the count, and refuses bad groups and over-long strings by cutting the text back.
// Writing the corrected text fires the field's change handler, which checks again.
#include "keystrings/notation.h"
#include "shell/form1.h"

namespace k7 {
namespace {

constexpr int kMaxUnits = 10;

bool IsGroupDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

}  // namespace

void Form1::CheckKeyString() {
    try {
        const std::string text = KeyString.text();
        BraceState = 0;
        int units = 0;
        std::string digits;
        std::size_t groupStart = 0;  // 1-based position of the open group's "{"
        std::size_t cut = 0;         // characters that make up the first ten units
        for (std::size_t i = 1; i <= text.size(); ++i) {
            const char c = text[i - 1];
            if (BraceState == 0) {
                if (c == '{') {
                    BraceState = 1;
                    groupStart = i;
                    digits.clear();
                } else if (++units == kMaxUnits) {
                    cut = i;
                }
            } else if (c == '}') {
                if (digits.empty()) {
                    dialogs.message("brackets must contain HEX value of a character");
                    KeyString.setText(text.substr(0, text.size() - 1));
                    return;
                }
                if (digits == "0" || digits == "00") {
                    dialogs.message("brackets cannot contain 00 (NULL) which is used for end-of-string marker");
                    KeyString.setText(text.substr(0, text.size() - digits.size() - 1));
                    return;
                }
                BraceState = 0;
                if (++units == kMaxUnits) cut = i;
            } else {
                digits += c;
                if (digits.size() > 2 || !IsGroupDigit(c)) {
                    dialogs.message(text.substr(groupStart - 1) +
                                    " only 2 HEX chars allowed within brackets (like {C7})");
                    KeyString.setText(text.substr(0, groupStart));
                    return;
                }
            }
        }
        StringCount.setCaption(std::to_string(units));
        if (units > kMaxUnits) {
            dialogs.message(std::string("String entered for item # ") + " is too long .. max string length is " +
                            std::to_string(kMaxUnits) + " chars");
            KeyString.setText(text.substr(0, cut));
        }
    } catch (const std::exception& e) {
        dialogs.message(std::string("Error parsing string ..") + e.what());
    }
}

std::string Form1::ASCIIit(const std::string& s, int n) {
    try {
        return k7::ASCIIit(s, n, [this] { pump.doEvents(); });
    } catch (const std::exception& e) {
        dialogs.message(std::string("Error in ASCIIit ") + e.what());
        return "";
    }
}

}  // namespace k7
