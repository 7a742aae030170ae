#include "shell/settings_dialog.h"

#include <cmath>

#include "settings/numbers.h"
#include "shell/main_window_design.h"

namespace k7 {
namespace {

const char* const kBaudTexts[] = {"1200", "4800", "9600", "19.2k", "38.4k", "57.6k"};
const char* const kParityTexts[] = {"NONE", "EVEN", "ODD"};
constexpr int kSavePauseMs = 700;

// Adds the texts to the list and selects the first whose first `n` characters equal
// those of `current`; no selection when none does.
template <std::size_t Count>
void fillAndSelect(ComboBox& box, const char* const (&texts)[Count], const std::string& current, std::size_t n) {
    int match = -1;
    for (std::size_t i = 0; i < Count; ++i) {
        box.addItem(texts[i]);
        if (match < 0 && std::string(texts[i]).substr(0, n) == current.substr(0, n)) match = int(i);
    }
    box.setCurrentIndex(match);
}

// A baud text of the list as a number: "19.2k" is 19200.
int baudOfListText(const std::string& text) {
    if (text.find('k') == std::string::npos) return std::stoi(text);
    std::string number;
    for (char c : text)
        if (c != 'k') number += c;
    return int(std::nearbyint(parseNumber(number).value_or(0) * 1000));
}

}  // namespace

SettingsDialog::SettingsDialog(Platform& platform, const ProgramSettings& current,
                               std::function<void(const ProgramSettings&)> apply)
    : platform_(platform),
      current_(current),
      apply_(std::move(apply)),
      window_(platform.createDialog(settingsDialogDesign())),
      ports_(platform, *window_, current.serial.port),
      baudList_(window_->get<ComboBox>("cboBaud")),
      parityList_(window_->get<ComboBox>("cboParity")),
      backupFirst_(window_->get<CheckBox>("BackupFirst")) {
    window_->get<Button>("ConfigSave").onClick = [this] { save(); };
    window_->get<Button>("ConfigAbort").onClick = [this] { window_->close(); };
    window_->get<Button>("FindBtn").onClick = [this] { find(); };
    window_->onClosed = [this] { ports_.stop(); };  // a search under way ends with the dialog
    fillAndSelect(baudList_, kBaudTexts, std::to_string(current.serial.baud), 2);
    fillAndSelect(parityList_, kParityTexts, std::string(1, current.serial.parity), 1);
    backupFirst_.setChecked(current.backupBeforeSend);
}

std::optional<ProgramSettings> SettingsDialog::run() {
    window_->showModal();
    return saved_;
}

void SettingsDialog::save() {
    try {
        // A list left without a selection keeps the current value.
        ProgramSettings chosen = current_;
        if (const auto port = ports_.storeChoice()) chosen.serial.port = *port;
        if (baudList_.currentIndex() >= 0) chosen.serial.baud = baudOfListText(baudList_.currentText());
        if (parityList_.currentIndex() >= 0) chosen.serial.parity = parityList_.currentText()[0];
        chosen.backupBeforeSend = backupFirst_.checked();
        saveSettings(platform_.env.settingsFileName(), chosen);
        saved_ = chosen;
        apply_(chosen);

        // A short pause so the user sees the new settings arrive on the main window.
        const auto pause = platform_.pump.createTimer();
        pause->onTick = [&pause] { pause->setEnabled(false); };
        pause->setInterval(kSavePauseMs);
        pause->setEnabled(true);
        while (pause->enabled()) platform_.pump.waitEvents();

        window_->close();
    } catch (const std::exception& e) {
        platform_.dialogs.message(std::string("Error saving configuration - ") + e.what());
    }
}

// The selected rate first, then the six of the list; the rate that answers is selected.
void SettingsDialog::find() {
    if (ports_.searching()) return ports_.stop();
    std::vector<int> rates{baudList_.currentIndex() >= 0 ? baudOfListText(baudList_.currentText()) : current_.serial.baud};
    for (const char* text : kBaudTexts)
        if (baudOfListText(text) != rates.front()) rates.push_back(baudOfListText(text));
    const char parity = parityList_.currentIndex() >= 0 ? parityList_.currentText()[0] : current_.serial.parity;
    for (const char* name : {"ConfigSave", "cboBaud", "cboParity"}) window_->control(name).setEnabled(false);
    const std::optional<int> found = ports_.find(rates, parity);
    for (const char* name : {"ConfigSave", "cboBaud", "cboParity"}) window_->control(name).setEnabled(true);
    for (int i = 0; found && i < baudList_.count(); ++i)
        if (baudOfListText(kBaudTexts[i]) == *found) baudList_.setCurrentIndex(i);
}

}  // namespace k7
