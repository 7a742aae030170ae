#include "shell/form1.h"

#include "platform/runtime_error.h"
#include "shell/form1_design.h"

namespace k7 {

Form1::Form1(Platform& p)
    : platform(p),
      ui(p.ui),
      pump(p.pump),
      dialogs(p.dialogs),
      MSComm1(p.port),
      Label1(ui.get<Label>("Label1")),
      Label10(ui.get<Label>("Label10")),
      clrstat(ui.get<CheckBox>("clrstat")),
      ClearDetails(ui.get<Button>("ClearDetails")),
      Label5(ui.get<Label>("Label5")),
      StatusBox(ui.get<ListBox>("StatusBox")),
      Hclose(ui.get<Button>("Hclose")),
      WebBrowser1(ui.get<HtmlView>("WebBrowser1")),
      CustomFrame(ui.control("CustomFrame")),
      Label2(ui.get<Label>("Label2")),
      Label4(ui.get<Label>("Label4")),
      Label6(ui.get<Label>("Label6")),
      StringCount(ui.get<Label>("StringCount")),
      KbdKey(ui.get<TextBox>("KbdKey")),
      KeyString(ui.get<TextBox>("KeyString")),
      AddToList(ui.get<Button>("AddToList")),
      Label3(ui.get<Label>("Label3")),
      Label12(ui.get<Label>("Label12")),
      List1(ui.get<ListBox>("List1")),
      SendKeys(ui.get<Button>("SendKeys")),
      VerifyBtn(ui.get<Button>("VerifyBtn")),
      ReadKeys(ui.get<Button>("ReadKeys")),
      GetVersionBtn(ui.get<Button>("GetVersionBtn")),
      AbortBrn(ui.get<Button>("AbortBrn")),
      MatchImage(ui.get<Picture>("MatchImage")),
      MatchString(ui.get<Label>("MatchString")),
      Frame1(ui.control("Frame1")),
      CommLabel(ui.get<Label>("CommLabel")),
      BaudLabel(ui.get<Label>("BaudLabel")),
      ParityLabel(ui.get<Label>("ParityLabel")),
      CfgLabel(ui.get<Label>("CfgLabel")),
      ProgressBar1(ui.get<ProgressBar>("ProgressBar1")),
      ProgressLabel(ui.get<Label>("ProgressLabel")),
      PercentLabel(ui.get<Label>("PercentLabel")),
      DelayTimer(ui.timer("DelayTimer")),
      ResponseTimer(ui.timer("ResponseTimer")) {
    DelayTimer.setInterval(10);
    DelayTimer.setEnabled(false);
    ResponseTimer.setEnabled(false);
    ProgressBar1.setMaximum(100);
    ProgressBar1.setValue(0);
    WireEvents();
}

void Form1::WireEvents() {
    auto click = [](auto& source, auto handler) { source.onClick = handler; };
    click(ClearDetails, [this] { ClearDetails_Click(); });
    click(AddToList, [this] { AddToList_Click(); });
    click(Label12, [this] { Label12_Click(); });
    click(SendKeys, [this] { SendKeys_Click(); });
    click(VerifyBtn, [this] { VerifyBtn_Click(); });
    click(ReadKeys, [this] { ReadKeys_Click(); });
    click(GetVersionBtn, [this] { GetVersionBtn_Click(); });
    click(AbortBrn, [this] { AbortBrn_Click(); });
    click(Hclose, [this] { CloseHelp_Click(); });

    KbdKey.onGotFocus = [this] { KbdKey_GotFocus(); };
    KbdKey.onKeyDown = [this](int& k) { KbdKey_KeyDown(k); };
    KbdKey.onKeyPress = [this](int& c) { KbdKey_KeyPress(c); };
    KbdKey.onKeyUp = [this](int& k) { KbdKey_KeyUp(k); };
    KeyString.onChange = [this] { KeyString_Change(); };
    KeyString.onKeyPress = [this](int& c) { KeyString_KeyPress(c); };
    KeyString.onDoubleClick = [this] { KeyString_DblClick(); };
    List1.onDoubleClick = [this] { List1_DblClick(); };

    click(ui.menu("FOpen"), [this] { FOpen_Click(); });
    click(ui.menu("FSave"), [this] { FSave_Click(); });
    click(ui.menu("SaveAs"), [this] { SaveAs_Click(); });
    click(ui.menu("Config"), [this] { Config_Click(); });
    click(ui.menu("ClearAll"), [this] { ClearAll_Click(); });
    click(ui.menu("prscr"), [this] { prscr_Click(); });
    click(ui.menu("OverView"), [this] { ShowHelpPage("KORVOverView.htm"); });
    click(ui.menu("EnterKey"), [this] { ShowHelpPage("KORVEnterKey.htm"); });
    click(ui.menu("CreateString"), [this] { ShowHelpPage("KORVCreateString.htm"); });
    click(ui.menu("VerifyOp"), [this] { ShowHelpPage("KORVVerify.htm"); });
    click(ui.menu("Misc"), [this] { ShowHelpPage("KORVReadStr.htm"); });
    click(ui.menu("CloseHelp"), [this] { CloseHelp_Click(); });

    ResponseTimer.onTick = [this] { ResponseTimer_Timer(); };
    DelayTimer.onTick = [this] { DelayTimer_Timer(); };
    ui.window().onResize = [this] { Form_Resize(); };
}

void Form1::Form_Load() {
    try {
        CfgFileName = "";
        ui.window().setCaption(Form1Design().caption + " v" + kProgramVersion);
        ReadSettings();
        SetupCommPort();
        BuildKeyTable(KeyTable);
    } catch (const std::exception& e) {
        dialogs.message(std::string("Error detected - ") + e.what());
    }
}

void Form1::Add2Status(const std::string& text) {
    StatusBox.addItem(text);
    const int lines = StatusBox.count();
    if (lines > 5) StatusBox.setTopIndex(lines - 5);
}

void Form1::EnableButtons(bool enab) {
    for (Control* c : std::initializer_list<Control*>{&AddToList, &SendKeys, &VerifyBtn, &ReadKeys,
                                                      &GetVersionBtn, &KeyString, &KbdKey})
        c->setEnabled(enab);
}

void Form1::ClearDetails_Click() { StatusBox.clear(); }

void Form1::Form_Resize() {
    Rect r = StatusBox.geometry();
    const int width = ui.window().outerWidth() - r.left - 300;
    if (width < 0) return;  // too narrow: keep the last width
    r.width = width;
    StatusBox.setGeometry(r);
}

void Form1::ShowProgress() {
    ProgressBar1.setVisible(true);
    ProgressLabel.setVisible(true);
    PercentLabel.setVisible(true);
    PercentLabel.setCaption("0%");
    ProgressBar1.setValue(0);
}

void Form1::HideProgress() {
    ProgressBar1.setVisible(false);
    ProgressLabel.setVisible(false);
    PercentLabel.setVisible(false);
}

void Form1::SetProgress(int value) {
    ProgressBar1.setValue(value);
    const int max = ProgressBar1.maximum();
    PercentLabel.setCaption(std::to_string(max > 0 ? value * 100 / max : 0) + "%");
}

void Form1::LoadMatchPicture(const std::string& fileName) { MatchImage.load(ProgramFile(fileName)); }

std::string Form1::ProgramFile(const std::string& fileName) const {
    return platform.env.programFolder() + "/" + fileName;
}

}  // namespace k7
