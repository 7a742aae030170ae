#include "shell/history_dialog.h"

#include "shell/main_window_design.h"

namespace k7 {
namespace {

using namespace controls::history;

std::string countText(int n) {
    if (n < 0) return "cannot be read";
    return std::to_string(n) + (n == 1 ? " custom string" : " custom strings");
}

}  // namespace

HistoryDialog::HistoryDialog(Platform& platform, const KeyboardHistory& history)
    : window_(platform.createDialog(historyDialogDesign())),
      rows_(window_->get<ListBox>(kList)),
      entries_(history.entries()) {
    for (const HistoryEntry& e : entries_)
        rows_.addItem(e.time + "\t" + historyEventText(e.event, e.port) + "\t" + countText(e.customStrings));
    window_->get<Label>(kFolder)
        .setFileName(entries_.empty() ? "Nothing kept yet in " + history.folder() : history.folder());
    window_->control(kOpen).setEnabled(!entries_.empty());
    if (!entries_.empty()) rows_.setSelectedIndex(0);
    window_->get<Button>(kOpen).onClick = [this] { choose(); };
    window_->get<Button>(kClose).onClick = [this] { window_->close(); };
    rows_.onDoubleClick = [this] { choose(); };
}

std::optional<std::string> HistoryDialog::run() {
    window_->showModal();
    return chosen_;
}

void HistoryDialog::choose() {
    const int selected = rows_.selectedIndex();
    if (selected < 0 || selected >= int(entries_.size())) return;
    chosen_ = entries_[std::size_t(selected)].path;
    window_->close();
}

}  // namespace k7
