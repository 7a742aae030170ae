#pragma once
// The communication-settings dialog: port, baud rate and parity. Built afresh each
// time the user opens it from the Configuration menu, discarded when it closes.
#include <memory>

#include "platform/platform.h"

namespace k7 {

class Form1;

class ConfigurationDialog {
public:
    ConfigurationDialog(Form1& form, std::unique_ptr<DialogWindow> window);
    ConfigurationDialog(const ConfigurationDialog&) = delete;
    ConfigurationDialog& operator=(const ConfigurationDialog&) = delete;

    // Fills the three lists and selects the current settings.
    void Form_Load();
    // Modal; returns once the dialog has closed.
    void Show();

    void ConfigSave_Click();
    void ConfigAbort_Click();
    void SettingsTimer_Timer();

private:
    Form1& form_;
    std::unique_ptr<DialogWindow> window_;
    ComboBox& cboPort;
    ComboBox& cboBaud;
    ComboBox& cboParity;
    Timer& SettingsTimer;
};

// The baud text of the list as digits: "19.2k" gives "19200", "9600" stays "9600".
std::string BaudDigits(const std::string& listText);

}  // namespace k7
