#include "keystrings/keyboard_layout.h"

namespace k7 {
namespace {

// Lays the keys of one row from left to right.
class RowBuilder {
public:
    RowBuilder(std::vector<KeyPlace>& keys, int row) : keys_(keys), row_(row), top_(row == 0 ? 0 : row + 0.5) {}
    RowBuilder& at(double left) {
        left_ = left;
        return *this;
    }
    RowBuilder& key(const std::string& legend, double width = 1, double height = 1) {
        return place(legend, legend, width, height);
    }
    // A key whose label is not its legend.
    RowBuilder& named(const std::string& legend, const std::string& label, double width = 1) {
        return place(legend, label, width, 1);
    }
    // A key the KORVEN7 has no string for.
    RowBuilder& fixed(const std::string& label, double width = 1) { return place("", label, width, 1); }
    // One key for each character, the character its legend.
    RowBuilder& each(const std::string& characters) {
        for (char c : characters) key(std::string(1, c));
        return *this;
    }

private:
    RowBuilder& place(const std::string& legend, const std::string& label, double width, double height) {
        keys_.push_back({legend, label, row_, left_, top_, width, height});
        left_ += width;
        return *this;
    }
    std::vector<KeyPlace>& keys_;
    int row_;
    double top_;
    double left_ = 0;
};

constexpr double kEditingBlock = 15.25;
constexpr double kKeypad = 18.5;

std::vector<KeyPlace> buildLayout() {
    std::vector<KeyPlace> keys;
    RowBuilder(keys, 0)
        .key("ESC")
        .at(2).key("F1").key("F2").key("F3").key("F4")
        .at(6.5).key("F5").key("F6").key("F7").key("F8")
        .at(11).key("F9").key("F10").key("F11").key("F12")
        .at(kEditingBlock).key("PRTSCN").key("SCRLK").key("PAUSE");
    RowBuilder(keys, 1)
        .each("`1234567890-=").key("BKSPC", 2)
        .at(kEditingBlock).key("INS").key("HOME").key("PGUP")
        .at(kKeypad).named("NUMLK", "Num Lock").key("KP/").key("KP*").key("KP-");
    RowBuilder(keys, 2)
        .key("TAB", 1.5).each("QWERTYUIOP[]").key("\\", 1.5)
        .at(kEditingBlock).key("DEL").key("END").key("PGDN")
        .at(kKeypad).key("KPhome").key("KPupar").key("KPpgup").key("KP+", 1, 2);
    RowBuilder(keys, 3)
        .named("CAPSLK", "Caps Lock", 1.75).each("ASDFGHJKL;'").named("NONUS#", "#").key("ENTER", 1.25)
        .at(kKeypad).key("KPlfar").key("KP5").key("KPrtar");
    RowBuilder(keys, 4)
        .fixed("Shift", 2.25).each("ZXCVBNM,./").fixed("Shift", 2.75)
        .at(kEditingBlock + 1).key("UPAR")
        .at(kKeypad).key("KPend").key("KPdnar").key("KPpgdn").key("KPENT", 1, 2);
    RowBuilder(keys, 5)
        .fixed("Ctrl", 1.25).fixed("Win", 1.25).fixed("Alt", 1.25).key("SPACE", 6.25)
        .fixed("Alt", 1.25).fixed("Win", 1.25).fixed("Menu", 1.25).fixed("Ctrl", 1.25)
        .at(kEditingBlock).key("LFTAR").key("DNAR").key("RTAR")
        .at(kKeypad).key("KPins", 2).key("KPdel");
    return keys;
}

}  // namespace

const std::vector<KeyPlace>& keyboardLayout() {
    static const std::vector<KeyPlace> layout = buildLayout();
    return layout;
}

}  // namespace k7
