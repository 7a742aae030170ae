#pragma once
// The window program's platform: the main window and dialogs on Qt Widgets, message
// boxes and the printer, with the Qt Core parts (event loop, QSerialPort, folders).
#include <QPainter>
#include <QPrinter>
#include <memory>

#include "platform/disk_file_store.h"
#include "qt/qt_environment.h"
#include "qt/qt_event_pump.h"
#include "qt/qt_port_list.h"
#include "qt/qt_serial_port.h"
#include "qt/qt_window.h"
#include "ui/platform.h"

namespace k7::qt {

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent) : parent_(parent) {}
    void message(const std::string& text) override;
    bool confirm(const std::string& text, const std::string& title) override;
    std::optional<std::string> openFileName(const std::string& initialFolder, const std::string& filter) override;
    std::optional<std::string> saveFileName(const std::string& initialFolder, const std::string& filter) override;
    void beep() override;
private:
    QWidget* parent_;
};

// Prints one line per call. With a PDF path it prints there without asking.
class QtPrinter : public Printer {
public:
    explicit QtPrinter(QWidget* parent, std::string pdfPath = "") : parent_(parent), pdfPath_(std::move(pdfPath)) {}
    ~QtPrinter() override;
    bool choose() override;
    void printLine(const std::string& line) override;
    void endDoc() override;
private:
    QWidget* parent_;
    std::string pdfPath_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    int y_ = 0;
};

// Everything put together. Tests may put their own dialogs or printer in.
class QtPlatform {
public:
    explicit QtPlatform(const FormDesign& mainDesign, Dialogs* dialogs = nullptr, Printer* printer = nullptr,
                        Environment* environment = nullptr);
    Platform& platform() { return platform_; }
    QtMainWindow& mainWindow() { return window_; }
    QtSerialPort& port() { return port_; }
private:
    QtMainWindow window_;
    QtEventPump pump_;
    QtSerialPort port_;
    QtDialogs dialogs_;
    QtPrinter printer_;
    DiskFileStore files_;
    QtEnvironment env_;
    QtPortList portList_;
    Platform platform_;
};

}  // namespace k7::qt
