#pragma once
// The real platform: the main window and dialogs on Qt Widgets, the Qt event loop,
// QSerialPort and QSerialPortInfo, message boxes, the printer, files on disk, the program's folder.
#include <QElapsedTimer>
#include <QPainter>
#include <QPrinter>
#include <memory>

#include "platform/disk_file_store.h"
#include "platform/platform.h"
#include "platform/user_folders.h"
#include "platform/qt/qt_port_list.h"
#include "platform/qt/qt_serial_port.h"
#include "platform/qt/qt_window.h"

namespace k7::qt {

class QtEventPump : public EventPump {
public:
    void doEvents() override;
    void waitEvents() override;
    std::unique_ptr<Timer> createTimer() override { return std::make_unique<QtTimer>(); }
private:
    QElapsedTimer lastPass_;  // since the event sources were last looked at
};

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

class QtEnvironment : public Environment {
public:
    QtEnvironment();
    std::string programFolder() const override { return folder_; }
    std::string settingsFileName() const override;
    std::string documentsFolder() const override;
    std::string nowText() const override;
private:
    std::string folder_;
    UserFolders folders_;
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
