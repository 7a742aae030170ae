#pragma once
// The real program on the Qt platform, for tests that drive real widgets offscreen.
#include <QApplication>
#include <QWidget>
#include <memory>

#include "platform/qt/qt_platform.h"
#include "shell/form1.h"
#include "support/fake_platform.h"

namespace k7::test {

// One QApplication for the whole test program.
QApplication& TestApp();

// Form1 on real widgets, a real event loop and a real serial port, with message boxes
// answered by a script and a program folder of its own.
struct QtRig {
    // `printer`, when given, replaces the real printer (a PDF printer, for example).
    explicit QtRig(const std::string& settings = "", Printer* printer = nullptr);
    ~QtRig();
    TempEnvironment env;
    ScriptedDialogs dialogs;
    std::unique_ptr<qt::QtPlatform> real;
    std::unique_ptr<Form1> form;
    QWidget* widget(const std::string& name) { return real->mainWindow().widget(name); }
    // Processes events for a while of real time.
    static void Pump(int ms);
};

}  // namespace k7::test
