// korven7 from its arguments to its exit status, on virtual time: fake ports wired to
// emulators by name, real files in a temporary folder, the jobs run one after another.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "cli/command_runner.h"
#include "platform/disk_file_store.h"
#include "support/fake_port.h"

namespace k7::test {
namespace {

namespace fs = std::filesystem;

struct Rig {
    VirtualClock clock;
    FakePump* pump = nullptr;  // the job's, while it runs
    std::map<std::string, Korven7Emulator> keyboards;  // by device: each answers at 9600 baud
    std::map<std::string, FakeSerialPort::OpenFailure> unopenable;
    std::string dir = [] {
        std::string pattern = (fs::temp_directory_path() / "k7run-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data()));
    }();
    ~Rig() { fs::remove_all(dir); }
    std::string put(const std::string& name, const std::string& content) {
        std::ofstream(dir + "/" + name, std::ios::binary) << content;
        return dir + "/" + name;
    }

    std::ostringstream out, err;
    DiskFileStore files;
    CliPlatform platform{
        out, err, false, files, [this] { return dir + "/KORVEN7.ini"; }, [] { return "now"; },
        [this] { return dir + "/history"; },
        [] { return std::vector<SerialPortInfo>{}; },
        [this] {
            auto port = std::make_unique<FakeSerialPort>(clock, *pump);
            for (auto& [device, keyboard] : keyboards) port->wired[device] = &keyboard;
            port->failOpenAt = unopenable;
            return port;
        },
        [this] {
            auto pump = std::make_unique<FakePump>(clock);
            this->pump = pump.get();
            return pump;
        },
        [](const std::vector<std::function<void()>>& jobs, const std::function<void(int)>&) {
            for (const auto& job : jobs) job();
        },
    };
    int run(const std::vector<std::string>& args) { return runCommandLine(args, platform); }
};

const std::string kList = "001\tA\tx\r\n";

TEST(Korven7Run, SaysWhatWentWrongAndExitsWithOneStatusPerFact) {
    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::function<void(Rig&)> setUp;
        int status;
        std::string err;
    };
    const auto keyboard = [](const std::function<void(EmulatorFaults&)>& fault = {}) {
        return [fault](Rig& rig) {
            if (fault) fault(rig.keyboards["/dev/k7"].faults());
            else rig.keyboards["/dev/k7"];
        };
    };
    const auto unopenable = [](PortFailure kind) {
        return [kind](Rig& rig) { rig.unopenable["/dev/k7"] = {kind, "the system's words"}; };
    };
    const std::vector<Case> cases{
        {"missing", {"read"}, unopenable(PortFailure::Missing), 3, "korven7: /dev/k7: no such device (unplugged?)\n"},
        {"busy", {"send", "LIST"}, unopenable(PortFailure::Busy), 3,
         "korven7: /dev/k7: in use by another program; nothing was written\n"},
        {"forbidden", {"version"}, unopenable(PortFailure::NoPermission), 3,
         "korven7: /dev/k7: no permission to use it; the fix: sudo usermod -aG dialout $USER, then log out and in again\n"},
        {"silent", {"verify", "LIST"}, keyboard([](auto& f) { f.silent = true; }), 3,
         "korven7: /dev/k7: no answer from the keyboard (no reply to the version request) at 9600 baud; "
         "korven7 detect asks every port at every rate\n"},
        {"read, a key silent", {"read"}, keyboard([](auto& f) { f.silentRows = {5}; }), 3,
         "korven7: /dev/k7: 1 key did not answer: F\n"},
        {"verify, a key silent", {"verify", "LIST"}, keyboard([](auto& f) { f.silentRows = {5}; }), 3,
         "korven7: /dev/k7: 1 key did not answer: F; 1 key differs: A\n"},
        {"verify, differs", {"verify", "LIST"}, keyboard(), 1, "korven7: /dev/k7: 1 key differs from the list: A\n"},
        {"no acknowledgement", {"send", "LIST"}, keyboard([](auto& f) { f.noAckAtFrame = 3; }), 3,
         "korven7: /dev/k7: the keyboard did not acknowledge the write frame of slot 1; the keyboard needs a new send\n"},
        {"fast, malformed", {"--fast", "read"}, keyboard([](auto& f) { f.badScancode = 3; }), 3,
         "korven7: /dev/k7: a reply from the keyboard cannot be read (Subscript out of range); --fast may have taken a reply "
         "before it was whole: run without --fast\n"},
        {"bad usage", {"read", "--baud", "x"}, keyboard(), 2,
         "korven7: --baud: not a baud rate: 'x' (50 to 4000000) (see korven7 --help)\n"},
    };
    for (const Case& c : cases) {
        Rig rig;
        c.setUp(rig);
        std::vector<std::string> args{"--port", "/dev/k7"};
        for (const std::string& arg : c.args) args.push_back(arg == "LIST" ? rig.put("l.cfg", kList) : arg);
        EXPECT_EQ(rig.run(args), c.status) << c.what;
        EXPECT_EQ(rig.err.str(), c.err) << c.what;
    }
}

TEST(Korven7Run, JsonIsOneDocumentOnEveryRunAndNothingOnStandardError) {
    Rig rig;
    EXPECT_EQ(rig.run({"read", "--bogus", "--json"}), 2);
    EXPECT_EQ(rig.out.str(), R"j({"command":"","exit_status":2,"error":"unknown option '--bogus' (see korven7 --help)","results":[]})j"
                             "\n");
    const std::string bad = rig.put("b.cfg", "001\tA\t{G0}\r\n");
    rig.out.str("");
    EXPECT_EQ(rig.run({"--json", "--port", "/dev/k7", "verify", bad}), 2);
    EXPECT_EQ(rig.out.str(), R"({"command":"verify","exit_status":2,"error":")" + bad +
                                 R"j(: line 1: the string of \"A\": \"{G0}\" is not a byte: braces hold two hex digits","results":[]})j"
                                 "\n");
    rig.out.str("");
    EXPECT_EQ(rig.run({"--json", "--port", "/dev/k7", "version"}), 3);
    EXPECT_NE(rig.out.str().find(R"("outcome":"no-answer")"), std::string::npos) << rig.out.str();
    EXPECT_EQ(rig.err.str(), "");
}

