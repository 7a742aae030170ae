#pragma once
// A window's design: its controls with their positions, captions, tooltips, fonts and
// initial states, and its menus. The Qt side builds real widgets from it, the test
// side builds fakes from it, so both start from the same design.
#include <string>
#include <vector>

#include "platform/controls.h"

namespace k7 {

enum class ControlKind { Label, Button, CheckBox, TextBox, ListBox, ComboBox, ProgressBar, Picture, HtmlView, Frame };

struct ControlDesign {
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string container;  // "" for the window itself, else the name of a frame
    Rect position;          // twips, relative to the container
    std::string caption;
    std::string tooltip;
    std::string accessibleName;  // "" : the caption names the control
    double fontPoints = 8.25;
    std::string fontFamily = "MS Sans Serif";
    bool bold = false;
    bool centred = false;
    bool bordered = false;
    bool visible = true;
    bool checked = false;
    bool capturesTab = false;  // a text box that takes Tab as a key instead of moving the focus
    bool flat = false;         // a frame drawn as a caption without a border
    bool logOnly = false;  // a list box that is only ever appended to: it must stay fast at any length
};

struct MenuDesign {
    std::string name;
    std::string caption;
    std::string parent;  // "" for an item on the menu bar
};

struct FormDesign {
    std::string name;
    std::string caption;
    int clientWidth = 0;   // twips
    int clientHeight = 0;  // twips
    unsigned backgroundRgb = 0;  // 0: the platform's default
    std::vector<ControlDesign> controls;
    std::vector<MenuDesign> menus;

    const ControlDesign* find(const std::string& controlName) const {
        for (const auto& c : controls)
            if (c.name == controlName) return &c;
        return nullptr;
    }
};

}  // namespace k7
