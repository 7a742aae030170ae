#include "shell/main_window.h"

#include <algorithm>
#include <ctime>
#include <utility>

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
constexpr const char* kNotAttachedHint =
    "Check the cable and that the KORVEN7 has power, or the port in Configuration, or use Find KORVEN7 there";
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
      edits_(keyStrings_, platform.undo),
      session_(platform.port, platform.pump, *this),
      history_(platform.files, platform.env.historyFolder()),
      fileMenu_(platform, edits_, ui_.get<Label>(controls::kFile), settingsFile_),
      helpPane_(ui_, platform.env),
      keyMap_(platform, keyStrings_, settingsFile_) {
    progressBar_.setMaximum(100);
    progressBar_.setValue(0);
    keyStrings_.onChanged = [this](int index, bool added) { showListChange(index, added); };

    auto click = [](auto& source, auto handler) { source.onClick = handler; };
    click(ui_.get<Button>(controls::kClearLogNow), [this] { statusLog_.clear(); });
    click(ui_.get<Button>(controls::kAddToList), [this] { addToList(); });
    click(ui_.get<Label>(controls::kClearList), [this] { edits_.change("Clear List", [this] { keyStrings_.clear(); }); });
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
    stringField_.onEnter = [this] { addToList(); };
    listBox_.onDoubleClick = [this] { removeSelectedEntry(); };
    keyMap_.onKeyPicked = [this](const std::string& legend) { pickKey(legend); };
    keyMap_.onKeyActivated = [this](const std::string& legend) { selectEntry(legend); };
    listBox_.onDeleteKey = [this] { removeSelectedEntry(); };

    click(ui_.menu(controls::kOpen), [this] { fileMenu_.open(); });
    click(ui_.menu(controls::kSave), [this] { fileMenu_.save(); });
    click(ui_.menu(controls::kSaveAs), [this] { fileMenu_.saveAs(); });
    click(ui_.menu(controls::kUndo), [this] { edits_.stack().undo(); });
    click(ui_.menu(controls::kRedo), [this] { edits_.stack().redo(); });
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
    ui_.window().onCloseRequest = [this] { return mayClose(); };
    ui_.window().onFileDropped = [this](const std::string& path) {
        if (!menusBusy_) fileMenu_.openFile(path);  // as File → Open, which is off during an operation
    };
    platform.undo.onChanged = [this] { showEditState(); };
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
    fileMenu_.start();
    showEditState();
}

// Closing sets the list aside like opening another file does.
// ---- the editing panel and the list ----

void MainWindow::keyDown(int& keyCode) {
    // A modifier alone keeps the field's text, yet ends a key's run of presses as any key does.
    const std::string legend = keyCapture_.legendOf(keyCode);
    if (!KeyCapture::isModifier(keyCode)) keyChosen(legend);
    keyCode = 0;
}

void MainWindow::keyPress(int& charCode) {
    if (charCode == kTabChar) keyChosen("TAB");
    charCode = 0;
}

void MainWindow::keyUp(int& keyCode) {
    if (keyCode != kPrintScreenKeyUp) return;
    keyCode = 0;
    keyChosen("PRTSCN");
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
    if (stringGroupOpen_) return platform_.dialogs.message(kUnfinishedGroupMessage);
    KeyStringList::AddResult result{};
    edits_.change("Add", [&] { result = keyStrings_.add({keyField_.text(), stringField_.text()}); });
    switch (result) {
    case KeyStringList::AddResult::NoKey: platform_.dialogs.message("Please enter a keyboard key"); break;
    case KeyStringList::AddResult::AlreadyListed:
        platform_.dialogs.message("Cannot add .. this key is already in the list");
        break;
    case KeyStringList::AddResult::Added: break;
    }
}

void MainWindow::removeSelectedEntry() {
    const int selected = listBox_.selectedIndex();
    if (selected >= 0 && selected < keyStrings_.size())
        edits_.change("Remove", [&] { keyStrings_.remove(selected); });
}

void MainWindow::clearAll() {
    keyField_.setText("");
    stringField_.setText("");
    edits_.change("Clear All", [this] { keyStrings_.clear(); });
    statusLog_.clear();
}

// The caption's mark of changes not saved, and Undo and Redo when there is something to
// undo or redo and no operation runs.
void MainWindow::showEditState() {
    ui_.window().setModified(edits_.unsaved());
    ui_.menu(controls::kUndo).setEnabled(!menusBusy_ && edits_.stack().canUndo());
    ui_.menu(controls::kRedo).setEnabled(!menusBusy_ && edits_.stack().canRedo());
}

// A key picked on the key map goes into the key field as if it had been pressed there.
void MainWindow::pickKey(const std::string& legend) {
    if (!keyField_.enabled()) return;  // an operation is running
    keyChosen(legend);
    stringField_.setFocus();
}

// A chosen key starts a fresh string: the key's listed string (the later entry, as a send
// takes it), or the text there, selected so that typing replaces it.
void MainWindow::keyChosen(const std::string& legend) {
    keyField_.setText(legend);
    for (const KeyString& entry : keyStrings_.entries())
        if (entry.legend == legend) stringField_.setText(entry.notation);
    stringField_.selectAll();
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
    menusBusy_ = busy;
    for (const char* name : {controls::kFileMenu, controls::kEditMenu, controls::kConfiguration, controls::kClearAll,
                             controls::kPrintScreen})
        ui_.menu(name).setEnabled(!busy);
    showEditState();
}

