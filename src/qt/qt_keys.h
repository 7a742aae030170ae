#pragma once
// Qt key events as Windows virtual-key codes, the numbering a text box's key-down and
// key-up handlers take.
//
// Call it with the event's own values:
//   VirtualKeyFromQt(e->key(), e->modifiers(), e->nativeVirtualKey(), e->nativeScanCode())
//
// What comes out:
// - letters and digits of the main block: 0x41-0x5A and 0x30-0x39, shifted or not;
//   every key gives its own unshifted code on a US layout (Shift+1 "!" gives 0x31,
//   Shift+; ":" gives 0xBA, Shift+Tab gives 0x09);
// - keypad with Num Lock on: VK_NUMPAD0-9 (0x60-0x69) and VK_DECIMAL (0x6E);
//   with Num Lock off the editing and arrow codes (0x21-0x28, 0x2D, 0x2E) and VK_CLEAR
//   (0x0C) for keypad 5; keypad / * - + are 0x6F 0x6A 0x6D 0x6B, keypad Enter 0x0D;
// - F1-F12 0x70-0x7B, Print VK_PRINT (0x2A), Scroll Lock 0x91, Pause 0x13;
// - 0 for a key that has no code.
// Print Screen's release reaches the key-up handler as VK_SNAPSHOT (44), whatever this
// function gives for its key-down.
//
// On Windows the native virtual key is taken as it is. Elsewhere the key is mapped from
// Qt's key and modifiers (Qt::KeypadModifier marks keypad keys); the native X keysym
// also marks keypad keys, and for keys Qt cannot name (letters of a non-Latin layout)
// the native X key code gives the code of the key at that place on a US keyboard.
#include <QtCore/qnamespace.h>
#include <QtCore/qglobal.h>

namespace k7::qt {

int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers mods, quint32 nativeVirtualKey, quint32 nativeScanCode);

}  // namespace k7::qt
