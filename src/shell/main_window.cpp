#include "shell/main_window.h"

#include <ctime>

#include "keystrings/string_field_check.h"
#include "settings/port_choices.h"
#include "shell/history_dialog.h"
#include "shell/main_window_design.h"
#include "shell/printout.h"
#include "shell/settings_dialog.h"

namespace k7 {
namespace {

constexpr int kTabChar = 9;
constexpr int kPrintScreenKeyUp = 44;  // VK_SNAPSHOT, reported only on release
constexpr int kListRowsShown = 10;     // an add scrolls the newest ten entries into view
constexpr int kLogRowsShown = 5;       // the log keeps its newest five lines in view
constexpr const char* kNotOneByte =
    "Only characters that fit in one byte (codes up to 255) can be entered .. write any byte as {HH}";

std::string entryText(const KeyString& entry) { return entry.legend + "\t" + entry.notation; }

}  // namespace

MainWindow::MainWindow(Platform& platform)
    : platform_(platform),
      ui_(platform.ui),
      clearBeforeEach_(ui_.get<CheckBox>(controls::kClearBeforeEach)),
      statusLog_(ui_.get<ListBox>(controls::kLog)),
      keyField_(ui_.get<TextBox>(controls::kKeyField)),
      stringField_(ui_.get<TextBox>(controls::kStringField)),
      stringLength_(ui_.get<Label>(controls::kStringLength)),
      listBox_(ui_.get<ListBox>(controls::kList)),
      verdictPicture_(ui_.get<Picture>(controls::kVerdictPicture)),
      verdictCaption_(ui_.get<Label>(controls::kVerdict)),
      portLabel_(ui_.get<Label>(controls::kPort)),
      baudLabel_(ui_.get<Label>(controls::kBaud)),
      parityLabel_(ui_.get<Label>(controls::kParity)),
      progressBar_(ui_.get<ProgressBar>(controls::kProgress)),
      progressCaption_(ui_.get<Label>(controls::kProgressCaption)),
      percentLabel_(ui_.get<Label>(controls::kPercent)),
      session_(platform.port, platform.pump, *this),
      history_(platform.files, platform.env.historyFolder()),
      fileMenu_(platform, keyStrings_, ui_.get<Label>(controls::kFile)),
      helpPane_(ui_, platform.env),
      keyMap_(platform, keyStrings_, settingsFile_) {
    progressBar_.setMaximum(100);
    progressBar_.setValue(0);
    keyStrings_.onChanged = [this](int index, bool added) { showListChange(index, added); };

    auto click = [](auto& source, auto handler) { source.onClick = handler; };
    click(ui_.get<Button>(controls::kClearLogNow), [this] { statusLog_.clear(); });
    click(ui_.get<Button>(controls::kAddToList), [this] { addToList(); });
    click(ui_.get<Label>(controls::kClearList), [this] { keyStrings_.clear(); });
    click(ui_.get<Button>(controls::kSend), [this] { sendStrings(); });
    click(ui_.get<Button>(controls::kVerify), [this] { verifyStrings(); });
    click(ui_.get<Button>(controls::kRead), [this] { readStrings(); });
    click(ui_.get<Button>(controls::kVersion), [this] { showVersion(); });
    click(ui_.get<Button>(controls::kAbort), [this] { session_.requestAbort(); });
    click(ui_.get<Button>(controls::kCloseHelpButton), [this] { helpPane_.close(); });

    // The key field clears when the user moves into it, not when a menu or dialog gives the focus back.
    keyField_.onGotFocus = [this](FocusReason why) { if (why == FocusReason::UserMovedIn) keyField_.setText(""); };
    keyField_.onKeyDown = [this](int& k) { keyDown(k); };
    keyField_.onKeyPress = [this](int& c) { keyPress(c); };
    keyField_.onKeyUp = [this](int& k) { keyUp(k); };
    stringField_.onChange = [this] { stringChanged(); };
    stringField_.onKeyPress = [this](int& c) { stringKeyPress(c); };
    stringField_.onEdited = [this] { showPicture(VerdictPicture::QuestionMark); };
    stringField_.onRefused = [this] { platform_.dialogs.message(kNotOneByte); };
    stringField_.onDoubleClick = [this] { stringField_.setText(""); };
    listBox_.onDoubleClick = [this] { removeSelectedEntry(); };
    keyMap_.onKeyPicked = [this](const std::string& legend) { pickKey(legend); };
    keyMap_.onKeyActivated = [this](const std::string& legend) { selectEntry(legend); };
    listBox_.onDeleteKey = [this] { removeSelectedEntry(); };

    click(ui_.menu(controls::kOpen), [this] { fileMenu_.open(); });
    click(ui_.menu(controls::kSave), [this] { fileMenu_.save(); });
    click(ui_.menu(controls::kSaveAs), [this] { fileMenu_.saveAs(); });
    click(ui_.menu(controls::kHistory), [this] { showHistory(); });
    click(ui_.menu(controls::kConfiguration), [this] { openSettingsDialog(); });
    click(ui_.menu(controls::kClearAll), [this] { clearAll(); });
    click(ui_.menu(controls::kPrintScreen), [this] { print(); });
    click(ui_.menu(controls::kKeyMap), [this] { keyMap_.show(); });
    click(ui_.menu(controls::kHelpOverview), [this] { helpPane_.show("KORVOverView.htm"); });
    click(ui_.menu(controls::kHelpEnteringKeys), [this] { helpPane_.show("KORVEnterKey.htm"); });
    click(ui_.menu(controls::kHelpCreatingStrings), [this] { helpPane_.show("KORVCreateString.htm"); });
    click(ui_.menu(controls::kHelpVerifying), [this] { helpPane_.show("KORVVerify.htm"); });
    click(ui_.menu(controls::kHelpReading), [this] { helpPane_.show("KORVReadStr.htm"); });
    click(ui_.menu(controls::kCloseHelp), [this] { helpPane_.close(); });
    ui_.window().onResize = [this] { resizeLog(); };
}

void MainWindow::start() {
    try {
        ui_.window().setCaption(mainWindowDesign().caption + " v" + kProgramVersion);
        settingsFile_ = SettingsFile(platform_.env.settingsFileName());
        settings_ = settingsFile_.program([this](const std::string& message) { platform_.dialogs.message(message); });
        applySettings();
    } catch (const std::exception& e) {
        platform_.dialogs.message(std::string("Error detected - ") + e.what());
    }
}

// ---- the editing panel and the list ----

void MainWindow::keyDown(int& keyCode) {
    if (!KeyCapture::isModifier(keyCode)) keyField_.setText(keyCapture_.legendOf(keyCode));
    keyCode = 0;
}

void MainWindow::keyPress(int& charCode) {
    if (charCode == kTabChar) keyField_.setText("TAB");
    charCode = 0;
}

void MainWindow::keyUp(int& keyCode) {
    if (keyCode != kPrintScreenKeyUp) return;
    keyCode = 0;
    keyField_.setText("PRTSCN");
}

// Putting a corrected text back fires this handler again, which checks that text.
void MainWindow::stringChanged() {
    const StringFieldCheck check = checkStringField(stringField_.text());
    stringGroupOpen_ = check.groupOpen;
    if (check.shownCount) stringLength_.setCaption(std::to_string(*check.shownCount));
    if (!check.message.empty()) platform_.dialogs.message(check.message);
    if (check.corrected) stringField_.setText(*check.corrected);
}

void MainWindow::stringKeyPress(int& charCode) {
    if (stringGroupOpen_ && charCode >= 'a' && charCode <= 'z') charCode = charCode - 'a' + 'A';
}

void MainWindow::addToList() {
    switch (keyStrings_.add({keyField_.text(), stringField_.text()})) {
    case KeyStringList::AddResult::NoKey: platform_.dialogs.message("Please enter a keyboard key"); break;
    case KeyStringList::AddResult::AlreadyListed:
        platform_.dialogs.message("Cannot add .. this key is already in the list");
        break;
    case KeyStringList::AddResult::Added: break;
    }
}

void MainWindow::removeSelectedEntry() {
    const int selected = listBox_.selectedIndex();
    if (selected >= 0 && selected < keyStrings_.size()) keyStrings_.remove(selected);
}

void MainWindow::clearAll() {
    keyField_.setText("");
    stringField_.setText("");
    keyStrings_.clear();
    statusLog_.clear();
}

// A key picked on the key map goes into the key field as if it had been pressed there.
void MainWindow::pickKey(const std::string& legend) {
    if (!keyField_.enabled()) return;  // an operation is running
    keyField_.setText(legend);
    stringField_.setFocus();
}

void MainWindow::selectEntry(const std::string& legend) {
    for (int i = keyStrings_.size() - 1; i >= 0; --i)
        if (keyStrings_[i].legend == legend) return listBox_.setSelectedIndex(i);
}

void MainWindow::showListChange(int index, bool added) {
    keyMap_.listChanged();
    if (index < 0) {
        listBox_.clear();
        for (const KeyString& entry : keyStrings_.entries()) listBox_.addItem(entryText(entry));
    } else if (added) {
        listBox_.addItem(entryText(keyStrings_[index]));
        if (listBox_.count() > kListRowsShown) listBox_.setTopIndex(listBox_.count() - kListRowsShown);
    } else {
        listBox_.removeItem(index);
    }
}

// ---- the device operations ----

void MainWindow::setBusy(bool busy) {
    for (const char* name : {controls::kAddToList, controls::kSend, controls::kVerify, controls::kRead, controls::kVersion,
                             controls::kStringField, controls::kKeyField})
        ui_.control(name).setEnabled(!busy);
    setMenusBusy(busy);
}

// Waits keep the window live: while an operation runs, no menu may change the list, the
// settings or the port under it. Help stays.
void MainWindow::setMenusBusy(bool busy) {
    for (const char* name : {controls::kFileMenu, controls::kConfiguration, controls::kClearAll, controls::kPrintScreen})
        ui_.menu(name).setEnabled(!busy);
}

void MainWindow::clearLogIfAsked() {
    if (clearBeforeEach_.checked()) statusLog_.clear();
}

void MainWindow::sendStrings() {
    setBusy(true);
    clearLogIfAsked();
    statusLog_.setTextColor(0x000000);
    if (settings_.backupBeforeSend && !backUpKeyboard()) return setBusy(false);
    const SendResult result = session_.send(keyStrings_);
    if (result.written) recordHistory(HistoryEvent::Sent, keyStrings_.entries());
    keyMap_.showVerify(result.verify);
    setBusy(false);
}

// The keyboard's strings go into the history before a send erases them; without a
// complete copy there, nothing is sent.
bool MainWindow::backUpKeyboard() {
    const ReadResult read = session_.read();
    std::string why = "the keyboard could not be read completely";
    if (read.outcome.ok()) {
        try {
            history_.write(HistoryEvent::Backup, device_, read.customStrings, std::time(nullptr), platform_.env.nowText());
            return true;
        } catch (const std::exception& e) {
            why = std::string("the backup cannot be written (") + e.what() + ")";
        }
    }
    const std::string text = "Nothing was sent: " + why + ". The keyboard still holds its strings.";
    appendStatus(text);
    platform_.dialogs.message(text);
    return false;
}

void MainWindow::recordHistory(HistoryEvent event, const std::vector<KeyString>& entries) {
    const std::string failure = history_.record(event, device_, entries, std::time(nullptr), platform_.env.nowText());
    if (!failure.empty()) appendStatus(failure);
}

void MainWindow::showHistory() {
    HistoryDialog dialog(platform_, history_);
    if (const auto chosen = dialog.run()) fileMenu_.openFile(*chosen);
}

void MainWindow::verifyStrings() {
    setBusy(true);
    clearLogIfAsked();
    keyMap_.showVerify(session_.verify(keyStrings_));
    setBusy(false);
}

void MainWindow::readStrings() {
    setBusy(true);
    clearLogIfAsked();
    ReadResult result = session_.read();
    if (result.outcome.ok())
        recordHistory(HistoryEvent::Read, result.customStrings);
    if (result.hasAnswers()) {
        // The device has answered: its strings replace the list.
        keyStrings_.replace(std::move(result.customStrings));
        keyField_.setText("");
        stringField_.setText("");
    }
    keyMap_.showRead(result);
    setBusy(false);
}

void MainWindow::showVersion() {
    setMenusBusy(true);
    statusLog_.clear();
    session_.version();
    setMenusBusy(false);
}

// ---- settings, printing, the window's size ----

void MainWindow::applySettings() {
    try {
        const SerialSettings& serial = settings_.serial;
        const std::string device = settingsFile_.portDevice(serial.port);
        session_.configure(device, lineSettings(serial));
        device_ = device;
        // What the program will open: "COM9 (ttyUSB0)", and what the system says of it.
        portLabel_.setCaption(portCaption(serial.port, device));
        portLabel_.setToolTip(portDetail(device, platform_.portList.ports()));
        baudLabel_.setCaption(std::to_string(serial.baud));
        if (const std::string parity = parityCaption(serial.parity); !parity.empty()) parityLabel_.setCaption(parity);
    } catch (const std::exception& e) {
        platform_.dialogs.message(std::string("Error setting up comm port - ") + e.what());
    }
}

void MainWindow::openSettingsDialog() {
    SettingsDialog dialog(platform_, settingsFile_, settings_, [this](const ProgramSettings& chosen) {
        settings_ = chosen;
        applySettings();
        keyMap_.forgetDevice();
    });
    if (!dialog.run()) applySettings();  // Find KORVEN7 may have set the port to another device
}

void MainWindow::print() {
    std::vector<std::string> entries, log;
    for (const KeyString& entry : keyStrings_.entries()) entries.push_back(entryText(entry));
    for (int i = 0; i < statusLog_.count(); ++i) log.push_back(statusLog_.item(i));
    printListAndLog(platform_.printer, platform_.dialogs, entries, log);
}

void MainWindow::resizeLog() {
    Rect r = statusLog_.geometry();
    const int width = ui_.window().outerWidth() - r.left - 300;
    if (width < 0) return;  // too narrow: keep the last width
    r.width = width;
    statusLog_.setGeometry(r);
}

// ---- what the session reports ----

void MainWindow::appendStatus(const std::string& line) {
    statusLog_.addItem(line);
    const int lines = statusLog_.count();
    if (lines > kLogRowsShown) statusLog_.setTopIndex(lines - kLogRowsShown);
}

void MainWindow::showPicture(VerdictPicture picture) {
    const char* file = picture == VerdictPicture::Checkmark ? "checkmark.gif" : "question-mark.gif";
    verdictPicture_.load(platform_.env.dataFolder() + "/" + file);
}

void MainWindow::progressShown() {
    progressBar_.setVisible(true);
    progressCaption_.setVisible(true);
    percentLabel_.setVisible(true);
    percentLabel_.setCaption("0%");
    progressBar_.setValue(0);
}

void MainWindow::progress(int value) {
    progressBar_.setValue(value);
    const int max = progressBar_.maximum();
    percentLabel_.setCaption(std::to_string(max > 0 ? value * 100 / max : 0) + "%");
}

void MainWindow::progressHidden() {
    progressBar_.setVisible(false);
    progressCaption_.setVisible(false);
    percentLabel_.setVisible(false);
}

void MainWindow::caption(const std::string& text) {
    verdictCaption_.setCaption(text);
    verdictCaption_.setVisible(true);
    verdictPicture_.setVisible(false);
}

void MainWindow::captionHidden() {
    verdictCaption_.setVisible(false);
    verdictPicture_.setVisible(false);
}

void MainWindow::verdict(const std::string& text, VerdictPicture picture) {
    verdictCaption_.setCaption(text);
    showPicture(picture);
    verdictCaption_.setVisible(true);
    verdictPicture_.setVisible(true);
}

}  // namespace k7
