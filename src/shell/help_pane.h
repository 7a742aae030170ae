#pragma once
// The help pane: a page of the program's help shown over the list frame and the log,
// with its close button.
#include <string>

#include "ui/platform.h"

namespace k7 {

class HelpPane {
public:
    HelpPane(ControlSet& ui, Environment& env);
    // Shows the page (a file in the program's folder) in front of the window.
    void show(const std::string& page);
    void close();

private:
    ControlSet& ui_;
    Environment& env_;
    HtmlView& view_;
    Button& closeButton_;
};

}  // namespace k7
