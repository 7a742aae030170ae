#pragma once
// The port part of the settings dialog: the Com Port list with each port's device beside
// it, following adapters plugged in and pulled out (checked once a second while the
// dialog is open), and Find KORVEN7 with its progress display, its outcome and a way to stop.
#include <memory>
#include <optional>
#include <vector>

#include "device/device_search.h"
#include "settings/port_choices.h"
#include "ui/platform.h"

namespace k7 {

class PortPicker {
public:
    PortPicker(Platform& platform, ControlSet& dialog, const SettingsFile& settings, int currentPort);

    // Asks the ports that exist, the selected one first, at each rate in turn; selects the
    // port that answers and returns its rate.
    std::optional<int> find(const std::vector<int>& rates, char parity);
    bool searching() const { return search_.running(); }
    void stop() { search_.requestStop(); }

    // The chosen port number, its [PORTS] line set in `into` when it needs one; nothing
    // when no port is selected.
    std::optional<int> storeChoice(SettingsFile& into);

private:
    void refresh();
    void showDetail();
    void showOutcome(const SearchOutcome& outcome, const std::vector<SearchCandidate>& candidates);

    Platform& platform_;
    int currentPort_;
    ComboBox& list_;
    Label& detail_;
    Button& findButton_;
    ProgressBar& progress_;
    Label& status_;
    PortChoices choices_;
    DeviceSearch search_;
    std::unique_ptr<Timer> refreshTimer_;
};

}  // namespace k7
