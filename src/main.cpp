#include <QApplication>

#include "qt/qt_platform.h"
#include "shell/main_window.h"
#include "shell/main_window_design.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("korven7-config");
    k7::qt::QtPlatform real(k7::mainWindowDesign());
    k7::MainWindow window(real.platform());
    window.start();
    real.mainWindow().qwindow().show();
    return app.exec();
}
