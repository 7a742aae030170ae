#pragma once
// The key field names a PC key press by its KORVEN7 legend. Keys that exist twice (the
// editing and arrow keys, grey and on the keypad) give the keypad key first and the grey
// key on a second press of the same key; ENTER alternates with the keypad's "KPENT".
#include <string>

namespace k7 {

class KeyCapture {
public:
    // The legend for a key-down, `keyCode` a Windows virtual-key code; "" for a key
    // without a legend.
    std::string legendOf(int keyCode);
    // Shift, Ctrl, Alt and the Windows keys: alone they name no key and leave the key
    // field as it is; they begin a combination (Ctrl+Tab leaves the key field, Alt and a
    // letter open a menu). Their legendOf still ends a key's run of presses.
    static bool isModifier(int keyCode);

private:
    int lastKeyCode_ = 0;
    bool pairToggle_ = false;
    int enterCount_ = 0;
};

}  // namespace k7
