#include <QApplication>
#include <QFileInfo>
#include <cstring>
#include <iostream>

#include "qt/qt_platform.h"
#include "shell/main_window.h"
#include "shell/main_window_design.h"

namespace {

constexpr const char* kUsage = "usage: korven7-config [--help] [--version] [FILE.cfg]\n";

}  // namespace

int main(int argc, char** argv) {
    // These need no display, so they are answered before Qt looks for one.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << kUsage << "\nOpens the window that configures the output strings of KORVEN7 keyboards.\n"
                      << "Qt's own options (-platform, -style, ...) are taken too.\n";
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::cout << "korven7-config " << K7_PROGRAM_VERSION << "\n";
            return 0;
        }
    }
    auto refuse = [](const std::string& why) {
        std::cerr << "korven7-config: " << why << "\n" << kUsage;
        return 2;
    };
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--", 2) == 0) return refuse(std::string("unknown option '") + argv[i] + "'");
    QApplication app(argc, argv);
    // Qt has taken its own options out of argv; what is left must be files.
    for (int i = 1; i < argc; ++i)
        if (!QFileInfo(QString::fromLocal8Bit(argv[i])).isFile()) return refuse(std::string("'") + argv[i] + "' is not a file");
    QApplication::setApplicationName("korven7-config");
    k7::qt::QtPlatform real(k7::mainWindowDesign());
    k7::MainWindow window(real.platform());
    window.start();
    real.mainWindow().qwindow().show();
    return app.exec();
}
