#include "support/fake_controls.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace k7::test {

void FakeTextBox::setText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    if (onChange) onChange();
}

void FakeTextBox::pressKey(int keyCode, int charCode) {
    if (!enabled()) return;
    int key = keyCode;
    if (onKeyDown) onKeyDown(key);
    if (charCode != 0 && onKeyPress) onKeyPress(charCode);
    if (charCode != 0) setText(text_ + char(charCode));
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

// A row of the list is 195 twips high in the designed font.
int FakeListBox::visibleRows() const { return std::max(1, geometry().height / 195); }

void FakeListBox::setTopIndex(int index) { top_ = std::clamp(index, 0, std::max(0, count() - visibleRows())); }

bool FakePicture::load(const std::string& path) {
    std::error_code ec;
    path_ = std::filesystem::is_regular_file(path, ec) ? path : "";
    return !path_.empty();
}

namespace {

template <class T>
std::unique_ptr<Control> Captioned(const std::string& caption) {
    auto control = std::make_unique<T>();
    control->setCaption(caption);
    return control;
}

std::unique_ptr<Control> MakeFake(const ControlDesign& c) {
    switch (c.kind) {
        case ControlKind::Label: return Captioned<FakeLabel>(c.caption);
        case ControlKind::Button: return Captioned<FakeButton>(c.caption);
        case ControlKind::CheckBox: {
            auto box = std::make_unique<FakeCheckBox>();
            box->setChecked(c.checked);
            return box;
        }
        case ControlKind::TextBox: return std::make_unique<FakeTextBox>();
        case ControlKind::ListBox: return std::make_unique<FakeListBox>();
        case ControlKind::ComboBox: return std::make_unique<FakeComboBox>();
        case ControlKind::ProgressBar: return std::make_unique<FakeProgressBar>();
        case ControlKind::Picture: return std::make_unique<FakePicture>();
        case ControlKind::HtmlView: return std::make_unique<FakeHtmlView>();
        case ControlKind::Frame: return std::make_unique<FakeFrame>();
    }
    throw std::logic_error("unknown kind of control " + c.name);
}

}  // namespace

template <class Base>
FakeControls<Base>::FakeControls(const FormDesign& design, VirtualClock& clock, FakePump& pump) : pump_(pump) {
    window_.setCaption(design.caption);
    // The outer size adds the frame and the menu bar to the client area.
    window_.width = design.clientWidth + 240;
    window_.height = design.clientHeight + 690;
    for (const auto& c : design.controls) {
        auto& control = controls_[c.name] = MakeFake(c);
        control->setGeometry(c.position);
        control->setVisible(c.visible);
    }
    for (const auto& m : design.menus) menus_[m.name] = std::make_unique<FakeMenuItem>();
    for (const auto& t : design.timers) pump_.addSource((timers_[t] = std::make_unique<FakeTimer>(clock)).get());
}

template <class Base>
FakeControls<Base>::~FakeControls() {
    for (auto& [name, t] : timers_) pump_.removeSource(t.get());
}

template class FakeControls<ControlSet>;
template class FakeControls<DialogWindow>;

}  // namespace k7::test
