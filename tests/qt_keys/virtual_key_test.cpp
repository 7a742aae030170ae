#include <gtest/gtest.h>

#include "platform/qt/qt_keys.h"

namespace k7 {
namespace {

using qt::VirtualKeyFromQt;

constexpr auto None = Qt::NoModifier;
constexpr auto Shift = Qt::ShiftModifier;
constexpr auto Keypad = Qt::KeypadModifier;

struct Case {
    int qtKey;
    Qt::KeyboardModifiers mods;
    quint32 keysym;   // X keysym as the xcb platform reports it; 0 offscreen
    quint32 keyCode;  // X key code; 0 offscreen
    int vk;
};

#ifdef Q_OS_WIN
TEST(VirtualKeyFromQt, TakesTheNativeVirtualKeyOnWindows) {
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Exclam, Shift, 0x31, 2), 0x31);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Clear, Keypad, 0x0C, 76), 0x0C);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Tab, None, 0, 0), 0x09);  // no native key: mapped
}
#else
TEST(VirtualKeyFromQt, MapsKeysToTheirVirtualKeyCodes) {
    const Case cases[] = {
        {Qt::Key_A, None, 0, 0, 0x41}, {Qt::Key_Z, Shift, 0, 0, 0x5A}, {Qt::Key_0, None, 0, 0, 0x30},
        {Qt::Key_Tab, None, 0, 0, 0x09}, {Qt::Key_Backtab, Shift, 0, 0, 0x09}, {Qt::Key_Backspace, None, 0, 0, 0x08},
        {Qt::Key_Return, None, 0, 0, 0x0D}, {Qt::Key_Space, None, 0, 0, 0x20}, {Qt::Key_Shift, Shift, 0, 0, 0x10},
        {Qt::Key_Control, Qt::ControlModifier, 0, 0, 0x11}, {Qt::Key_F1, None, 0, 0, 0x70},
        {Qt::Key_F12, Shift, 0, 0, 0x7B}, {Qt::Key_Print, None, 0, 0, 0x2A}, {Qt::Key_ScrollLock, None, 0, 0, 0x91},
        {Qt::Key_Pause, None, 0, 0, 0x13}, {Qt::Key_Insert, None, 0, 0, 0x2D}, {Qt::Key_Home, None, 0, 0, 0x24},
        {Qt::Key_PageUp, None, 0, 0, 0x21}, {Qt::Key_PageDown, None, 0, 0, 0x22}, {Qt::Key_Delete, None, 0, 0, 0x2E},
        {Qt::Key_End, None, 0, 0, 0x23}, {Qt::Key_Up, None, 0, 0, 0x26}, {Qt::Key_Left, None, 0, 0, 0x25},
        {Qt::Key_Down, None, 0, 0, 0x28}, {Qt::Key_Right, None, 0, 0, 0x27},
        // punctuation, plain and shifted, names the key it sits on
        {Qt::Key_Semicolon, None, 0, 0, 0xBA}, {Qt::Key_Colon, Shift, 0, 0, 0xBA},
        {Qt::Key_Exclam, Shift, 0, 0, 0x31}, {Qt::Key_ParenRight, Shift, 0, 0, 0x30},
        {Qt::Key_Asterisk, Shift, 0, 0, 0x38}, {Qt::Key_Plus, Shift, 0, 0, 0xBB},
        {Qt::Key_Underscore, Shift, 0, 0, 0xBD}, {Qt::Key_Less, Shift, 0, 0, 0xBC},
        {Qt::Key_Question, Shift, 0, 0, 0xBF}, {Qt::Key_AsciiTilde, Shift, 0, 0, 0xC0},
        {Qt::Key_BraceLeft, Shift, 0, 0, 0xDB}, {Qt::Key_Bar, Shift, 0, 0, 0xDC},
        {Qt::Key_Backslash, None, 0, 0, 0xDC}, {Qt::Key_QuoteDbl, Shift, 0, 0, 0xDE},
        {Qt::Key_Apostrophe, None, 0, 0, 0xDE},
        // keypad, Num Lock on
        {Qt::Key_0, Keypad, 0xFFB0, 90, 0x60}, {Qt::Key_9, Keypad, 0xFFB9, 81, 0x69},
        {Qt::Key_5, None, 0xFFB5, 84, 0x65},  // a keypad key by its keysym alone
        {Qt::Key_Period, Keypad, 0xFFAE, 91, 0x6E}, {Qt::Key_Comma, Keypad, 0xFFAC, 91, 0x6E},
        {Qt::Key_Asterisk, Keypad, 0xFFAA, 63, 0x6A}, {Qt::Key_Plus, Keypad, 0xFFAB, 86, 0x6B},
        {Qt::Key_Minus, Keypad, 0xFFAD, 82, 0x6D}, {Qt::Key_Slash, Keypad, 0xFFAF, 106, 0x6F},
        {Qt::Key_Enter, Keypad, 0xFF8D, 104, 0x0D},
        // keypad, Num Lock off: the editing keys and Clear
        {Qt::Key_Insert, Keypad, 0xFF9E, 90, 0x2D}, {Qt::Key_End, Keypad, 0xFF9C, 87, 0x23},
        {Qt::Key_Down, Keypad, 0xFF99, 88, 0x28}, {Qt::Key_PageDown, Keypad, 0xFF9B, 89, 0x22},
        {Qt::Key_Left, Keypad, 0xFF96, 83, 0x25}, {Qt::Key_Clear, Keypad, 0xFF9D, 84, 0x0C},
        {Qt::Key_Right, Keypad, 0xFF98, 85, 0x27}, {Qt::Key_Home, Keypad, 0xFF95, 79, 0x24},
        {Qt::Key_Up, Keypad, 0xFF97, 80, 0x26}, {Qt::Key_PageUp, Keypad, 0xFF9A, 81, 0x21},
        {Qt::Key_Delete, Keypad, 0xFF9F, 91, 0x2E},
        // keypad keys offscreen, known by the keypad flag alone
        {Qt::Key_Clear, Keypad, 0, 0, 0x0C}, {Qt::Key_Home, Keypad, 0, 0, 0x24}, {Qt::Key_Period, Keypad, 0, 0, 0x6E},
        {Qt::Key_3, Keypad, 0, 0, 0x63}, {Qt::Key_Enter, Keypad, 0, 0, 0x0D},
        // keys Qt cannot name (a Cyrillic layout) by their place on a US keyboard
        {Qt::Key_unknown, None, 0x6C6, 24, 0x51}, {Qt::Key_unknown, Shift, 0x6E6, 47, 0xBA},
        {Qt::Key_unknown, None, 0x6DE, 51, 0xDC}, {Qt::Key_unknown, None, 0, 0, 0},
        {Qt::Key_unknown, None, 0, 200, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VirtualKeyFromQt(c.qtKey, c.mods, c.keysym, c.keyCode), c.vk)
            << std::hex << "Qt key 0x" << c.qtKey << " keysym 0x" << c.keysym;
}
#endif

}  // namespace
}  // namespace k7
