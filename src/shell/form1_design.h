#pragma once
#include "platform/window_spec.h"

namespace k7 {

// The main window as designed: controls, captions, tooltips, positions in twips.
const FormSpec& Form1Design();

// The communication-settings dialog as designed.
const FormSpec& ConfigurationDesign();

}  // namespace k7
