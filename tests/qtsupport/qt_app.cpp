#include "qtsupport/qt_app.h"

#include <QElapsedTimer>

#include "shell/form1_design.h"

namespace k7::test {

QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "korven7-tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own statics go first, and a QApplication torn down
    // after them crashes the test program.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

QtRig::QtRig(const std::string& settings, Printer* printer) {
    TestApp();
    if (!settings.empty()) env.write("KORVEN7.ini", settings);
    real = std::make_unique<qt::QtPlatform>(Form1Design(), &dialogs, printer, &env);
    form = std::make_unique<Form1>(real->platform());
    form->Form_Load();
    real->mainWindow().qwindow().show();
    Pump(20);
}

QtRig::~QtRig() {
    form.reset();
    real.reset();
}

void QtRig::Pump(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace k7::test
