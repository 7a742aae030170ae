#pragma once
// A window with a picture of a keyboard: it draws the keys it is given where they lie,
// each with the mark, small text and tooltip the program gives it, and reports which
// key the user picks (a click, or Enter or Space on the key the arrow keys moved to) and
// which key the user double-clicks. It knows nothing of what the keys mean.
#include <functional>
#include <string>
#include <vector>

#include "ui/controls.h"

namespace k7 {

struct KeyMapKey {
    std::string label;  // written on the key
    double left = 0, top = 0, width = 1, height = 1;  // in key widths from the top left
    bool pickable = true;  // false: drawn, but never reported as picked
};

enum class KeyMarkKind { None, Customised, Different, Unknown };

struct KeyMark {
    KeyMarkKind kind = KeyMarkKind::None;
    std::string text;            // written small on the key
    std::string toolTip;
    std::string accessibleName;  // "" : the label
    std::string accessibleDescription;
    bool operator==(const KeyMark&) const = default;
};

class KeyMapView {
public:
    virtual ~KeyMapView() = default;
    virtual void setCaption(const std::string& text) = 0;
    virtual void setKeys(const std::vector<KeyMapKey>& keys) = 0;
    // One mark per key, in the order of setKeys.
    virtual void setMarks(const std::vector<KeyMark>& marks) = 0;
    // What each kind of mark means, shown beside the keyboard.
    virtual void setMarkNames(const std::string& customised, const std::string& different,
                              const std::string& unknown) = 0;
    // The window's place on the screen and its size, in twips; setPlacement keeps the
    // window on a screen whatever it is given.
    virtual void setPlacement(const Rect& r) = 0;
    virtual Rect placement() const = 0;
    // Shows the window in front of the others; it stays until the user closes it.
    virtual void show() = 0;
    virtual bool shown() const = 0;

    std::function<void(int key)> onKeyPicked;     // the index of a pickable key
    std::function<void(int key)> onKeyActivated;  // double-clicked
    // The window is closing: the user closed it, or the program ends while it is shown.
    std::function<void()> onClosed;
};

}  // namespace k7
