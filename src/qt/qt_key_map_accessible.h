#pragma once
// What screen readers see of the key map: the keyboard as a group, each key a button
// named by its legend (or its mark) that a reader can press.
#include <QAccessible>

namespace k7::qt {

class KeyboardWidget;

// Lets Qt make the keyboard's accessible interface; once is enough, more does no harm.
void installKeyboardAccessibility();
// Tells the screen readers that something of a key changed, or that it has the focus.
void notifyKeyAccessibility(KeyboardWidget* keyboard, QAccessible::Event event, int key);

}  // namespace k7::qt
