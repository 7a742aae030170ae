#pragma once
// The key map: the KORVEN7's keys drawn as a keyboard, each listed key marked with its
// string, and after a read or a verify the keys that did not answer or that differ from
// the list, until the list or the device changes. A pickable key reports its legend.
// The window remembers its place in the settings file:
//   [KEYMAP] LEFT=  TOP=  WIDTH=  HEIGHT=   (twips)
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "device/device_session.h"
#include "keystrings/key_string_list.h"
#include "settings/serial_settings.h"
#include "ui/platform.h"

namespace k7 {

class KeyMapWindow {
public:
    // Its place is kept in `settings` ([KEYMAP]), written when the window closes.
    KeyMapWindow(Platform& platform, const KeyStringList& list, SettingsFile& settings);

    // Creates the window on first use, where it was last closed, and brings it to the front.
    void show();
    // The list changed: the marks follow it, and what the keyboard answered no longer stands.
    void listChanged();
    // What the keyboard answered: the unread keys of a read, the differences of a verify.
    // An operation that did not complete leaves nothing to show.
    void showRead(const ReadResult& result);
    void showVerify(const VerifyResult& result);
    // Another device, or one written since: what it answered before no longer stands.
    void forgetDevice();

    std::function<void(const std::string& legend)> onKeyPicked;
    std::function<void(const std::string& legend)> onKeyActivated;

private:
    struct Finding {
        bool answered = false;  // false: no valid answer; true: it holds `found`, not `expected`
        std::string expected, found;  // notation
    };

    void refresh();
    // `listed`: the key's string in the list, nullptr when it has none.
    KeyMark markOf(const std::string& legend, const std::string& label, const std::string* listed) const;
    void placeAsLastClosed();
    void savePlacement();

    Platform& platform_;
    SettingsFile& settings_;
    const KeyStringList& list_;
    std::unique_ptr<KeyMapView> view_;
    std::map<int, Finding> findings_;  // by key table row
};

}  // namespace k7
