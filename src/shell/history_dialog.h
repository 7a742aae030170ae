#pragma once
// File → History: the keyboard's kept reads and sends, newest first, with when, where,
// what happened and how many custom strings each holds. Open (or a double-click) chooses
// one; the caller loads it as File → Open does.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cfgfile/keyboard_history.h"
#include "ui/platform.h"

namespace k7 {

class HistoryDialog {
public:
    HistoryDialog(Platform& platform, const KeyboardHistory& history);

    // Modal; the file chosen, or nothing when the dialog was closed without one.
    std::optional<std::string> run();

private:
    void choose();

    std::unique_ptr<DialogWindow> window_;
    ListBox& rows_;
    std::vector<HistoryEntry> entries_;
    std::optional<std::string> chosen_;
};

}  // namespace k7
