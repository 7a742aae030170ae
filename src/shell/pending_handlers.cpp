// Handlers whose concern is still being built. Each moves to its own folder when done.
#include "shell/form1.h"

namespace k7 {}  // namespace k7
