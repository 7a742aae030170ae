// The editing panel: the key field captures a key as its legend, the string field
// holds the key's output string, and the two make an entry of the key-string list
// (legend, TAB, notation).
#include "shell/form1.h"

namespace k7 {
namespace {

constexpr int kTabChar = 9;
constexpr int kPrintScreenKeyUp = 44;  // VK_SNAPSHOT, reported only on release
constexpr int kListRowsShown = 10;     // an add scrolls the newest ten entries into view

}  // namespace

void Form1::KbdKey_GotFocus() { KbdKey.setText(""); }

void Form1::KbdKey_KeyDown(int& keyCode) {
    KbdKey.setText(GetKeyLegend(LegendState, keyCode));
    keyCode = 0;
}

void Form1::KbdKey_KeyPress(int& charCode) {
    if (charCode == kTabChar) KbdKey.setText("TAB");
    charCode = 0;
}

void Form1::KbdKey_KeyUp(int& keyCode) {
    if (keyCode != kPrintScreenKeyUp) return;
    keyCode = 0;
    KbdKey.setText("PRTSCN");
}

void Form1::KeyString_Change() { CheckKeyString(); }

void Form1::KeyString_KeyPress(int& charCode) {
    if (BraceState == 1 && charCode >= 'a' && charCode <= 'z') charCode = charCode - 'a' + 'A';
    LoadMatchPicture("question-mark.gif");
}

void Form1::KeyString_DblClick() { KeyString.setText(""); }

void Form1::AddToList_Click() {
    const std::string legend = KbdKey.text();
    if (legend.empty()) {
        dialogs.message("Please enter a keyboard key");
        return;
    }
    for (int i = 0; i < List1.count(); ++i) {
        const std::string entry = List1.item(i);
        if (entry.substr(0, entry.find('\t')) == legend) {
            dialogs.message("Cannot add .. this key is already in the list");
            return;
        }
    }
    List1.addItem(legend + "\t" + KeyString.text());
    if (List1.count() > kListRowsShown) List1.setTopIndex(List1.count() - kListRowsShown);
}

void Form1::List1_DblClick() {
    const int selected = List1.selectedIndex();
    if (List1.count() > 0 && selected >= 0) List1.removeItem(selected);
}

void Form1::Label12_Click() { List1.clear(); }

void Form1::ClearAll_Click() {
    KbdKey.setText("");
    KeyString.setText("");
    List1.clear();
    StatusBox.clear();
}

}  // namespace k7
