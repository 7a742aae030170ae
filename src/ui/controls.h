#pragma once
// The window's controls as the program sees them. The Qt side wraps real widgets,
// the test side keeps plain state; both fire their handlers synchronously, the way
// the toolkit does (writing a text box's text fires its change handler at once).
// Texts are byte strings: one char is one byte, 0-255. File names and paths are UTF-8, as
// the system's file dialogs give them, and are shown only through the calls made for them.
#include <cstdint>
#include <functional>
#include <string>

namespace k7 {

// Positions and sizes are in the design's twips: 15 to a pixel at 96 dpi in the design's own
// font; a window drawn in a wider or larger font scales them to it (FormDesign).
struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

class Control {
public:
    virtual ~Control() = default;
    virtual void setEnabled(bool on) = 0;
    virtual bool enabled() const = 0;
    virtual void setVisible(bool on) = 0;
    virtual bool visible() const = 0;
    virtual void setGeometry(const Rect& r) = 0;
    virtual Rect geometry() const = 0;
    virtual void raise() = 0;  // bring in front of its siblings
    virtual void setFocus() = 0;  // the keyboard's input goes here, its window in front
    virtual void setToolTip(const std::string& text) = 0;
};

class Label : public Control {
public:
    virtual void setCaption(const std::string& text) = 0;
    virtual std::string caption() const = 0;
    virtual void setFileName(const std::string& path) = 0;  // shows a file name (UTF-8) as the caption
    std::function<void()> onClick;  // the left button, or Space or Enter on a label that takes the focus
};

class Button : public Control {
public:
    virtual void setCaption(const std::string& text) = 0;
    virtual std::string caption() const = 0;
    std::function<void()> onClick;
};

class CheckBox : public Control {
public:
    virtual void setChecked(bool on) = 0;
    virtual bool checked() const = 0;
};

// Why a control got the focus.
enum class FocusReason {
    UserMovedIn,  // the user clicked it, or moved to it with Tab or Shift+Tab
    GivenBack,    // the window, a closed menu or dialog gave it back, or the program set it
};

// Key codes are Windows virtual-key codes. A handler consumes a key or a character
// by setting it to 0; a key-press handler may also replace the character.
class TextBox : public Control {
public:
    virtual void setText(const std::string& text) = 0;  // fires onChange when the text differs
    virtual std::string text() const = 0;
    std::function<void()> onChange;
    // The user changed the text (typing, deleting, cutting, pasting); not fired when the
    // program writes it.
    std::function<void()> onEdited;
    // The user typed or pasted characters that no byte can hold; they were taken out again
    // before anything saw them.
    std::function<void()> onRefused;
    std::function<void(FocusReason why)> onGotFocus;
    std::function<void()> onDoubleClick;  // with the left button
    std::function<void(int& keyCode)> onKeyDown;
    std::function<void(int& charCode)> onKeyPress;
    std::function<void(int& keyCode)> onKeyUp;
};

class ListBox : public Control {
public:
    virtual int count() const = 0;
    virtual std::string item(int index) const = 0;
    virtual void addItem(const std::string& text) = 0;
    virtual void removeItem(int index) = 0;
    virtual void clear() = 0;
    virtual int topIndex() const = 0;
    virtual void setTopIndex(int index) = 0;  // clamped to the largest scroll position
    virtual int selectedIndex() const = 0;    // -1 when nothing is selected
    virtual void setSelectedIndex(int index) = 0;  // selects the entry and scrolls it into view
    virtual void setTextColor(std::uint32_t rgb) = 0;
    std::function<void()> onDoubleClick;  // on an entry, with the left button
    std::function<void()> onDeleteKey;    // Delete pressed with an entry selected
};

class ComboBox : public Control {
public:
    virtual void addItem(const std::string& text) = 0;
    // A second column in the drop-down list beside the entry's text; the closed box shows
    // the text alone.
    virtual void setItemDetail(int index, const std::string& detail) = 0;
    virtual void clear() = 0;
    virtual int count() const = 0;
    virtual void setCurrentIndex(int index) = 0;  // -1: no selection
    virtual int currentIndex() const = 0;
    virtual std::string currentText() const = 0;  // "" with no selection
    std::function<void()> onChange;  // the selection changed, by the user or the program
};

class ProgressBar : public Control {
public:
    virtual void setMaximum(int max) = 0;
    virtual int maximum() const = 0;
    virtual void setValue(int value) = 0;
    virtual int value() const = 0;
};

class Picture : public Control {
public:
    // Shows the picture in the file; a missing or unreadable file shows nothing
    // and returns false.
    virtual bool load(const std::string& path) = 0;
    virtual std::string loadedPath() const = 0;  // "" when nothing is shown
};

class HtmlView : public Control {
public:
    virtual void navigate(const std::string& path) = 0;
    virtual std::string location() const = 0;
};

class MenuItem {
public:
    virtual ~MenuItem() = default;
    virtual void setEnabled(bool on) = 0;
    virtual bool enabled() const = 0;
    std::function<void()> onClick;
};

class Window {
public:
    virtual ~Window() = default;
    virtual void setCaption(const std::string& text) = 0;
    virtual std::string caption() const = 0;
    virtual int outerWidth() const = 0;   // twips
    virtual int outerHeight() const = 0;  // twips
    std::function<void()> onResize;
};

}  // namespace k7
