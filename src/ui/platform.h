#pragma once
// What the window program has of the world outside it: its controls, dialogs and
// message boxes, the printer, a key map window, and beneath them the event pump, the
// serial port and the list of the system's ports, files, the program's folder and clock.
// qt/ implements these with Qt; tests implement them with fakes.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/event_pump.h"
#include "platform/files.h"
#include "platform/serial_port.h"
#include "ui/controls.h"
#include "ui/key_map_view.h"
#include "ui/window_design.h"

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