void MainWindow::operationStarted(Operation operation) {
    running_ = operation;
    verdictShown_ = false;
    notAttached_ = false;
    progressPass_ = -1;
}

// An ended operation leaves its verdict and its log on screen, not its running caption or
// its progress. A close asked for while it ran happens now.
void MainWindow::operationEnded() {
    running_ = Operation::None;
    progressHidden();
    if (!verdictShown_) captionHidden();
    if (notAttached_) appendStatus(kNotAttachedHint);
    if (std::exchange(closeWhenEnded_, false)) ui_.window().close();
}

// Closing while an operation runs would let it go on unseen, and a user who sees the window
// gone may unplug the keyboard: the user is asked, and the window closes once it has ended.
// At rest, a list with changes not saved is the question.
bool MainWindow::mayClose() {
    if (running_ == Operation::None) return fileMenu_.maySetAside("closing");
    if (closeWhenEnded_) return false;  // asked already
    std::string question = "An operation with the KORVEN7 is running. Close the window once it has ended?";
    if (running_ == Operation::Send) {
        question = "A send to the KORVEN7 is running. Stop it and close the window once it has stopped?";
        if (session_.eraseSent()) question += "\nIts strings are erased already: the keyboard will need a new send.";
    }
    if (!platform_.dialogs.confirm(question, "Close")) return false;
    closeWhenEnded_ = true;
    session_.requestAbort();
    appendStatus("The window closes once the operation has ended");
    return false;
}

void MainWindow::clearLogIfAsked() {
    if (clearBeforeEach_.checked()) statusLog_.clear();
}

void MainWindow::sendStrings() {
    // The list stays editable while the send runs: what is sent, verified and kept in
    // the history is the list as it stood when Send was pressed.
    KeyStringList sent;
    sent.replace(keyStrings_.entries());
    setBusy(true);
    operationStarted(Operation::Send);
    clearLogIfAsked();
    statusLog_.setTextColor(0x000000);
    if (settings_.backupBeforeSend && !backUpKeyboard()) {
        setBusy(false);
        operationEnded();
        return;
    }
    const SendResult result = session_.send(sent);
    if (result.written) recordHistory(HistoryEvent::Sent, sent.entries());
    keyMap_.showVerify(result.verify);
    setBusy(false);
    operationEnded();
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
    operationStarted(Operation::Verify);
    clearLogIfAsked();
    KeyStringList expected;  // as for a send
    expected.replace(keyStrings_.entries());
    const VerifyResult result = session_.verify(expected);
    keyMap_.showVerify(result);
    setBusy(false);
    operationEnded();
}

// The question about changes comes before the read, not after its seconds of waiting.
void MainWindow::readStrings() {
    if (!fileMenu_.maySetAside("reading the KORVEN7's strings")) return;
    setBusy(true);
    operationStarted(Operation::Read);
    clearLogIfAsked();
    ReadResult result = session_.read();
    if (result.outcome.ok())
        recordHistory(HistoryEvent::Read, result.customStrings);
    if (result.hasAnswers()) {
        // The device has answered: its strings replace the list, which is then as the device has it.
        edits_.change("Read", [&] { keyStrings_.replace(std::move(result.customStrings)); });
        edits_.markSaved();
        keyField_.setText("");
        stringField_.setText("");
    }
    keyMap_.showRead(result);
    setBusy(false);
    operationEnded();
}

void MainWindow::showVersion() {
    setMenusBusy(true);
    operationStarted(Operation::Version);
    statusLog_.clear();
    session_.version();
    setMenusBusy(false);
    operationEnded();
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
    const PrintTitle title{ui_.window().caption(), platform_.env.nowText(),
                           fileMenu_.fileName().empty() ? "None" : fileMenu_.fileName(),
                           portLabel_.caption() + ", " + baudLabel_.caption() + " baud, " + parityLabel_.caption()};
    if (printListAndLog(platform_.printer, platform_.dialogs, title, entries, log))
        appendStatus("Print Screen: sent to the printer");
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

// The passes of one operation share the bar: a send's verify goes on where its writing
// ended, so one send fills the bar once.
int MainWindow::progressPasses() const { return running_ == Operation::Send ? 2 : 1; }

void MainWindow::progressShown() {
    if (++progressPass_ > 0) return;
    progressBar_.setVisible(true);
    progressCaption_.setVisible(true);
    percentLabel_.setVisible(true);
    percentLabel_.setCaption("0%");
    progressBar_.setValue(0);
}

void MainWindow::progressMaximum(int maximum) {
    passMaximum_ = maximum;
    progressBar_.setMaximum(maximum * progressPasses());
}

void MainWindow::progress(int value) {
    value += std::min(progressPass_, progressPasses() - 1) * passMaximum_;
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

void MainWindow::alert() {
    notAttached_ = true;
    platform_.dialogs.beep();
}

void MainWindow::verdict(const std::string& text, VerdictPicture picture) {
    verdictShown_ = true;
    verdictCaption_.setCaption(text);
    showPicture(picture);
    verdictCaption_.setVisible(true);
    verdictPicture_.setVisible(true);
}

}  // namespace k7
