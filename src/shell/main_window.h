#pragma once
// The main window: builds nothing itself (the platform made the controls from the
// design), wires the controls' events to the key-string list and the device session,
// shows what the session reports, and keeps the screen's states.
#include <string>

#include "cfgfile/keyboard_history.h"
#include "device/device_session.h"
#include "keystrings/key_capture.h"
#include "keystrings/key_string_list.h"
#include "settings/serial_settings.h"
#include "shell/file_menu.h"
#include "shell/help_pane.h"
#include "shell/key_map_window.h"
#include "shell/list_edits.h"
#include "program_version.h"
#include "ui/platform.h"

namespace k7 {

class MainWindow : private SessionObserver {
public:
    explicit MainWindow(Platform& platform);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Start-up: the caption, the settings, the port and the recent files. The caller shows
    // the window after.
    void start();
    // Opens a .cfg file, asking first when the list has changes not saved.
    void openFile(const std::string& path) { fileMenu_.openFile(path); }

    KeyStringList& keyStrings() { return keyStrings_; }
    DeviceSession& session() { return session_; }
    const ProgramSettings& settings() const { return settings_; }

private:
    // The editing panel and the list.
    void keyDown(int& keyCode);
    void keyPress(int& charCode);
    void keyUp(int& keyCode);
    void stringChanged();
    void stringKeyPress(int& charCode);
    void addToList();
    void removeSelectedEntry();
    void clearAll();
    void showEditState();
    void showListChange(int index, bool added);
    void pickKey(const std::string& legend);
    void keyChosen(const std::string& legend);
    void selectEntry(const std::string& legend);

    // The device operations.
    void sendStrings();
    void verifyStrings();
    void readStrings();
    void showVersion();
    bool backUpKeyboard();  // false after saying why: the send must not go on
    void recordHistory(HistoryEvent event, const std::vector<KeyString>& entries);
    void showHistory();
    void setBusy(bool busy);
    void setMenusBusy(bool busy);
    void clearLogIfAsked();
    enum class Operation { None, Send, Read, Verify, Version };
    void operationStarted(Operation operation);
    void operationEnded();
    bool mayClose();

    // Settings, printing, the window's size.
    void applySettings();
    void openSettingsDialog();
    void print();
    void resizeLog();

    void appendStatus(const std::string& line);
    void showPicture(VerdictPicture picture);

    // SessionObserver
    void statusLine(const std::string& line) override { appendStatus(line); }
    void progressShown() override;
    void progressMaximum(int maximum) override;
    int progressPasses() const;
    void progress(int value) override;
    void progressHidden() override;
    void caption(const std::string& text) override;
    void captionHidden() override;
    void verdict(const std::string& text, VerdictPicture picture) override;
    void failure(const std::string& message) override { platform_.dialogs.message(message); }
    void alert() override;

    Platform& platform_;
    ControlSet& ui_;
    CheckBox& clearBeforeEach_;
    ListBox& statusLog_;
    TextBox& keyField_;
    TextBox& stringField_;
    Label& stringLength_;
    ListBox& listBox_;
    Picture& verdictPicture_;
    Label& verdictCaption_;
    Label& portLabel_;
    Label& baudLabel_;
    Label& parityLabel_;
    ProgressBar& progressBar_;
    Label& progressCaption_;
    Label& percentLabel_;

    KeyStringList keyStrings_;
    ListEdits edits_;
    bool menusBusy_ = false;
    KeyCapture keyCapture_;
    bool stringGroupOpen_ = false;  // the string field's text ends inside a "{" group
    // The device operation running: its progress passes share one bar (a send writes,
    // then verifies), and a close asked for meanwhile waits for its end.
    Operation running_ = Operation::None;
    bool closeWhenEnded_ = false;
    bool verdictShown_ = false;
    bool notAttached_ = false;  // the device did not answer the probe
    int progressPass_ = -1;  // the pass under way, from 0; -1 before the first
    int passMaximum_ = 0;
    SettingsFile settingsFile_;  // read at the start
    ProgramSettings settings_;
    std::string device_;  // the device the operations open
    DeviceSession session_;
    KeyboardHistory history_;
    FileMenu fileMenu_;
    HelpPane helpPane_;
    KeyMapWindow keyMap_;
};

}  // namespace k7
