#pragma once
// The main window on real widgets, on virtual time against the in-process emulator.
#include <QDialog>
#include <QListWidget>
#include <functional>
#include <string>

#include "shell/main_window_design.h"
#include "support/fake_port.h"
#include "support/program.h"

namespace k7::test {

struct Rig {
    explicit Rig(const std::string& settings = "") : program(pump, port, settings) {}
    VirtualClock clock;
    FakePump pump{clock};
    FakeSerialPort port{clock, pump};
    Korven7Emulator device;
    bool attached = (port.attach(&device), true);
    Program program;
    MainWindow& window() { return *program.window; }
};

// Runs `steps` in the settings dialog once the menu has opened it.
void InSettingsDialog(Rig& rig, const std::function<void(QDialog&)>& steps);
// Runs `steps` in the History dialog once File → History has opened it.
void InHistoryDialog(Rig& rig, const std::function<void(QDialog&, QListWidget&)>& steps);

}  // namespace k7::test
