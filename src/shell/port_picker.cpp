#include "shell/port_picker.h"

#include "shell/main_window_design.h"

namespace k7 {

using namespace controls::config;
namespace {

constexpr int kRefreshMs = 1000;
constexpr const char* kFindCaption = "Find KORVEN7";

// The version as the device sent it, without the line end.
std::string withoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

}  // namespace

PortPicker::PortPicker(Platform& platform, ControlSet& dialog, const SettingsFile& settings, int currentPort)
    : platform_(platform),
      currentPort_(currentPort),
      list_(dialog.get<ComboBox>(kPorts)),
      detail_(dialog.get<Label>(kPortDetail)),
      findButton_(dialog.get<Button>(kFind)),
      progress_(dialog.get<ProgressBar>(kFindProgress)),
      status_(dialog.get<Label>(kFindStatus)),
      choices_(settings, currentPort),
      search_(platform.port, platform.pump),
      refreshTimer_(platform.pump.createTimer()) {
    list_.onChange = [this] { showDetail(); };
    search_.onQuery = [this](int done, int, const SearchCandidate& candidate, int baud) {
        progress_.setValue(done);
        status_.setCaption("Asking " + candidate.name + " at " + std::to_string(baud) + " baud...");
    };
    refresh();
    refreshTimer_->onTick = [this] { refresh(); };
    refreshTimer_->setInterval(kRefreshMs);
    refreshTimer_->setEnabled(true);
}

// Rebuilds the list when the ports changed; the selected port stays selected while it
// is there, else the port of the settings is.
void PortPicker::refresh() {
    const auto& entries = choices_.entries();
    const int selected = list_.currentIndex();
    const int number = selected >= 0 && selected < int(entries.size()) ? entries[std::size_t(selected)].number : currentPort_;
    if (!choices_.refresh(platform_.portList.ports())) return;
    list_.clear();
    int select = -1;
    for (const PortChoice& choice : entries) {
        list_.addItem("COM" + std::to_string(choice.number));
        list_.setItemDetail(list_.count() - 1, choice.detail);
        if (choice.number == number || (select < 0 && choice.number == currentPort_)) select = list_.count() - 1;
    }
    list_.setCurrentIndex(select);
    showDetail();
}

void PortPicker::showDetail() {
    const int selected = list_.currentIndex();
    const auto& entries = choices_.entries();
    detail_.setCaption(selected >= 0 && selected < int(entries.size()) ? entries[std::size_t(selected)].detail : "");
}

std::optional<int> PortPicker::find(const std::vector<int>& rates, char parity) {
    std::vector<SearchCandidate> candidates;
    std::vector<int> indexes;  // each candidate's entry
    const int selected = list_.currentIndex();
    const auto& entries = choices_.entries();
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < int(entries.size()); ++i) {
            const PortChoice& choice = entries[std::size_t(i)];
            if (choice.exists && (i == selected) == (pass == 0)) {
                candidates.push_back({portCaption(choice.number, choice.device), choice.device});
                indexes.push_back(i);
            }
        }

    refreshTimer_->setEnabled(false);  // the list stays as it is while it is searched
    list_.setEnabled(false);
    findButton_.setCaption("Stop");
    progress_.setMaximum(std::max<int>(1, int(candidates.size() * rates.size())));
    progress_.setValue(0);
    progress_.setVisible(true);
    const SearchOutcome outcome = search_.run(candidates, rates, parity);
    progress_.setVisible(false);
    findButton_.setCaption(kFindCaption);
    list_.setEnabled(true);
    if (!outcome.found.empty()) list_.setCurrentIndex(indexes[outcome.found.front().candidate]);
    showOutcome(outcome, candidates);
    refreshTimer_->setEnabled(true);
    return outcome.found.empty() ? std::nullopt : std::optional(outcome.found.front().baud);
}

void PortPicker::showOutcome(const SearchOutcome& outcome, const std::vector<SearchCandidate>& candidates) {
    std::string text;
    if (!outcome.found.empty()) {
        const SearchHit& hit = outcome.found.front();
        text = "Found on " + candidates[hit.candidate].name + " at " + std::to_string(hit.baud) +
               " baud: " + withoutLineEnd(hit.version) + ". SAVE keeps this port and rate.";
    }
    else if (outcome.stopped)
        text = "Search stopped.";
    else
        text = "No KORVEN7 answered on any port at any baud rate. Check the cable, that the KORVEN7 has "
               "power, and that no other program holds the port.";
    for (const SkippedPort& skipped : outcome.skipped)
        text += "\nSkipped " + candidates[skipped.candidate].name + ": " + skipped.reason;
    status_.setCaption(text);
}

std::optional<int> PortPicker::storeChoice(SettingsFile& into) {
    const int selected = list_.currentIndex();
    if (selected < 0 || selected >= int(choices_.entries().size())) return std::nullopt;
    const PortChoice& choice = choices_.entries()[std::size_t(selected)];
    PortChoices::store(choice, into);
    return choice.number;
}

}  // namespace k7
