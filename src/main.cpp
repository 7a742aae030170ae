#include <QApplication>

#include "platform/qt/qt_platform.h"
#include "shell/form1.h"
#include "shell/form1_design.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("korven7-config");
    k7::qt::QtPlatform real(k7::Form1Design());
    k7::Form1 form(real.platform());
    form.Form_Load();
    real.mainWindow().qwindow().show();
    return app.exec();
}
