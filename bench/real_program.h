#pragma once
// The program's main window on real widgets with the Qt event loop and a real serial
// port (COM1 as the settings name it), shown as for a user, the log kept between
// operations. Shared by bench_device and bench_soak.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMainWindow>

#include <string>

#include "qt/qt_platform.h"
#include "support/program.h"

namespace k7::bench {

struct RealProgram {
    explicit RealProgram(const std::string& settings) : program(pump, port, settings) {
        program.qtWindow.qwindow().show();
        QElapsedTimer shown;
        shown.start();
        while (shown.elapsed() < 20) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        checkBox(controls::kClearBeforeEach).setChecked(false);
    }

    QApplication& app = test::TestApp();  // before the port and the widgets
    qt::QtEventPump pump;
    qt::QtSerialPort port;
    test::Program program;

    MainWindow& window() { return *program.window; }
    CheckBox& checkBox(const std::string& name) { return dynamic_cast<CheckBox&>(program.control(name)); }
    ListBox& statusLog() { return dynamic_cast<ListBox&>(program.control(controls::kLog)); }
    bool verified() { return program.caption(controls::kVerdict) == "KORVEN7 strings VERIFIED!"; }
};

}  // namespace k7::bench
