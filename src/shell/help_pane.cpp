#include "shell/help_pane.h"

#include "shell/main_window_design.h"

#include <algorithm>

namespace k7 {

HelpPane::HelpPane(ControlSet& ui, Environment& env)
    : ui_(ui),
      env_(env),
      view_(ui.get<HtmlView>(controls::kHelpView)),
      closeButton_(ui.get<Button>(controls::kCloseHelpButton)) {}

void HelpPane::show(const std::string& page) {
    // Sized from the window as it is now; a later resize leaves the pane alone.
    const Window& w = ui_.window();
    view_.setGeometry({150, 1500, std::max(0, w.outerWidth() - 300), std::max(0, w.outerHeight() - 2500)});
    view_.setVisible(true);
    view_.raise();  // over the list frame and the log it covers
    closeButton_.setVisible(true);
    closeButton_.raise();
    view_.navigate(env_.dataFolder() + "/" + page);
}

void HelpPane::close() {
    view_.setVisible(false);
    closeButton_.setVisible(false);
}

}  // namespace k7
