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
    f.add(make("clrstat", K::CheckBox, "", {8040, 720, 1815, 495}, "Clear Details before each operation")).checked = true;
    f.add(make("ClearDetails", K::Button, "", {9960, 840, 975, 375}, "Clear Now"));
    f.add(make("Label5", K::Label, "", {5400, 960, 2175, 255}, "Communication Details"));
    f.add(make("StatusBox", K::ListBox, "", {5400, 1200, 5655, 5130})).logOnly = true;
    hidden(f.add(make("Hclose", K::Button, "", {9840, 1680, 1095, 375}, "Close Help")));
    hidden(f.add(make("WebBrowser1", K::HtmlView, "", {150, 1500, 10905, 5375})));
    bold(f.add(make("CustomFrame", K::Frame, "", {120, 960, 5175, 5895}, "Custom Key Strings")));
    centred(f.add(make("Label2", K::Label, "CustomFrame", {120, 480, 975, 495}, "Keyboard Key")));
    centred(f.add(make("Label4", K::Label, "CustomFrame", {1440, 480, 1815, 495}, "KORVEN7 RS232 Key Output String")));
    f.add(make("Label6", K::Label, "CustomFrame", {3480, 600, 1215, 375}, "String Length"));
    {
        auto& count = centred(f.add(make("StringCount", K::Label, "CustomFrame", {4680, 600, 375, 330}, "0",
                                       "16 characters maximum")));
        count.bordered = true;
    }
    f.add(make("KbdKey", K::TextBox, "CustomFrame", {120, 960, 1095, 330}, "", "press keyboard key")).capturesKeys = true;
    f.add(make("KeyString", K::TextBox, "CustomFrame", {1200, 960, 3855, 330}, "",
             "ASCII characters, or binary chars in { }, dbl-click to clear"));
    f.add(make("AddToList", K::Button, "CustomFrame", {2640, 1440, 1215, 375}, "Add To List"));
    f.add(make("Label3", K::Label, "CustomFrame", {120, 1680, 1815, 255}, "(double click to remove)"));
    f.add(make("Label12", K::Label, "CustomFrame", {4200, 1680, 735, 255}, "(clear list)")).clickable = true;
    f.add(make("List1", K::ListBox, "CustomFrame", {120, 1920, 4935, 2400}));
    f.add(make("SendKeys", K::Button, "CustomFrame", {120, 4440, 1455, 615}, "Send Strings To KORVEN7",
             "Send all output strings to KORVEN7"));
    f.add(make("VerifyBtn", K::Button, "CustomFrame", {1680, 4440, 1575, 615}, "Verify Strings in KORVEN7",
             "Verify that KORVEN7 values match those on-screen"));
    f.add(make("ReadKeys", K::Button, "CustomFrame", {3360, 4440, 1695, 615}, "Read Strings From KORVEN7",
             "Read KORVEN7 key outputs and write to screen"));
    f.add(make("GetVersionBtn", K::Button, "CustomFrame", {1680, 5160, 1575, 615}, "Get KORVEN7 Code Version",
             "Get Code Version of connected device"));
    hidden(f.add(make("AbortBrn", K::Button, "CustomFrame", {3960, 5280, 1095, 495}, "Abort")));
    hidden(f.add(make("MatchImage", K::Picture, "", {5520, 6480, 495, 495})));
    hidden(bold(f.add(make("MatchString", K::Label, "", {6120, 6600, 4095, 255}, "KORVEN7 strings validated"))));
    bold(f.add(make("Frame1", K::Frame, "", {120, 6960, 5535, 615}, "Settings"))).flat = true;
    bold(f.add(make("Label9", K::Label, "Frame1", {120, 0, 615, 255}, "PORT:")));
    // The port's caption may name its device, "COM10 (ttyUSB0)": it has the most room.
    f.add(make("CommLabel", K::Label, "Frame1", {720, 0, 1665, 255}, "COM2"));
    bold(f.add(make("Label7", K::Label, "Frame1", {2430, 0, 1080, 255}, "BAUD RATE:")));
    f.add(make("BaudLabel", K::Label, "Frame1", {3600, 0, 510, 255}, "9600"));
    bold(f.add(make("Label8", K::Label, "Frame1", {4140, 0, 765, 255}, "PARITY:")));
    f.add(make("ParityLabel", K::Label, "Frame1", {4920, 0, 600, 255}, "NONE"));
    bold(f.add(make("Label11", K::Label, "Frame1", {120, 240, 1575, 255}, "CONFIG FILE:")));
    f.add(make("CfgLabel", K::Label, "Frame1", {1560, 240, 4455, 375}, "None"));
    f.add(make("ProgressBar1", K::ProgressBar, "", {6240, 7080, 3855, 255}));
    hidden(f.add(make("ProgressLabel", K::Label, "", {7320, 7440, 855, 255}, "Progress")));
    hidden(f.add(make("PercentLabel", K::Label, "", {10320, 7200, 495, 255}, "pcnt")));

    f.menus = {
        {"File", "File", "", 'F'},
        {"FOpen", "Open", "File", 'O'},
        {"FSave", "Save", "File", 'S'},
        {"SaveAs", "Save As", "File", 'A'},
        {"FHistory", "History", "File", 'H'},
        {"Config", "Configuration", "", 'C'},
        {"ClearAll", "Clear All", "", 'A'},
        {"prscr", "Print Screen", "", 'P'},
        {"KeyMap", "Key Map", "", 'K'},
        {"Help", "Help", "", 'H'},
        {"OverView", "OverView", "Help", 'O'},
        {"EnterKey", "Entering Keyboard Keys", "Help", 'E'},
        {"CreateString", "Creating Output Strings", "Help", 'C'},
        {"VerifyOp", "Verifying Operation", "Help", 'V'},
        {"Misc", "Reading Strings", "Help", 'R'},
        {"CloseHelp", "Close", "Help", 'l'},
    };
    labelControls(f, {{"StatusBox", "Label5"}, {"KbdKey", "Label2"}, {"KeyString", "Label4"}, {"StringCount", "Label6"},
                      {"CommLabel", "Label9"}, {"BaudLabel", "Label7"}, {"ParityLabel", "Label8"},
                      {"CfgLabel", "Label11"}, {"PercentLabel", "ProgressLabel"}});
    nameControls(f, {{"WebBrowser1", "Help page"}, {"List1", "Custom Key Strings"}, {"MatchImage", "Result picture"},
                     {"ProgressBar1", "Progress"}});
    // Tab reads the window column by column: from the key field through the editing panel,
    // then the log with the controls above it, the help pane when it is shown, and round again.
    f.firstFocus = "KbdKey";
    return f;
}

