#include "shell/key_map_window.h"

#include "keystrings/keyboard_layout.h"
#include "keystrings/notation.h"

namespace k7 {

KeyMapWindow::KeyMapWindow(Platform& platform, const KeyStringList& list, SettingsFile& settings)
    : platform_(platform), settings_(settings), list_(list) {}

void KeyMapWindow::show() {
    if (!view_) {
        if (!platform_.createKeyMap) return;
        view_ = platform_.createKeyMap();
        view_->setCaption("Key Map");
        view_->setMarkNames("customised", "different on the keyboard", "unknown: no answer");
        std::vector<KeyMapKey> keys;
        for (const KeyPlace& place : keyboardLayout())
            keys.push_back({place.label, place.left, place.top, place.width, place.height, !place.legend.empty()});
        view_->setKeys(keys);
        view_->onKeyPicked = [this](int key) { if (onKeyPicked) onKeyPicked(keyboardLayout()[std::size_t(key)].legend); };
        view_->onKeyActivated = [this](int key) {
            if (onKeyActivated) onKeyActivated(keyboardLayout()[std::size_t(key)].legend);
        };
        view_->onClosed = [this] { savePlacement(); };
        placeAsLastClosed();
        refresh();
    }
    view_->show();
}

void KeyMapWindow::listChanged() {
    findings_.clear();
    refresh();
}

void KeyMapWindow::forgetDevice() {
    findings_.clear();
    refresh();
}

void KeyMapWindow::showRead(const ReadResult& result) {
    findings_.clear();  // a read that failed has no rows
    for (int row : result.unreadRows) findings_[row] = {};
    refresh();
}

void KeyMapWindow::showVerify(const VerifyResult& result) {
    findings_.clear();  // a verify that failed has no differences
    for (const KeyDifference& d : result.differences)
        findings_[d.row] = {d.found.scancode != 0, bytesToNotation(d.expected.output), bytesToNotation(d.found.output)};
    refresh();
}

void KeyMapWindow::refresh() {
    if (!view_) return;
    // Each key's string in the list; a later entry wins, as when the list is sent.
    std::map<std::string, std::string> listed;
    for (const KeyString& entry : list_.entries()) listed[entry.legend] = entry.notation;
    std::vector<KeyMark> marks;
    for (const KeyPlace& place : keyboardLayout()) {
        const auto it = listed.find(place.legend);
        marks.push_back(markOf(place.legend, place.label, it == listed.end() ? nullptr : &it->second));
    }
    view_->setMarks(marks);
}

KeyMark KeyMapWindow::markOf(const std::string& legend, const std::string& label, const std::string* listed) const {
    KeyMark mark;
    if (legend.empty()) {
        mark.toolTip = label + ": the KORVEN7 has no string for this key";
        mark.accessibleDescription = "cannot be configured";
        return mark;
    }
    const int row = findKeyRow(legend);
    const auto finding = findings_.find(row);
    const std::string listedPrefix = listed ? "customised, " : "";
    if (listed) {
        mark.kind = KeyMarkKind::Customised;
        mark.text = *listed;
        mark.toolTip = legend + ": " + *listed;
        mark.accessibleName = legend + ": " + *listed;
        mark.accessibleDescription = "customised";
    } else {
        static const KeyTable defaults = defaultKeyTable();
        mark.toolTip = legend + ": not in the list, default " + bytesToNotation(defaults[std::size_t(row)].output);
    }
    if (finding == findings_.end()) return mark;
    const Finding& f = finding->second;
    if (!f.answered) {
        mark.kind = KeyMarkKind::Unknown;
        mark.toolTip = legend + ": unknown, the keyboard did not answer" + (listed ? "\nlist: " + *listed : "");
        mark.accessibleDescription = listedPrefix + "unknown: the keyboard did not answer";
    } else {
        mark.kind = KeyMarkKind::Different;
        mark.toolTip = legend + ": different on the keyboard\nlist: " + f.expected + (listed ? "" : " (default)") +
                       "\nkeyboard: " + f.found;
        mark.accessibleDescription = listedPrefix + "different: the keyboard holds " + f.found;
    }
    return mark;
}

void KeyMapWindow::placeAsLastClosed() {
    const auto place = settings_.keyMapPlace([this](const std::string& m) { platform_.dialogs.message(m); });
    if (place) view_->setPlacement({place->left, place->top, place->width, place->height});
}

void KeyMapWindow::savePlacement() {
    const Rect r = view_->placement();
    SettingsFile edited = settings_;
    edited.setKeyMapPlace({r.left, r.top, r.width, r.height});
    try {
        edited.save();
        settings_ = std::move(edited);
    } catch (const std::exception& e) {
        platform_.dialogs.message(std::string("Error saving the Key Map's place - ") + e.what());
    }
}

}  // namespace k7
