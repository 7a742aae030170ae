#pragma once
// Fakes for the rest of the platform: a serial port wired to the in-process KORVEN7
// emulator on virtual time, message boxes that answer from a script and record what
// they showed, a printer that keeps its lines, and a program folder in a temp dir.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "emulator/korven7_emulator.h"
#include "platform/disk_file_store.h"
#include "platform/platform.h"
#include "support/virtual_time.h"

namespace k7::test {

class FakeSerialPort : public SerialPort, public WakeSource {
public:
    explicit FakeSerialPort(VirtualClock& clock) : clock_(clock) {}
    // The device on the other end of the line; nullptr: nothing attached (silence).
    void attach(Korven7Emulator* device) { device_ = device; }
    void setPortName(const std::string& device) override { portName = device; }
    void setSettings(const std::string& text) override;
    bool isOpen() const override { return open_; }
    void open() override;
    void close() override { open_ = false; quiet_ = false; }
    void output(const std::string& bytes) override;
    std::string input() override;
    void setInputQuiet(bool quiet) override { quiet_ = quiet && open_; }
    std::optional<std::int64_t> nextWakeUs() const override;
    void fireDue(std::int64_t) override {}
    // Bytes that reach the program at atUs whatever was sent: a line the test scripts.
    void arriveAt(std::int64_t atUs, const std::string& bytes) { arrivals_.emplace(atUs, bytes); }

    std::string portName;
    std::string settings;
    std::optional<std::string> failOpen;    // description of an open that fails
    std::optional<std::string> failOutput;  // description of a write that fails
    std::string sent;                       // every byte written, in order
    std::function<void(const std::string&)> onOutput;  // sees each write after the device
    int opens = 0;
private:
    VirtualClock& clock_;
    Korven7Emulator* device_ = nullptr;
    bool open_ = false;
    bool quiet_ = false;  // arriving bytes do not wake the pump
    std::multimap<std::int64_t, std::string> arrivals_;
};

// Message boxes and file dialogs answered by the test. Every message is recorded;
// a question or dialog with no answer queued fails the test.
class ScriptedDialogs : public Dialogs {
public:
    void message(const std::string& text) override { messages.push_back(text); if (onMessage) onMessage(text); }
    bool confirm(const std::string& text, const std::string& title) override;
    std::optional<std::string> openFileName(const std::string& initialFolder, const std::string& filter) override;
    std::optional<std::string> saveFileName(const std::string& initialFolder, const std::string& filter) override;
    void beep() override { ++beeps; }

    std::vector<std::string> messages;
    std::function<void(const std::string&)> onMessage;
    std::deque<bool> confirmAnswers;
    std::deque<std::optional<std::string>> fileAnswers;  // nullopt: the user cancels
    struct Asked { std::string kind, text, title, folder, filter; };
    std::vector<Asked> asked;  // questions and file dialogs, in order
    int beeps = 0;
private:
    std::optional<std::string> fileAnswer(const char* kind, const std::string& folder, const std::string& filter);
};

class FakePrinter : public Printer {
public:
    bool choose() override { ++dialogs; return !cancel; }
    void printLine(const std::string& line) override;
    void endDoc() override { ++documents; }
    bool cancel = false;
    int failAfterLines = -1;  // a printer error after this many lines; -1: never
    std::vector<std::string> lines;
    int dialogs = 0;
    int documents = 0;
};

// Files on disk whose writes can be made to fail part-way, as on a full disk: with
// failAfterBytes set, a replace may write that many bytes of a file, then the system
// refuses the next write ("File too large").
class FailingDiskFileStore : public DiskFileStore {
public:
    void replaceWith(const std::string& path, const std::string& content) override;
    std::optional<std::size_t> failAfterBytes;
};

// A program folder of its own in a fresh temporary directory, removed afterwards.
// The pictures and help pages of the build are copied into it.
class TempEnvironment : public Environment {
public:
    TempEnvironment();
    ~TempEnvironment() override;
    std::string programFolder() const override { return folder_; }
    std::string settingsFileName() const override { return folder_ + "/KORVEN7.ini"; }
    std::string documentsFolder() const override { return folder_; }
    std::string nowText() const override { return "12/6/2026 7:30:00 AM"; }
    std::string path(const std::string& name) const { return folder_ + "/" + name; }
    void write(const std::string& name, const std::string& content) const;
    std::string read(const std::string& name) const;
private:
    std::string folder_;
};

}  // namespace k7::test
