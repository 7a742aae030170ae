// Interim mapping: letters, digits and a few keys; replaced by the full mapping.
#include "platform/qt/qt_keys.h"

namespace k7::qt {

int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers, quint32, quint32) {
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) return qtKey;
    switch (qtKey) {
        case Qt::Key_Tab: return 0x09;
        case Qt::Key_Return: return 0x0D;
        case Qt::Key_Insert: return 0x2D;
        default: return 0;
    }
}

}  // namespace k7::qt
