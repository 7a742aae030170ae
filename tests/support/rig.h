#pragma once
// The whole program on fakes: Form1 with fake controls, the in-process emulator on
// the serial line, scripted dialogs and virtual time.
#include <memory>

#include "emulator/korven7_emulator.h"
#include "platform/disk_file_store.h"
#include "shell/form1.h"
#include "shell/form1_design.h"
#include "support/fake_controls.h"
#include "support/fake_platform.h"
#include "support/virtual_time.h"

namespace k7::test {

struct Rig {
    // Builds and loads Form1; `settings`, when given, is written as KORVEN7.ini first.
    explicit Rig(const std::string& settings = "");

    VirtualClock clock;
    FakePump pump{clock};
    TempEnvironment env;
    FakeControlSet ui{Form1Design(), clock, pump};
    FakeSerialPort port{clock};
    ScriptedDialogs dialogs;
    FakePrinter printer;
    FailingDiskFileStore files;
    Korven7Emulator device;
    // The user of the settings dialog; runs when the dialog is shown.
    std::function<void(FakeDialogWindow&)> dialogUser;
    Platform platform;
    std::unique_ptr<Form1> form;

    // Shortcuts to the fakes by design name.
    FakeButton& button(const std::string& n) { return ui.fake<FakeButton>(n); }
    FakeLabel& label(const std::string& n) { return ui.fake<FakeLabel>(n); }
    FakeTextBox& textBox(const std::string& n) { return ui.fake<FakeTextBox>(n); }
    FakeListBox& listBox(const std::string& n) { return ui.fake<FakeListBox>(n); }
    FakeMenuItem& menu(const std::string& n) { return ui.fakeMenu(n); }
    FakePicture& picture() { return ui.fake<FakePicture>("MatchImage"); }
    FakeProgressBar& progress() { return ui.fake<FakeProgressBar>("ProgressBar1"); }
    const std::vector<std::string>& log() { return listBox("StatusBox").items(); }
    const std::vector<std::string>& list() { return listBox("List1").items(); }
    // Puts the entry into the key-string list directly.
    void addEntry(const std::string& legend, const std::string& notation) {
        listBox("List1").addItem(legend + "\t" + notation);
    }
};

}  // namespace k7::test
