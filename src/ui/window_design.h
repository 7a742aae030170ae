#pragma once
// A window's design: its controls with their positions, captions, tooltips, fonts and
// initial states, and its menus. The Qt side builds real widgets from it, the test
// side builds fakes from it, so both start from the same design.
#include <string>
#include <vector>

#include "ui/controls.h"

namespace k7 {

enum class ControlKind { Label, Button, CheckBox, TextBox, ListBox, ComboBox, ProgressBar, Picture, HtmlView, Frame };

struct ControlDesign {
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string container;  // "" for the window itself, else the name of a frame
    Rect position;          // twips, relative to the container
    std::string caption;
    std::string tooltip;
    std::string accessibleName;  // "" : the caption names the control; a label is named by its text
    // The label beside the control that names it: its caption is the control's name, and a
    // label that shows a value is labelled by it (the port's value by "PORT:").
    std::string labelledBy;
    double fontPoints = 8.25;
    std::string fontFamily = "MS Sans Serif";
    bool bold = false;
    bool centred = false;
    bool bordered = false;
    bool visible = true;
    bool checked = false;
    // A text box that shows the key the user presses: Tab is a key, not a move (Ctrl+Tab
    // moves on), and nothing can be pasted or dropped in.
    bool capturesKeys = false;
    bool clickable = false;  // a label that acts when clicked: it takes the focus, and Space or Enter clicks it
    bool isDefault = false;  // the button that Enter presses; no other button takes Enter
    bool flat = false;         // a frame drawn as a caption without a border
    bool logOnly = false;  // a list box that is only ever appended to: it must stay fast at any length
};

struct MenuDesign {
    std::string name;
    std::string caption;
    std::string parent;  // "" for an item on the menu bar
    char accessKey = 0;  // the letter of the caption that Alt (on the bar) or the letter alone (in a menu) chooses
};

struct FormDesign {
    std::string name;
    std::string caption;
    int clientWidth = 0;   // twips
    int clientHeight = 0;  // twips
    unsigned backgroundRgb = 0;  // 0: the platform's default
    // The design's twips are characters of its font (MS Sans Serif 8.25 pt): an average letter
    // is 90 twips wide and a line 195 twips high (6 and 13 pixels at 96 dpi). The window
    // takes the scale at which the font in use has that letter and line.
    int letterTwips = 90;
    int lineTwips = 195;
    std::string firstFocus;  // the control that has the focus when the window opens; Tab goes on in the order of `controls`
    std::vector<ControlDesign> controls;
    std::vector<MenuDesign> menus;

    // Appends a control and returns it, for the builder to set what differs from the defaults.
    ControlDesign& add(ControlDesign c) {
        controls.push_back(std::move(c));
        return controls.back();
    }

    const ControlDesign* find(const std::string& controlName) const {
        for (const auto& c : controls)
            if (c.name == controlName) return &c;
        return nullptr;
    }
};

}  // namespace k7
