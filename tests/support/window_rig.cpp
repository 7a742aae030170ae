#include "support/window_rig.h"

#include <gtest/gtest.h>

#include <QTimer>

namespace k7::test {

// Runs `steps` in the settings dialog once the menu has opened it.
void InSettingsDialog(Rig& rig, const std::function<void(QDialog&)>& steps) {
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        steps(*dialog);
    });
    rig.program.menu(controls::kConfiguration);
}

void InHistoryDialog(Rig& rig, const std::function<void(QDialog&, QListWidget&)>& steps) {
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        steps(*dialog, *dialog->findChild<QListWidget*>(controls::history::kList));
    });
    rig.program.menu(controls::kHistory);
}

}  // namespace k7::test