FormDesign buildSettingsDialog() {
    FormDesign f;
    f.name = "Configuration";
    f.caption = "Configuration";
    f.clientWidth = 7320;
    f.clientHeight = 4680;
    f.backgroundRgb = 0xFFEEFF;

    auto& title = bold(f.add(make("Label2", K::Label, "", {120, 120, 6840, 375}, "KORVEN7 Config COM Settings")));
    title.fontPoints = 13.5;
    f.add(make("Label1", K::Label, "", {360, 855, 1335, 255}, "Com Port"));
    f.add(make("cboPort", K::ComboBox, "", {1680, 840, 1455, 360}));
    f.add(make("Label3", K::Label, "", {360, 1365, 975, 255}, "Baud Rate"));
    f.add(make("cboBaud", K::ComboBox, "", {1680, 1320, 1455, 360}));
    f.add(make("Label4", K::Label, "", {360, 1845, 1095, 375}, "Parity"));
    f.add(make("cboParity", K::ComboBox, "", {1680, 1800, 1335, 360}));
    // Beside the port list, the selected port's device; below, Find KORVEN7 and its outcome.
    f.add(make("PortDetail", K::Label, "", {3240, 780, 3960, 480}));
    f.add(make("FindBtn", K::Button, "", {3240, 1320, 1695, 375}, "Find KORVEN7",
             "Ask every free port for the KORVEN7's version, at each baud rate"));
    hidden(f.add(make("FindProgress", K::ProgressBar, "", {360, 2340, 6840, 255})));
    f.add(make("FindStatus", K::Label, "", {360, 2640, 6840, 960}));
    f.add(make("BackupFirst", K::CheckBox, "", {360, 3660, 6840, 300}, "Back up the keyboard before sending",
               "Read the keyboard into its history before a send erases it; send nothing when the read fails"));
    f.add(make("ConfigSave", K::Button, "", {2520, 4140, 975, 375}, "SAVE"));
    f.add(make("ConfigAbort", K::Button, "", {3840, 4140, 975, 375}, "CLOSE"));
    labelControls(f, {{"cboPort", "Label1"}, {"cboBaud", "Label3"}, {"cboParity", "Label4"}});
    nameControls(f, {{"FindProgress", "Find KORVEN7 progress"}});
    return f;
}

// The keyboard's history: one row per kept read or send, newest first.
FormDesign buildHistoryDialog() {
    FormDesign f;
    f.name = "History";
    f.caption = "History";
    f.clientWidth = 7800;
    f.clientHeight = 4260;
    f.add(make("Label1", K::Label, "", {120, 120, 7560, 255}, "The keyboard's reads and sends, newest first"));
    f.add(make("HistoryList", K::ListBox, "", {120, 420, 7560, 2940}));
    f.add(make("HistoryFolder", K::Label, "", {120, 3420, 7560, 255}));
    f.add(make("HistoryOpen", K::Button, "", {5280, 3780, 1095, 375}, "Open", "Load the chosen list as Open does"));
    f.add(make("HistoryClose", K::Button, "", {6480, 3780, 1095, 375}, "Close"));
    labelControls(f, {{"HistoryList", "Label1"}});
    f.firstFocus = "HistoryList";
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
