#pragma once
// The windows as designed: controls, captions, tooltips, positions in twips. The control
// names (List1, KbdKey, ...) are the widgets' object names.
#include "ui/window_design.h"

namespace k7 {

const FormDesign& mainWindowDesign();
const FormDesign& settingsDialogDesign();
const FormDesign& historyDialogDesign();

}  // namespace k7
