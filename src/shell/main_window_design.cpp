#include "shell/main_window_design.h"

namespace k7 {
namespace {

using K = ControlKind;

ControlDesign make(const char* name, K kind, const char* container, Rect pos, const char* caption = "",
                 const char* tooltip = "") {
    ControlDesign c;
    c.name = name;
    c.kind = kind;
    c.container = container;
    c.position = pos;
    c.caption = caption;
    c.tooltip = tooltip;
    return c;
}

using Pairs = std::initializer_list<std::pair<const char*, const char*>>;

// Controls without a caption of their own are named by the label beside them; a label that
// shows a value (its name is its text) is related to the label that says what it is.
void labelControls(FormDesign& f, Pairs controlAndLabel) {
    for (const auto& [control, label] : controlAndLabel)
        for (auto& c : f.controls)
            if (c.name == control) c.labelledBy = label;
}

// Controls that no label names.
void nameControls(FormDesign& f, Pairs controlAndName) {
    for (const auto& [control, name] : controlAndName)
        for (auto& c : f.controls)
            if (c.name == control) c.accessibleName = name;
}

ControlDesign& bold(ControlDesign& c) { c.bold = true; return c; }
ControlDesign& centred(ControlDesign& c) { c.centred = true; return c; }
ControlDesign& hidden(ControlDesign& c) { c.visible = false; return c; }

FormDesign buildMainWindow() {
    using namespace controls;
    FormDesign f;
    f.name = "MainWindow";
    f.caption = "KORVEN7 CONFIG";
    f.clientWidth = 11205;
    f.clientHeight = 7875;

    f.add(make("Label1", K::Label, "", {2400, 360, 6015, 375}, "KORVEN7 KEY-STRING CONFIGURATION")).fontPoints = 13.5;
    {
        auto& logo = f.add(make("Label10", K::Label, "", {4560, 0, 1575, 375}, "Quimbrell"));
        logo.fontPoints = 14.25;
        logo.fontFamily = "Comic Sans MS";
    }
    f.add(make(kClearBeforeEach, K::CheckBox, "", {8040, 720, 1815, 495}, "Clear Details before each operation")).checked = true;
    f.add(make(kClearLogNow, K::Button, "", {9960, 840, 975, 375}, "Clear Now"));
    f.add(make(kLogCaption, K::Label, "", {5400, 960, 2175, 255}, "Communication Details"));
    // Just below the check box, Clear Now and its label, so that none covers its border.
    f.add(make(kLog, K::ListBox, "", {5400, 1230, 5655, 5100})).logOnly = true;
    hidden(f.add(make(kCloseHelpButton, K::Button, "", {9840, 1680, 1095, 375}, "Close Help")));
    hidden(f.add(make(kHelpView, K::HtmlView, "", {150, 1500, 10905, 5375})));
    bold(f.add(make(kCustomFrame, K::Frame, "", {120, 960, 5175, 5895}, "Custom Key Strings")));
    centred(f.add(make(kKeyFieldCaption, K::Label, kCustomFrame, {120, 480, 975, 495}, "Keyboard Key")));
    centred(f.add(make(kStringFieldCaption, K::Label, kCustomFrame, {1440, 480, 1815, 495}, "KORVEN7 RS232 Key Output String")));
    f.add(make(kLengthCaption, K::Label, kCustomFrame, {3480, 600, 1215, 375}, "String Length"));
    {
        auto& count = centred(f.add(make(kStringLength, K::Label, kCustomFrame, {4680, 600, 375, 330}, "0",
                                       "16 characters maximum")));
        count.bordered = true;
    }
    f.add(make(kKeyField, K::TextBox, kCustomFrame, {120, 960, 1095, 330}, "", "press keyboard key")).capturesKeys = true;
    f.add(make(kStringField, K::TextBox, kCustomFrame, {1200, 960, 3855, 330}, "",
             "ASCII characters, or binary chars in { }, dbl-click to clear"));
    f.add(make(kAddToList, K::Button, kCustomFrame, {2640, 1440, 1215, 375}, "Add To List"));
    f.add(make("Label3", K::Label, kCustomFrame, {120, 1680, 1815, 255}, "(double click to remove)"));
    f.add(make(kClearList, K::Label, kCustomFrame, {4200, 1680, 735, 255}, "(clear list)")).clickable = true;
    f.add(make(kList, K::ListBox, kCustomFrame, {120, 1920, 4935, 2400}));
    f.add(make(kSend, K::Button, kCustomFrame, {120, 4440, 1455, 615}, "Send Strings To KORVEN7",
             "Send all output strings to KORVEN7"));
    f.add(make(kVerify, K::Button, kCustomFrame, {1680, 4440, 1575, 615}, "Verify Strings in KORVEN7",
             "Verify that KORVEN7 values match those on-screen"));
    f.add(make(kRead, K::Button, kCustomFrame, {3360, 4440, 1695, 615}, "Read Strings From KORVEN7",
             "Read KORVEN7 key outputs and write to screen"));
    f.add(make(kVersion, K::Button, kCustomFrame, {1680, 5160, 1575, 615}, "Get KORVEN7 Code Version",
             "Get Code Version of connected device"));
    hidden(f.add(make(kAbort, K::Button, kCustomFrame, {3960, 5280, 1095, 495}, "Abort")));
    hidden(f.add(make(kVerdictPicture, K::Picture, "", {5520, 6480, 495, 495})));
    hidden(bold(f.add(make(kVerdict, K::Label, "", {6120, 6600, 4095, 255}, "KORVEN7 strings validated"))));
    bold(f.add(make(kSettingsFrame, K::Frame, "", {120, 6960, 5535, 615}, "Settings"))).flat = true;
    bold(f.add(make(kPortCaption, K::Label, kSettingsFrame, {120, 0, 615, 255}, "PORT:")));
    // The port's caption may name its device, "COM10 (ttyUSB0)": it has the most room.
    f.add(make(kPort, K::Label, kSettingsFrame, {720, 0, 1665, 255}, "COM2"));
    bold(f.add(make(kBaudCaption, K::Label, kSettingsFrame, {2430, 0, 1080, 255}, "BAUD RATE:")));
    f.add(make(kBaud, K::Label, kSettingsFrame, {3600, 0, 510, 255}, "9600"));
    bold(f.add(make(kParityCaption, K::Label, kSettingsFrame, {4140, 0, 765, 255}, "PARITY:")));
    f.add(make(kParity, K::Label, kSettingsFrame, {4920, 0, 600, 255}, "NONE"));
    bold(f.add(make(kFileCaption, K::Label, kSettingsFrame, {120, 240, 1575, 255}, "CONFIG FILE:")));
    f.add(make(kFile, K::Label, kSettingsFrame, {1560, 240, 4455, 375}, "None"));
    f.add(make(kProgress, K::ProgressBar, "", {6240, 7080, 3855, 255}));
    hidden(f.add(make(kProgressCaption, K::Label, "", {7320, 7440, 855, 255}, "Progress")));
    hidden(f.add(make(kPercent, K::Label, "", {10320, 7200, 495, 255}, "pcnt")));

    f.menus = {
        {kFileMenu, "File", "", 'F'},
        {kOpen, "Open", kFileMenu, 'O'},
        {kOpenRecent, "Open Recent", kFileMenu, 'R'},
        {kRecentFiles[0], "1", kOpenRecent, '1'},
        {kRecentFiles[1], "2", kOpenRecent, '2'},
        {kRecentFiles[2], "3", kOpenRecent, '3'},
        {kRecentFiles[3], "4", kOpenRecent, '4'},
        {kRecentFiles[4], "5", kOpenRecent, '5'},
        {kSave, "Save", kFileMenu, 'S'},
        {kSaveAs, "Save As", kFileMenu, 'A'},
        {kHistory, "History", kFileMenu, 'H'},
        {kEditMenu, "Edit", "", 'E'},
        {kUndo, "Undo", kEditMenu, 'U', {"Ctrl+Z"}},
        {kRedo, "Redo", kEditMenu, 'R', {"Ctrl+Shift+Z", "Ctrl+Y"}},
        {kConfiguration, "Configuration", "", 'C'},
        {kClearAll, "Clear All", "", 'A'},
        {kPrintScreen, "Print Screen", "", 'P'},
        {kKeyMap, "Key Map", "", 'K'},
        {kHelpMenu, "Help", "", 'H'},
        {kHelpOverview, "OverView", kHelpMenu, 'O'},
        {kHelpEnteringKeys, "Entering Keyboard Keys", kHelpMenu, 'E'},
        {kHelpCreatingStrings, "Creating Output Strings", kHelpMenu, 'C'},
        {kHelpVerifying, "Verifying Operation", kHelpMenu, 'V'},
        {kHelpReading, "Reading Strings", kHelpMenu, 'R'},
        {kCloseHelp, "Close", kHelpMenu, 'l'},
    };
    labelControls(f, {{kLog, kLogCaption}, {kKeyField, kKeyFieldCaption}, {kStringField, kStringFieldCaption},
                      {kStringLength, kLengthCaption}, {kPort, kPortCaption}, {kBaud, kBaudCaption},
                      {kParity, kParityCaption}, {kFile, kFileCaption}, {kPercent, kProgressCaption}});
    nameControls(f, {{kHelpView, "Help page"}, {kList, "Custom Key Strings"}, {kVerdictPicture, "Result picture"},
                     {kProgress, "Progress"}});
    // Tab reads the window column by column: from the key field through the editing panel,
    // then the log with the controls above it, the help pane when it is shown, and round again.
    f.firstFocus = kKeyField;
    return f;
}

FormDesign buildSettingsDialog() {
    using namespace controls::config;
    FormDesign f;
    f.name = "Configuration";
    f.caption = "Configuration";
    f.clientWidth = 7320;
    f.clientHeight = 4680;
    f.backgroundRgb = 0xFFEEFF;

    auto& title = bold(f.add(make("Label2", K::Label, "", {120, 120, 6840, 375}, "KORVEN7 Config COM Settings")));
    title.fontPoints = 13.5;
    f.add(make(kPortCaption, K::Label, "", {360, 855, 1335, 255}, "Com Port"));
    f.add(make(kPorts, K::ComboBox, "", {1680, 840, 1455, 360}));
    f.add(make(kBaudCaption, K::Label, "", {360, 1365, 975, 255}, "Baud Rate"));
    f.add(make(kBauds, K::ComboBox, "", {1680, 1320, 1455, 360}));
    f.add(make(kParityCaption, K::Label, "", {360, 1845, 1095, 375}, "Parity"));
    f.add(make(kParities, K::ComboBox, "", {1680, 1800, 1335, 360}));
    // Beside the port list, the selected port's device; below, Find KORVEN7 and its outcome.
    f.add(make(kPortDetail, K::Label, "", {3240, 780, 3960, 480}));
    f.add(make(kFind, K::Button, "", {3240, 1320, 1695, 375}, "Find KORVEN7",
             "Ask every free port for the KORVEN7's version, at each baud rate"));
    hidden(f.add(make(kFindProgress, K::ProgressBar, "", {360, 2340, 6840, 255})));
    f.add(make(kFindStatus, K::Label, "", {360, 2640, 6840, 960}));
    f.add(make(kBackupFirst, K::CheckBox, "", {360, 3660, 6840, 300}, "Back up the keyboard before sending",
               "Read the keyboard into its history before a send erases it; send nothing when the read fails"));
    f.add(make(kSave, K::Button, "", {2520, 4140, 975, 375}, "SAVE"));
    f.add(make(kClose, K::Button, "", {3840, 4140, 975, 375}, "CLOSE"));
    labelControls(f, {{kPorts, kPortCaption}, {kBauds, kBaudCaption}, {kParities, kParityCaption}});
    nameControls(f, {{kFindProgress, "Find KORVEN7 progress"}});
    return f;
}

// The keyboard's history: one row per kept read or send, newest first.
FormDesign buildHistoryDialog() {
    using namespace controls::history;
    FormDesign f;
    f.name = "History";
    f.caption = "History";
    f.clientWidth = 7800;
    f.clientHeight = 4260;
    f.add(make(kCaption, K::Label, "", {120, 120, 7560, 255}, "The keyboard's reads and sends, newest first"));
    f.add(make(kList, K::ListBox, "", {120, 420, 7560, 2940}));
    f.add(make(kFolder, K::Label, "", {120, 3420, 7560, 255}));
    f.add(make(kOpen, K::Button, "", {5280, 3780, 1095, 375}, "Open", "Load the chosen list as Open does"));
    f.add(make(kClose, K::Button, "", {6480, 3780, 1095, 375}, "Close"));
    labelControls(f, {{kList, kCaption}});
    f.firstFocus = kList;
    return f;
}

}  // namespace

const FormDesign& mainWindowDesign() {
    static const FormDesign design = buildMainWindow();
    return design;
}

const FormDesign& settingsDialogDesign() {
    static const FormDesign design = buildSettingsDialog();
    return design;
}

const FormDesign& historyDialogDesign() {
    static const FormDesign design = buildHistoryDialog();
    return design;
}

}  // namespace k7
