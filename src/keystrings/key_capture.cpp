#include "keystrings/key_capture.h"

#include <string>

namespace k7 {
namespace {

// Keys that exist twice, grey and on the keypad with Num Lock off.
struct PairedKey {
    int keyCode;
    const char* grey;
    const char* keypad;
};
constexpr PairedKey kPairedKeys[] = {
    {0x2D, "INS", "KPins"},  {0x24, "HOME", "KPhome"}, {0x21, "PGUP", "KPpgup"},
    {0x22, "PGDN", "KPpgdn"}, {0x2E, "DEL", "KPdel"},  {0x23, "END", "KPend"},
    {0x26, "UPAR", "KPupar"}, {0x25, "LFTAR", "KPlfar"}, {0x28, "DNAR", "KPdnar"},
    {0x27, "RTAR", "KPrtar"},
};

struct SingleKey {
    int keyCode;
    const char* legend;
};
constexpr SingleKey kSingleKeys[] = {
    {0x08, "BKSPC"}, {0x09, "TAB"},   {0x0C, "KP5"},    {0x0D, "ENTER"}, {0x13, "PAUSE"},
    {0x1B, "ESC"},   {0x20, "SPACE"}, {0x2A, "PRTSCN"}, {0x91, "SCRLK"}, {0x6A, "KP*"},
    {0x6B, "KP+"},   {0x6C, "KPENT"}, {0x6D, "KP-"},    {0x6E, "KPdel"}, {0x6F, "KP/"},
    {0xBA, ";"},     {0xBB, "="},     {0xBC, ","},      {0xBD, "-"},     {0xBE, "."},
    {0xBF, "/"},     {0xC0, "`"},     {0xDB, "["},      {0xDC, "\\"},    {0xDD, "]"},
    {0xDE, "'"},
};

constexpr int kReturn = 0x0D;
constexpr int kSeparator = 0x6C;

}  // namespace

bool KeyCapture::isModifier(int k) { return (k >= 0x10 && k <= 0x12) || k == 0x5B || k == 0x5C || (k >= 0xA0 && k <= 0xA5); }

std::string KeyCapture::legendOf(int k) {
    if ((k >= 0x30 && k <= 0x39) || (k >= 0x41 && k <= 0x5A)) return std::string(1, char(k));

    if (k == lastKeyCode_) pairToggle_ = !pairToggle_;

    if (k == kReturn) {
        ++enterCount_;
        if (enterCount_ >= 2) {
            k = kSeparator;
            enterCount_ = 0;
        }
    } else {
        enterCount_ = 0;
    }

    std::string legend;
    for (const auto& key : kSingleKeys)
        if (key.keyCode == k) legend = key.legend;
    if (k >= 0x70 && k <= 0x7B) legend = "F" + std::to_string(k - 0x70 + 1);
    for (const auto& key : kPairedKeys)
        if (key.keyCode == k)
            legend = (lastKeyCode_ == k && pairToggle_) ? key.grey : key.keypad;

    if (lastKeyCode_ != k) pairToggle_ = false;
    lastKeyCode_ = k;
    return legend;
}

}  // namespace k7
