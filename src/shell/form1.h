#pragma once
// The main window: owner of the program's state for the whole run, and home of every
// control's event handler. The handlers live beside their concern:
//   shell/form1.cpp            start-up, status log, buttons, progress, resize
//   keystrings/key_capture.cpp key field, string field, the key-string list
//   keystrings/check_key_string.cpp  the live check of the string field
//   cfgfile/cfg_menu.cpp       File menu: Open, Save, Save As
//   device/link.cpp            GetACK, Delay, GetCodeVersion, CheckAttachment
//   device/*.cpp               send, read, verify, version query
//   shell/config_dialog.cpp    the communication-settings dialog
//   shell/help_print.cpp       help pane and printing
#include <cstdint>
#include <exception>
#include <string>

#include "keystrings/key_table.h"
#include "platform/platform.h"

namespace k7 {

inline constexpr const char* kProgramVersion = "1.05";

class Form1 {
public:
    explicit Form1(Platform& platform);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Start-up: settings, port set-up, key table. The caller shows the window after.
    void Form_Load();

    // ---- global settings and state ----
    std::string CfgFileName;
    std::int16_t PortNumber = 1;
    std::string BaudSetting = "9600";
    std::string ParitySetting = "N";
    std::int16_t EnableStrings = 0;

    KeyTableArray KeyTable{};
    KeyTableArray ReadbackTable{};
    KeyLegendState LegendState;
    std::int16_t BraceState = 0;
    std::int16_t AbortFlag = 0;      // 0 or -1
    std::int16_t ResponseTicks = 0;

    // ---- platform ----
    Platform& platform;
    ControlSet& ui;
    EventPump& pump;
    Dialogs& dialogs;
    SerialPort& MSComm1;

    // ---- controls ----
    Label& Label1;
    Label& Label10;
    CheckBox& clrstat;
    Button& ClearDetails;
    Label& Label5;
    ListBox& StatusBox;
    Button& Hclose;
    HtmlView& WebBrowser1;
    Control& CustomFrame;
    Label& Label2;
    Label& Label4;
    Label& Label6;
    Label& StringCount;
    TextBox& KbdKey;
    TextBox& KeyString;
    Button& AddToList;
    Label& Label3;
    Label& Label12;
    ListBox& List1;
    Button& SendKeys;
    Button& VerifyBtn;
    Button& ReadKeys;
    Button& GetVersionBtn;
    Button& AbortBrn;
    Picture& MatchImage;
    Label& MatchString;
    Control& Frame1;
    Label& CommLabel;
    Label& BaudLabel;
    Label& ParityLabel;
    Label& CfgLabel;
    ProgressBar& ProgressBar1;
    Label& ProgressLabel;
    Label& PercentLabel;
    Timer& DelayTimer;
    Timer& ResponseTimer;

    // ---- shared services (shell/form1.cpp) ----
    void Add2Status(const std::string& text);
    void EnableButtons(bool enab);
    void ClearDetails_Click();
    void Form_Resize();
    // Shows the progress display at 0 ("0%").
    void ShowProgress();
    void HideProgress();
    // Sets the bar's value and the percentage text value*100/maximum.
    void SetProgress(int value);
    // Loads a picture from the program's folder into MatchImage; a missing file shows none.
    void LoadMatchPicture(const std::string& fileName);
    // Program folder followed by a file name ("/KORVEN7.ini" style joining).
    std::string ProgramFile(const std::string& fileName) const;

    // ---- settings (settings/) ----
    void ReadSettings();
    void SetupCommPort();

    // ---- key capture and the list (keystrings/) ----
    void KbdKey_GotFocus();
    void KbdKey_KeyDown(int& keyCode);
    void KbdKey_KeyPress(int& charCode);
    void KbdKey_KeyUp(int& keyCode);
    void KeyString_Change();
    void KeyString_KeyPress(int& charCode);
    void KeyString_DblClick();
    void AddToList_Click();
    void List1_DblClick();
    void Label12_Click();
    void ClearAll_Click();
    void CheckKeyString();
    // ASCIIit with its own error message; processes pending events after each character.
    std::string ASCIIit(const std::string& s, int n);

    // ---- configuration files (cfgfile/) ----
    void FOpen_Click();
    void FSave_Click();
    void SaveAs_Click();

    // ---- serial link and device operations (device/) ----
    std::string GetACK(int ms);
    // GetACK in two halves, so that work done between them counts into the wait.
    void StartACK(int ms);
    std::string FinishACK(int ms);
    void Delay(int iMS);
    // Delay in two halves, so that work done between them counts into the wait.
    void StartDelay(int iMS);
    void FinishDelay();
    std::string GetCodeVersion();
    bool CheckAttachment();
    void AbortBrn_Click();
    void ResponseTimer_Timer();
    void DelayTimer_Timer();
    void ApplyListToKeyTable();
    void SendKeys_Click();
    void ReadKeys_Click();
    void VerifyBtn_Click();
    void GetVersionBtn_Click();
    void ShowCodeVersion();
    // Fills the ReadbackTable row named by one 51-character read-back reply.
    void ParseReadBackKey(const std::string& sresp);
    // Asks the device for rows 0-95, then closes the port and waits settleMs.
    void ReadBackPass(int settleMs);
    // The start read and verify share: buttons off, the log's first line, the progress
    // display and the attachment probe. False (buttons back on) when nothing answers.
    bool BeginReadBack();
    // Their end: the verdict picture, the verdict shown, buttons on, port closed.
    void EndReadBack(const std::string& picture);
    // The error handler of the read and the verify.
    void ReportOverridesError(const std::exception& e);

    // ---- settings dialog, help and printing (shell/) ----
    void Config_Click();
    void ShowHelpPane();
    void ShowHelpPage(const std::string& page);
    void CloseHelp_Click();
    void prscr_Click();

private:
    void WireEvents();
};

}  // namespace k7
