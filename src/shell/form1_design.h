#pragma once
#include "platform/window_design.h"

namespace k7 {

// The main window as designed: controls, captions, tooltips, positions in twips.
const FormDesign& Form1Design();

// The communication-settings dialog as designed.
const FormDesign& ConfigurationDesign();

}  // namespace k7
