#pragma once
// Everything outside the program: the window's controls, the event pump, the serial
// port and the list of the system's ports, dialogs and message boxes, the printer,
// files, the program's folder and clock.
// platform/qt implements these with Qt; tests implement them with fakes.
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/key_map_view.h"
#include "platform/window_design.h"

namespace k7 {

// The controls of one window, found by their design names.
class ControlSet {
public:
    virtual ~ControlSet() = default;
    virtual Control& control(const std::string& name) = 0;  // throws std::out_of_range
    virtual MenuItem& menu(const std::string& name) = 0;  // an item, or a menu of items as a whole
    virtual Window& window() = 0;

    template <class T>
    T& get(const std::string& name) { return dynamic_cast<T&>(control(name)); }
};

// A modal dialog window built from a FormDesign.
class DialogWindow : public ControlSet {
public:
    virtual void showModal() = 0;  // returns once the dialog is closed
    virtual void close() = 0;
    // The dialog was closed, by the program or by the user (Escape, the close box).
    std::function<void()> onClosed;
};

// A window timer: ticks on the user-interface thread every interval while enabled.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool on) = 0;
    virtual bool enabled() const = 0;
    std::function<void()> onTick;
};

class EventPump {
public:
    virtual ~EventPump() = default;
    // Processes the events that are pending now; never blocks.
    virtual void doEvents() = 0;
    // Blocks until at least one event arrives (a timer tick, serial data, user input),
    // then processes the pending events. Never spins.
    virtual void waitEvents() = 0;
    // A timer whose ticks arrive through this pump.
    virtual std::unique_ptr<Timer> createTimer() = 0;
};

// What a serial line is set to.
struct LineSettings {
    int baud = 9600;
    char parity = 'N';  // N, E, O, M or S
    int dataBits = 8;
    int stopBits = 1;
};

// The serial port. Strings are bytes both ways. Failures throw RuntimeError with the
// platform's description.
class SerialPort {
public:
    virtual ~SerialPort() = default;
    virtual void setPortName(const std::string& device) = 0;
    virtual void setSettings(const LineSettings& settings) = 0;
    virtual bool isOpen() const = 0;
    virtual void open() = 0;
    virtual void close() = 0;
    virtual void output(const std::string& bytes) = 0;
    // Every byte received and not yet read, possibly none; never waits.
    virtual std::string input() = 0;
    // While quiet, arriving bytes do not wake the program; they wait for input(). For
    // fixed waits that read only at their end. Closing the port ends it.
    virtual void setInputQuiet(bool) {}
};

// A serial port the system has, and what the system says of it ("" where it says nothing).
struct SerialPortInfo {
    std::string device;        // /dev/ttyUSB0 (COM9 on Windows)
    std::string description;   // "FT232R USB UART"
    std::string manufacturer;  // "FTDI"
    std::string serialNumber;
    std::string stablePath;    // /dev/serial/by-id/...: the same adapter after re-plugging; "" when none
    bool operator==(const SerialPortInfo&) const = default;
};

// The serial ports the system has now: built-in ports with hardware behind them, USB
// adapters, ACM devices. Pseudo-terminals are not among them.
class PortList {
public:
    virtual ~PortList() = default;
    virtual std::vector<SerialPortInfo> ports() = 0;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A modal message box with an OK button and the program's title.
    virtual void message(const std::string& text) = 0;
    // A Yes/No question with the question icon; true for Yes.
    virtual bool confirm(const std::string& text, const std::string& title) = 0;
    // File dialogs; filter in the form "Name (*.ext)|*.ext|...". nullopt when cancelled.
    virtual std::optional<std::string> openFileName(const std::string& initialFolder,
                                                    const std::string& filter) = 0;
    virtual std::optional<std::string> saveFileName(const std::string& initialFolder,
                                                    const std::string& filter) = 0;
    virtual void beep() = 0;
};

class Printer {
public:
    virtual ~Printer() = default;
    virtual bool choose() = 0;  // the print dialog; false when cancelled
    virtual void printLine(const std::string& line) = 0;  // throws RuntimeError
    virtual void endDoc() = 0;                            // throws RuntimeError when the printer fails
};

class FileStore {
public:
    virtual ~FileStore() = default;
    virtual bool exists(const std::string& path) const = 0;
    // Opens the file for reading; throws RuntimeError when it cannot.
    virtual std::unique_ptr<std::istream> openRead(const std::string& path) = 0;
    // Writes the content to a temporary file beside path and puts it in place only once
    // it is complete; a failure throws RuntimeError and leaves any old file untouched.
    virtual void replaceWith(const std::string& path, const std::string& content) = 0;
    virtual bool isFolder(const std::string& path) const = 0;
    // The names of the plain files in `folder`, without the folder; none when it does not exist.
    virtual std::vector<std::string> fileNames(const std::string& folder) const = 0;
    // Creates the folder and the folders above it; throws RuntimeError when it cannot.
    virtual void createFolder(const std::string& folder) = 0;
    virtual void remove(const std::string& path) = 0;  // throws RuntimeError when it cannot
};

class Environment {
public:
    virtual ~Environment() = default;
    virtual std::string programFolder() const = 0;  // no trailing separator
    // Where the help pages and pictures lie: the program folder, or the shared data
    // folder of an installed program.
    virtual std::string dataFolder() const { return programFolder(); }
    // Where the settings file lives and the file dialogs start: the program folder, or
    // the user's folders when the program folder cannot be written.
    virtual std::string settingsFileName() const = 0;
    virtual std::string documentsFolder() const = 0;
    // Where the keyboard's history lies: korven7-config/history in the user's data folder.
    virtual std::string historyFolder() const = 0;
    virtual std::string nowText() const = 0;  // local date and time, system format
};

struct Platform {
    ControlSet& ui;
    EventPump& pump;
    SerialPort& port;
    Dialogs& dialogs;
    Printer& printer;
    FileStore& files;
    Environment& env;
    std::function<std::unique_ptr<DialogWindow>(const FormDesign&)> createDialog;
    PortList& portList;
    // A key map window of its own, not shown yet.
    std::function<std::unique_ptr<KeyMapView>()> createKeyMap;
};

}  // namespace k7
