#pragma once
// Controls as plain state, built from a window's design. Handlers fire synchronously,
// as the toolkit fires them; the helper methods act as the user would.
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/virtual_time.h"

namespace k7::test {

template <class Base>
class FakeControl : public Base {
public:
    void setEnabled(bool on) override { enabled_ = on; }
    bool enabled() const override { return enabled_; }
    void setVisible(bool on) override { visible_ = on; }
    bool visible() const override { return visible_; }
    void setGeometry(const Rect& r) override { geometry_ = r; }
    Rect geometry() const override { return geometry_; }
    void raise() override { ++raised; }
    int raised = 0;
private:
    bool enabled_ = true;
    bool visible_ = true;
    Rect geometry_;
};

class FakeFrame : public FakeControl<Control> {};

// A label or a button: a caption, and a click that reaches the handler only when the
// control could be clicked.
template <class Base>
class FakeCaptioned : public FakeControl<Base> {
public:
    void setCaption(const std::string& text) override { caption_ = text; }
    std::string caption() const override { return caption_; }
    void click() { if (this->enabled() && this->visible() && this->onClick) this->onClick(); }
private:
    std::string caption_;
};
using FakeLabel = FakeCaptioned<Label>;
using FakeButton = FakeCaptioned<Button>;

class FakeCheckBox : public FakeControl<CheckBox> {
public:
    void setChecked(bool on) override { checked_ = on; }
    bool checked() const override { return checked_; }
private:
    bool checked_ = false;
};

class FakeTextBox : public FakeControl<TextBox> {
public:
    void setText(const std::string& text) override;
    std::string text() const override { return text_; }
    // The user presses a key: key down, the character (when it has one), key up.
    // A character that survives the key-press handler is appended to the text.
    void pressKey(int keyCode, int charCode = 0);
    // Types each character of `chars` as a key press (letters with their key codes).
    void type(const std::string& chars);
    void focus() { if (onGotFocus) onGotFocus(); }
    void doubleClick() { if (onDoubleClick) onDoubleClick(); }
private:
    std::string text_;
};

class FakeListBox : public FakeControl<ListBox> {
public:
    int count() const override { return int(items_.size()); }
    std::string item(int index) const override { return items_.at(std::size_t(index)); }
    void addItem(const std::string& text) override { items_.push_back(text); }
    void removeItem(int index) override;
    void clear() override { items_.clear(); top_ = 0; selected_ = -1; }
    int topIndex() const override { return top_; }
    void setTopIndex(int index) override;
    int selectedIndex() const override { return selected_; }
    void setTextColor(std::uint32_t) override {}
    void select(int index) { selected_ = index; }
    void doubleClick() { if (onDoubleClick) onDoubleClick(); }
    const std::vector<std::string>& items() const { return items_; }
    int visibleRows() const;  // rows that fit in the box's height
private:
    std::vector<std::string> items_;
    int top_ = 0;
    int selected_ = -1;
};

class FakeComboBox : public FakeControl<ComboBox> {
public:
    void addItem(const std::string& text) override { items_.push_back(text); }
    int count() const override { return int(items_.size()); }
    void setCurrentIndex(int index) override { current_ = index >= 0 && index < count() ? index : -1; }
    int currentIndex() const override { return current_; }
    std::string currentText() const override { return current_ < 0 ? "" : items_[std::size_t(current_)]; }
    const std::vector<std::string>& items() const { return items_; }
private:
    std::vector<std::string> items_;
    int current_ = -1;
};

class FakeProgressBar : public FakeControl<ProgressBar> {
public:
    void setMaximum(int max) override { max_ = max; }
    int maximum() const override { return max_; }
    void setValue(int value) override { value_ = value; }
    int value() const override { return value_; }
private:
    int max_ = 100;
    int value_ = 0;
};

class FakePicture : public FakeControl<Picture> {
public:
    bool load(const std::string& path) override;  // checks the real file
    std::string loadedPath() const override { return path_; }
private:
    std::string path_;
};

class FakeHtmlView : public FakeControl<HtmlView> {
public:
    void navigate(const std::string& path) override { location_ = path; }
    std::string location() const override { return location_; }
private:
    std::string location_;
};

class FakeMenuItem : public MenuItem {
public:
    void setEnabled(bool on) override { enabled_ = on; }
    bool enabled() const override { return enabled_; }
    void click() { if (enabled_ && onClick) onClick(); }
private:
    bool enabled_ = true;
};

class FakeWindow : public Window {
public:
    void setCaption(const std::string& text) override { caption_ = text; }
    std::string caption() const override { return caption_; }
    int outerWidth() const override { return width; }
    int outerHeight() const override { return height; }
    void resize(int w, int h) { width = w; height = h; if (onResize) onResize(); }
    int width = 0, height = 0;
private:
    std::string caption_;
};

// Every control, menu item and timer of a design, as fakes; Base is the window or
// the dialog interface they serve.
template <class Base>
class FakeControls : public Base {
public:
    FakeControls(const FormDesign& design, VirtualClock& clock, FakePump& pump);
    ~FakeControls() override;
    Control& control(const std::string& name) override { return *find(controls_, name); }
    MenuItem& menu(const std::string& name) override { return *find(menus_, name); }
    Timer& timer(const std::string& name) override { return *find(timers_, name); }
    Window& window() override { return window_; }

    template <class T>
    T& fake(const std::string& name) { return dynamic_cast<T&>(control(name)); }
    FakeMenuItem& fakeMenu(const std::string& name) { return *find(menus_, name); }
    FakeWindow& fakeWindow() { return window_; }
private:
    template <class T>
    static T* find(const std::map<std::string, std::unique_ptr<T>>& all, const std::string& name) {
        auto it = all.find(name);
        if (it == all.end()) throw std::out_of_range("no control, menu item or timer " + name);
        return it->second.get();
    }
    FakePump& pump_;
    FakeWindow window_;
    std::map<std::string, std::unique_ptr<Control>> controls_;
    std::map<std::string, std::unique_ptr<FakeMenuItem>> menus_;
    std::map<std::string, std::unique_ptr<FakeTimer>> timers_;
};
using FakeControlSet = FakeControls<ControlSet>;

// A modal dialog whose "user" is a test script, run when the dialog is shown.
class FakeDialogWindow : public FakeControls<DialogWindow> {
public:
    FakeDialogWindow(const FormDesign& design, VirtualClock& clock, FakePump& pump,
                     std::function<void(FakeDialogWindow&)> user)
        : FakeControls(design, clock, pump), user_(std::move(user)) {}
    void showModal() override { open_ = true; if (user_) user_(*this); }
    void close() override { open_ = false; ++closes; }
    bool isOpen() const { return open_; }
    int closes = 0;
private:
    std::function<void(FakeDialogWindow&)> user_;
    bool open_ = false;
};

}  // namespace k7::test
