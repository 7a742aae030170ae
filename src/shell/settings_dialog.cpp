#include "shell/settings_dialog.h"

#include "shell/main_window_design.h"

namespace k7 {

using namespace controls::config;
namespace {

constexpr int kSavePauseMs = 700;

// Adds the choices' captions to the list and selects the first whose first `n`
// characters equal those of `current`; no selection when none does.
template <class Choice, std::size_t Count>
void fillAndSelect(ComboBox& box, const Choice (&choices)[Count], const std::string& current, std::size_t n) {
    int match = -1;
    for (std::size_t i = 0; i < Count; ++i) {
        box.addItem(choices[i].caption);
        if (match < 0 && std::string(choices[i].caption).substr(0, n) == current.substr(0, n)) match = int(i);
    }
    box.setCurrentIndex(match);
}

}  // namespace

SettingsDialog::SettingsDialog(Platform& platform, SettingsFile& settingsFile, const ProgramSettings& current,
                               std::function<void(const ProgramSettings&)> apply)
    : platform_(platform),
      settingsFile_(settingsFile),
      current_(current),
      apply_(std::move(apply)),
      window_(platform.createDialog(settingsDialogDesign())),
      ports_(platform, *window_, settingsFile, current.serial.port),
      baudList_(window_->get<ComboBox>(kBauds)),
      parityList_(window_->get<ComboBox>(kParities)),
      backupFirst_(window_->get<CheckBox>(kBackupFirst)) {
    window_->get<Button>(kSave).onClick = [this] { save(); };
    window_->get<Button>(kClose).onClick = [this] { window_->close(); };
    window_->get<Button>(kFind).onClick = [this] { find(); };
    baudList_.onPicked = [this] { ports_.choiceChanged(); };
    window_->onClosed = [this] { ports_.stop(); };  // a search under way ends with the dialog
    fillAndSelect(baudList_, kBaudChoices, std::to_string(current.serial.baud), 2);
    fillAndSelect(parityList_, kParityChoices, std::string(1, current.serial.parity), 1);
    backupFirst_.setChecked(current.backupBeforeSend);
}

std::optional<ProgramSettings> SettingsDialog::run() {
    window_->showModal();
    return saved_;
}

void SettingsDialog::save() {
    // A list left without a selection keeps the current value.
    ProgramSettings chosen = current_;
    SettingsFile edited = settingsFile_;
    std::string failure;
    try {
        if (const auto port = ports_.storeChoice(edited)) chosen.serial.port = *port;
        if (const auto baud = chosenBaud()) chosen.serial.baud = *baud;
        if (const auto parity = chosenParity()) chosen.serial.parity = *parity;
        chosen.backupBeforeSend = backupFirst_.checked();
        edited.setProgram(chosen);
        edited.save();
    } catch (const std::exception& e) {
        failure = e.what();
    }
    // Settings that cannot be stored are still the user's choice for this run.
    settingsFile_ = std::move(edited);
    saved_ = chosen;
    apply_(chosen);
    if (!failure.empty())
        platform_.dialogs.message("Error saving configuration - " + failure +
                                  "\nThe new settings are in force until the program ends.");

    // A short pause so the user sees the new settings arrive on the main window.
    const auto pause = platform_.pump.createTimer();
    pause->onTick = [&pause] { pause->setEnabled(false); };
    pause->setInterval(kSavePauseMs);
    pause->setEnabled(true);
    while (pause->enabled()) platform_.pump.waitEvents();

    window_->close();
}

// The selected rate first, then the six of the list; the rate that answers is selected.
void SettingsDialog::find() {
    if (ports_.searching()) return ports_.stop();
    std::vector<int> rates{chosenBaud().value_or(current_.serial.baud)};
    for (const BaudChoice& choice : kBaudChoices)
        if (choice.baud != rates.front()) rates.push_back(choice.baud);
    const char parity = chosenParity().value_or(current_.serial.parity);
    for (const char* name : {kSave, kBauds, kParities}) window_->control(name).setEnabled(false);
    const std::optional<int> found = ports_.find(rates, parity);
    for (const char* name : {kSave, kBauds, kParities}) window_->control(name).setEnabled(true);
    for (std::size_t i = 0; found && i < std::size(kBaudChoices); ++i)
        if (kBaudChoices[i].baud == *found) baudList_.setCurrentIndex(int(i));
}

std::optional<int> SettingsDialog::chosenBaud() const {
    const int i = baudList_.currentIndex();
    return i >= 0 && i < int(std::size(kBaudChoices)) ? std::optional(kBaudChoices[i].baud) : std::nullopt;
}

std::optional<char> SettingsDialog::chosenParity() const {
    const int i = parityList_.currentIndex();
    return i >= 0 && i < int(std::size(kParityChoices)) ? std::optional(kParityChoices[i].letter) : std::nullopt;
}

}  // namespace k7
