#include "qt/qt_keys.h"

#include <iterator>
#include <string_view>

namespace k7::qt {
namespace {

struct KeyCode {
    int qtKey;
    int vk;
};

// Keys of the main block and the grey keys, by the key's own (unshifted) code on a
// US keyboard: the shifted symbols name the key they sit on.
constexpr KeyCode kMainKeys[] = {
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09},        {Qt::Key_Backtab, 0x09},
    {Qt::Key_Clear, 0x0C},     {Qt::Key_Return, 0x0D},     {Qt::Key_Enter, 0x0D},
    {Qt::Key_Shift, 0x10},     {Qt::Key_Control, 0x11},    {Qt::Key_Alt, 0x12},
    {Qt::Key_AltGr, 0x12},     {Qt::Key_Pause, 0x13},      {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Escape, 0x1B},    {Qt::Key_Space, 0x20},      {Qt::Key_PageUp, 0x21},
    {Qt::Key_PageDown, 0x22},  {Qt::Key_End, 0x23},        {Qt::Key_Home, 0x24},
    {Qt::Key_Left, 0x25},      {Qt::Key_Up, 0x26},         {Qt::Key_Right, 0x27},
    {Qt::Key_Down, 0x28},      {Qt::Key_Print, 0x2A},      {Qt::Key_SysReq, 0x2A},
    {Qt::Key_Insert, 0x2D},    {Qt::Key_Delete, 0x2E},     {Qt::Key_Meta, 0x5B},
    {Qt::Key_Menu, 0x5D},      {Qt::Key_NumLock, 0x90},    {Qt::Key_ScrollLock, 0x91},
    // Shift + digit row
    {Qt::Key_ParenRight, 0x30}, {Qt::Key_Exclam, 0x31},    {Qt::Key_At, 0x32},
    {Qt::Key_NumberSign, 0x33}, {Qt::Key_Dollar, 0x34},    {Qt::Key_Percent, 0x35},
    {Qt::Key_AsciiCircum, 0x36}, {Qt::Key_Ampersand, 0x37}, {Qt::Key_Asterisk, 0x38},
    {Qt::Key_ParenLeft, 0x39},
    // punctuation, plain and shifted
    {Qt::Key_Semicolon, 0xBA}, {Qt::Key_Colon, 0xBA},      {Qt::Key_Equal, 0xBB},
    {Qt::Key_Plus, 0xBB},      {Qt::Key_Comma, 0xBC},      {Qt::Key_Less, 0xBC},
    {Qt::Key_Minus, 0xBD},     {Qt::Key_Underscore, 0xBD}, {Qt::Key_Period, 0xBE},
    {Qt::Key_Greater, 0xBE},   {Qt::Key_Slash, 0xBF},      {Qt::Key_Question, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0}, {Qt::Key_AsciiTilde, 0xC0}, {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_BraceLeft, 0xDB}, {Qt::Key_Backslash, 0xDC},  {Qt::Key_Bar, 0xDC},
    {Qt::Key_BracketRight, 0xDD}, {Qt::Key_BraceRight, 0xDD}, {Qt::Key_Apostrophe, 0xDE},
    {Qt::Key_QuoteDbl, 0xDE},
};

// Keypad keys that differ from their main-block namesakes. Num Lock off gives the
// editing keys and Clear, which keep their main-block codes.
constexpr KeyCode kKeypadKeys[] = {
    {Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B},  {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E},   {Qt::Key_Comma, 0x6E}, {Qt::Key_Slash, 0x6F},
};

// X key codes (evdev code + 8) of the printing keys of a US keyboard, by row.
struct KeyRow {
    quint32 firstCode;
    const char* vks;  // one virtual-key code per key
};
constexpr KeyRow kUsRows[] = {
    {10, "1234567890\xBD\xBB"},
    {24, "QWERTYUIOP\xDB\xDD"},
    {38, "ASDFGHJKL\xBA\xDE\xC0"},
    {51, "\xDCZXCVBNM\xBC\xBE\xBF"},
};

constexpr quint32 kXKeypadFirst = 0xFF80;  // XK_KP_Space
constexpr quint32 kXKeypadLast = 0xFFBD;   // XK_KP_Equal

int Lookup(const KeyCode* begin, const KeyCode* end, int qtKey) {
    for (const KeyCode* k = begin; k != end; ++k)
        if (k->qtKey == qtKey) return k->vk;
    return 0;
}

int FromUsPosition(quint32 xKeyCode) {
    for (const KeyRow& row : kUsRows) {
        const std::string_view vks(row.vks);
        if (xKeyCode >= row.firstCode && xKeyCode < row.firstCode + vks.size())
            return static_cast<unsigned char>(vks[xKeyCode - row.firstCode]);
    }
    return 0;
}

}  // namespace

int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers mods, quint32 nativeVirtualKey, quint32 nativeScanCode) {
#ifdef Q_OS_WIN
    if (nativeVirtualKey != 0) return int(nativeVirtualKey);
    nativeScanCode = 0;  // Windows scan codes are not X key codes
#endif
    const bool keypad = mods.testFlag(Qt::KeypadModifier) ||
                        (nativeVirtualKey >= kXKeypadFirst && nativeVirtualKey <= kXKeypadLast);
    // Qt's codes for the letters and digits are their virtual-key codes.
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return keypad ? 0x60 + (qtKey - Qt::Key_0) : qtKey;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 0x70 + (qtKey - Qt::Key_F1);
    if (keypad)
        if (int vk = Lookup(std::begin(kKeypadKeys), std::end(kKeypadKeys), qtKey)) return vk;
    if (int vk = Lookup(std::begin(kMainKeys), std::end(kMainKeys), qtKey)) return vk;
    return FromUsPosition(nativeScanCode);
}

}  // namespace k7::qt