TEST(Korven7Run, EveryPortIsToldApartWhenTheFirstFailsAndTheLastSucceeds) {
    Rig rig;
    rig.unopenable["/dev/a"] = {PortFailure::Busy, "Locked"};
    rig.keyboards["/dev/b"].faults().silent = true;
    rig.keyboards["/dev/c"];
    EXPECT_EQ(rig.run({"--port", "/dev/a", "--port", "/dev/b", "--port", "/dev/c", "version"}), 3);
    EXPECT_EQ(rig.out.str(), "/dev/c\tKORVEN7 V2.14\n");
    EXPECT_EQ(rig.err.str(), "korven7: /dev/a: in use by another program\n"
                             "korven7: /dev/b: no answer from the keyboard (no reply to the version request) at 9600 baud; "
                             "korven7 detect asks every port at every rate\n"
                             "korven7: /dev/c: version KORVEN7 V2.14\n");
    // Detect asks them all: it names every keyboard that answers and the port it could not ask.
    rig.keyboards["/dev/b"].faults().silent = false;
    rig.out.str(""), rig.err.str("");
    EXPECT_EQ(rig.run({"--port", "/dev/a", "--port", "/dev/b", "--port", "/dev/c", "--baud", "9600", "detect"}), 0);
    EXPECT_EQ(rig.out.str(), "/dev/b\t9600\tKORVEN7 V2.14\n/dev/c\t9600\tKORVEN7 V2.14\n");
    EXPECT_EQ(rig.err.str(), "korven7: /dev/b: KORVEN7 found at 9600 baud: KORVEN7 V2.14\n"
                             "korven7: /dev/c: KORVEN7 found at 9600 baud: KORVEN7 V2.14\n"
                             "korven7: /dev/a: skipped: in use by another program\n");
}

}  // namespace
}  // namespace k7::test
