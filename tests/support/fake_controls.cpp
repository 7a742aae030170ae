#include "support/fake_controls.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace k7::test {

void FakeTextBox::setText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    ++changes;
    if (onChange) onChange();
}

void FakeTextBox::pressKey(int keyCode, int charCode) {
    if (!enabled()) return;
    int key = keyCode;
    if (onKeyDown) onKeyDown(key);
    if (charCode != 0) {
        int ch = charCode;
        if (onKeyPress) onKeyPress(ch);
        if (ch != 0) setText(text_ + char(ch));
    }
    key = keyCode;
    if (onKeyUp) onKeyUp(key);
}

void FakeTextBox::type(const std::string& chars) {
    for (char c : chars) {
        const auto u = static_cast<unsigned char>(c);
        int key = 0;
        if (u >= 'a' && u <= 'z') key = u - 'a' + 'A';
        else if ((u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == ' ') key = u;
        pressKey(key, u);
    }
}

void FakeListBox::removeItem(int index) {
    items_.erase(items_.begin() + index);
    if (selected_ >= count()) selected_ = -1;
    setTopIndex(top_);
}

int FakeListBox::visibleRows() const {
    // A row of the list is 195 twips high in the designed font.
    return std::max(1, geometry().height / 195);
}

void FakeListBox::setTopIndex(int index) {
    const int largest = std::max(0, count() - visibleRows());
    top_ = std::clamp(index, 0, largest);
}

bool FakePicture::load(const std::string& path) {
    std::error_code ec;
    path_ = std::filesystem::is_regular_file(path, ec) ? path : "";
    return !path_.empty();
}

FakeControlSet::FakeControlSet(const FormSpec& spec, VirtualClock& clock, FakePump& pump) : pump_(pump) {
    window_.setCaption(spec.caption);
    // The outer size adds the frame and the menu bar to the client area.
    window_.width = spec.clientWidth + 240;
    window_.height = spec.clientHeight + 690;
    for (const auto& c : spec.controls) {
        std::unique_ptr<Control> control;
        switch (c.kind) {
            case ControlKind::Label: {
                auto l = std::make_unique<FakeLabel>();
                l->setCaption(c.caption);
                control = std::move(l);
                break;
            }
            case ControlKind::Button: {
                auto b = std::make_unique<FakeButton>();
                b->setCaption(c.caption);
                control = std::move(b);
                break;
            }
            case ControlKind::CheckBox: {
                auto b = std::make_unique<FakeCheckBox>();
                b->setChecked(c.checked);
                control = std::move(b);
                break;
            }
            case ControlKind::TextBox: control = std::make_unique<FakeTextBox>(); break;
            case ControlKind::ListBox: control = std::make_unique<FakeListBox>(); break;
            case ControlKind::ComboBox: control = std::make_unique<FakeComboBox>(); break;
            case ControlKind::ProgressBar: control = std::make_unique<FakeProgressBar>(); break;
            case ControlKind::Picture: control = std::make_unique<FakePicture>(); break;
            case ControlKind::HtmlView: control = std::make_unique<FakeHtmlView>(); break;
            case ControlKind::Frame: control = std::make_unique<FakeFrame>(); break;
        }
        control->setGeometry(c.position);
        control->setVisible(c.visible);
        controls_[c.name] = std::move(control);
    }
    for (const auto& m : spec.menus) menus_[m.name] = std::make_unique<FakeMenuItem>();
    for (const auto& t : spec.timers) {
        timers_[t] = std::make_unique<FakeTimer>(clock);
        pump_.addSource(timers_[t].get());
    }
}

FakeControlSet::~FakeControlSet() {
    for (auto& [name, t] : timers_) pump_.removeSource(t.get());
}

Control& FakeControlSet::control(const std::string& name) {
    auto it = controls_.find(name);
    if (it == controls_.end()) throw std::out_of_range("no control " + name);
    return *it->second;
}

MenuItem& FakeControlSet::menu(const std::string& name) {
    auto it = menus_.find(name);
    if (it == menus_.end()) throw std::out_of_range("no menu item " + name);
    return *it->second;
}

Timer& FakeControlSet::timer(const std::string& name) {
    auto it = timers_.find(name);
    if (it == timers_.end()) throw std::out_of_range("no timer " + name);
    return *it->second;
}

FakeDialogWindow::FakeDialogWindow(const FormSpec& spec, VirtualClock& clock, FakePump& pump,
                                   std::function<void(FakeDialogWindow&)> user)
    : controls_(spec, clock, pump), user_(std::move(user)) {}

void FakeDialogWindow::showModal() {
    open_ = true;
    if (user_) user_(*this);
}

}  // namespace k7::test
