#pragma once
// Qt key events to Windows virtual-key codes.
#include <QtGlobal>
#include <Qt>

namespace k7::qt {

int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers mods, quint32 nativeVirtualKey, quint32 nativeScanCode);

}  // namespace k7::qt
