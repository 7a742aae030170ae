#pragma once
// The program's main window on real Qt widgets (offscreen), with message boxes answered
// by a script, a printer that keeps its lines and a program folder of its own. The pump
// and the serial port are the test's: virtual time and the in-process emulator, or the
// real ones against korven7-sim.
#include <QApplication>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/disk_file_store.h"
#include "qt/qt_undo_stack.h"
#include "qt/qt_window.h"
#include "shell/main_window.h"
#include "shell/main_window_design.h"

namespace k7::test {

// One QApplication for the whole test program.
QApplication& TestApp();

// Message boxes and file dialogs answered by the test; every message is recorded.
class ScriptedDialogs : public Dialogs {
public:
    void message(const std::string& text) override { messages.push_back(text); }
    bool confirm(const std::string& text, const std::string&) override;
    SaveChoice askToSave(const std::string& text) override;
    std::optional<std::string> openFileName(const std::string&, const std::string&) override { return next(); }
    std::optional<std::string> saveFileName(const std::string&, const std::string&) override { return next(); }
    void beep() override { ++beeps; }
    std::vector<std::string> messages, questions;
    std::deque<bool> confirmAnswers;
    std::deque<SaveChoice> saveAnswers;
    std::vector<std::string> saveQuestions;  // every question about changes not saved
    std::deque<std::optional<std::string>> fileAnswers;  // nullopt: the user cancels
    int beeps = 0;
private:
    std::optional<std::string> next();
};

class FakePrinter : public Printer {
public:
    bool choose() override { return !cancel; }
    void printLine(const std::string& line) override;
    void endDoc() override { ++documents; }
    bool cancel = false;
    int failAfterLines = -1;  // a printer error after this many lines; -1: never
    std::vector<std::string> lines;
    int documents = 0;
};

// A program folder in a fresh temporary directory with the help pages and pictures.
class TempEnvironment : public Environment {
public:
    TempEnvironment();
    ~TempEnvironment() override;
    std::string programFolder() const override { return folder_; }
    std::string settingsFileName() const override { return path("KORVEN7.ini"); }
    std::string documentsFolder() const override { return folder_; }
    std::string historyFolder() const override { return path("history"); }
    std::string nowText() const override { return "12/6/2026 7:30:00 AM"; }
    std::string path(const std::string& name) const { return folder_ + "/" + name; }
    void write(const std::string& name, const std::string& content) const;
    std::string read(const std::string& name) const;
private:
    std::string folder_;
};

// The system's serial ports, as the test says.
struct FakePortList : PortList {
    std::vector<SerialPortInfo> list;
    std::vector<SerialPortInfo> ports() override { return list; }
};

struct Program {
    // Writes `settings` as KORVEN7.ini (when given), builds the window and starts it.
    Program(EventPump& pump, SerialPort& port, const std::string& settings = "");
    TempEnvironment env;
    ScriptedDialogs dialogs;
    FakePrinter printer;
    DiskFileStore files;
    FakePortList ports;
    qt::QtUndoStack undo;
    qt::QtMainWindow qtWindow;
    Platform platform;
    std::unique_ptr<MainWindow> window;

    template <class T = QWidget>
    T* widget(const std::string& name) { return qobject_cast<T*>(qtWindow.widget(name)); }
    Control& control(const std::string& name) { return qtWindow.control(name); }
    std::string caption(const std::string& label) { return dynamic_cast<Label&>(control(label)).caption(); }
    std::vector<std::string> log();    // the status log's lines
    std::vector<std::string> list();   // the list box's rows
    void click(const std::string& button);
    void menu(const std::string& item) { qtWindow.menu(item).onClick(); }
};

}  // namespace k7::test
