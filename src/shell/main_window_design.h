#pragma once
// The windows as designed: controls, captions, tooltips, positions in twips. Each control
// or menu item that the program or its tests look up has its name here, once; the name is
// also the widget's object name.
#include "ui/window_design.h"

namespace k7 {

const FormDesign& mainWindowDesign();
const FormDesign& settingsDialogDesign();
const FormDesign& historyDialogDesign();

// The main window.
namespace controls {
inline constexpr char kClearBeforeEach[] = "clrstat";
inline constexpr char kClearLogNow[] = "ClearDetails";
inline constexpr char kLogCaption[] = "Label5";
inline constexpr char kLog[] = "StatusBox";
inline constexpr char kCloseHelpButton[] = "Hclose";
inline constexpr char kHelpView[] = "WebBrowser1";
inline constexpr char kCustomFrame[] = "CustomFrame";
inline constexpr char kKeyFieldCaption[] = "Label2";
inline constexpr char kStringFieldCaption[] = "Label4";
inline constexpr char kLengthCaption[] = "Label6";
inline constexpr char kStringLength[] = "StringCount";
inline constexpr char kKeyField[] = "KbdKey";
inline constexpr char kStringField[] = "KeyString";
inline constexpr char kAddToList[] = "AddToList";
inline constexpr char kClearList[] = "Label12";
inline constexpr char kList[] = "List1";
inline constexpr char kSend[] = "SendKeys";
inline constexpr char kVerify[] = "VerifyBtn";
inline constexpr char kRead[] = "ReadKeys";
inline constexpr char kVersion[] = "GetVersionBtn";
inline constexpr char kAbort[] = "AbortBrn";
inline constexpr char kVerdictPicture[] = "MatchImage";
inline constexpr char kVerdict[] = "MatchString";
inline constexpr char kSettingsFrame[] = "Frame1";
inline constexpr char kPortCaption[] = "Label9";
inline constexpr char kPort[] = "CommLabel";
inline constexpr char kBaudCaption[] = "Label7";
inline constexpr char kBaud[] = "BaudLabel";
inline constexpr char kParityCaption[] = "Label8";
inline constexpr char kParity[] = "ParityLabel";
inline constexpr char kFileCaption[] = "Label11";
inline constexpr char kFile[] = "CfgLabel";
inline constexpr char kProgress[] = "ProgressBar1";
inline constexpr char kProgressCaption[] = "ProgressLabel";
inline constexpr char kPercent[] = "PercentLabel";

// Its menus and their items.
inline constexpr char kFileMenu[] = "File";
inline constexpr char kOpen[] = "FOpen";
inline constexpr char kOpenRecent[] = "Recent";
inline constexpr const char* kRecentFiles[] = {"Recent1", "Recent2", "Recent3", "Recent4", "Recent5"};
inline constexpr char kSave[] = "FSave";
inline constexpr char kSaveAs[] = "SaveAs";
inline constexpr char kEditMenu[] = "Edit";
inline constexpr char kUndo[] = "Undo";
inline constexpr char kRedo[] = "Redo";
inline constexpr char kHistory[] = "FHistory";
inline constexpr char kConfiguration[] = "Config";
inline constexpr char kClearAll[] = "ClearAll";
inline constexpr char kPrintScreen[] = "prscr";
inline constexpr char kKeyMap[] = "KeyMap";
inline constexpr char kHelpMenu[] = "Help";
inline constexpr char kHelpOverview[] = "OverView";
inline constexpr char kHelpEnteringKeys[] = "EnterKey";
inline constexpr char kHelpCreatingStrings[] = "CreateString";
inline constexpr char kHelpVerifying[] = "VerifyOp";
inline constexpr char kHelpReading[] = "Misc";
inline constexpr char kCloseHelp[] = "CloseHelp";

// The Configuration dialog.
namespace config {
inline constexpr char kPortCaption[] = "Label1";
inline constexpr char kPorts[] = "cboPort";
inline constexpr char kBaudCaption[] = "Label3";
inline constexpr char kBauds[] = "cboBaud";
inline constexpr char kParityCaption[] = "Label4";
inline constexpr char kParities[] = "cboParity";
inline constexpr char kPortDetail[] = "PortDetail";
inline constexpr char kFind[] = "FindBtn";
inline constexpr char kFindProgress[] = "FindProgress";
inline constexpr char kFindStatus[] = "FindStatus";
inline constexpr char kSave[] = "ConfigSave";
inline constexpr char kClose[] = "ConfigAbort";
inline constexpr char kBackupFirst[] = "BackupFirst";
}  // namespace config

// The History dialog.
namespace history {
inline constexpr char kCaption[] = "Label1";
inline constexpr char kList[] = "HistoryList";
inline constexpr char kFolder[] = "HistoryFolder";
inline constexpr char kOpen[] = "HistoryOpen";
inline constexpr char kClose[] = "HistoryClose";
}  // namespace history
}  // namespace controls

}  // namespace k7
