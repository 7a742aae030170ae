#include "qtsupport/qt_app.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include "shell/form1_design.h"

namespace k7::test {

namespace {

// Ends the application once every test has run, while Qt is still whole: left to the
// statics at exit, it would be torn down after parts of Qt it needs.
class AppEnd : public ::testing::Environment {
public:
    explicit AppEnd(QApplication* app) : app_(app) {}
    void TearDown() override { delete app_; }
private:
    QApplication* app_;
};

}  // namespace

QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "korven7-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* created = new QApplication(argc, argv);
        ::testing::AddGlobalTestEnvironment(new AppEnd(created));
        return created;
    }();
    return *app;
}

QtRig::QtRig(const std::string& settings) {
    TestApp();
    if (!settings.empty()) env.write("KORVEN7.ini", settings);
    real = std::make_unique<qt::QtPlatform>(Form1Design(), &dialogs, nullptr, &env);
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
