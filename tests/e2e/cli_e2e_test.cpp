// korven7 end to end: the program itself, without a display, against korven7-sim on
// pseudo-terminals at 57600 baud, in real time.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>

#include "cfgfile/cfg_file.h"
#include "support/sim_process.h"

namespace k7::test {
namespace {

namespace fs = std::filesystem;

struct Ran {
    int status = -1;
    std::string out, err;
};

class Korven7 : public ::testing::Test {
protected:
    std::string dir = [] {
        std::string pattern = (fs::temp_directory_path() / "k7cli-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data()));
    }();
    ~Korven7() override { fs::remove_all(dir); }

    std::string put(const std::string& name, const std::string& content) {
        std::ofstream(dir + "/" + name, std::ios::binary) << content;
        return dir + "/" + name;
    }
    static std::string get(const std::string& path) {
        std::ostringstream s;
        s << std::ifstream(path, std::ios::binary).rdbuf();
        return s.str();
    }
    Ran run(const std::vector<std::string>& args, const std::function<void(pid_t)>& whileRunning = {}) {
        return exec(K7_BUILD_DIR "/korven7", args, std::nullopt, whileRunning);
    }
    Ran feed(const std::string& input, const std::vector<std::string>& args) { return exec(K7_BUILD_DIR "/korven7", args, input); }
    // Runs the program with DISPLAY unset, `input` on its standard input through a pipe;
    // `whileRunning` gets its process id. A signal that ends it gives status -signal.
    Ran exec(const std::string& program, const std::vector<std::string>& args, const std::optional<std::string>& input = {},
             const std::function<void(pid_t)>& whileRunning = {}) {
        const std::string out = dir + "/stdout", err = dir + "/stderr";
        int in[2] = {-1, -1};
        if (input && ::pipe(in) != 0) return {};
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::unsetenv("DISPLAY");
            ::unsetenv("WAYLAND_DISPLAY");
            ::setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);  // the keyboard's history goes here
            if (input) ::dup2(in[0], STDIN_FILENO), ::close(in[0]), ::close(in[1]);
            (void)!::freopen(out.c_str(), "w", stdout);
            (void)!::freopen(err.c_str(), "w", stderr);
            std::vector<std::string> all{program};
            all.insert(all.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (auto& a : all) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        if (input) {
            ::close(in[0]);
            (void)!::write(in[1], input->data(), input->size());
            ::close(in[1]);
        }
        if (whileRunning) whileRunning(pid);
        int status = 0;
        ::waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status), get(out), get(err)};
    }
};

const std::string kList = "001\tA\t{C7}x\r\n002\tM\tMNOPQRSTUV\r\n003\tF1\tHello{0D}\r\n";

TEST_F(Korven7, SendsReadsBackVerifiesAndAsksTheVersionOnThePortOfItsSettings) {
    SimProcess sim(57600);
    const std::string ini = put("k.ini", PortSettingsFile(sim.link(), 57600));
    const Ran sent = feed(kList, {"--settings", ini, "send", "-"});
    EXPECT_EQ(sent.status, 0) << sent.err;
    EXPECT_EQ(sent.err, "korven7: " + sim.link() + ": sent and verified\n");
    // What read prints is the list's .cfg text, which verify takes back.
    const Ran printed = run({"--settings", ini, "--fast", "read"});
    std::istringstream text(printed.out);
    EXPECT_EQ(readCfgFile(text).entries.size(), 3u) << printed.out;
    const Ran fedBack = feed(printed.out, {"--settings", ini, "--fast", "verify", "-"});
    EXPECT_EQ(fedBack.status, 0) << fedBack.err;
    const Ran read = run({"--settings", ini, "--fast", "read", "-o", dir + "/back.cfg"});
    EXPECT_EQ(read.status, 0) << read.err;
    std::ifstream back(dir + "/back.cfg", std::ios::binary);
    const CfgContent content = readCfgFile(back);
    EXPECT_EQ(content.entries, (std::vector<KeyString>{{"A", "{C7}x"}, {"M", "MNOPQRSTUV"}, {"F1", "Hello{0D}"}}));
    const Ran verify = run({"--port", "COM1", "--settings", ini, "--fast", "--quiet", "verify", put("o.cfg", "1\tA\t{C7}x\r\n")});
    EXPECT_EQ(verify.status, 1);
    EXPECT_EQ(verify.out, "M\tm\tMNOPQRSTUV\nF1\t{F1}\tHello{0D}\n");
    const Ran version = run({"--port", sim.link(), "--baud=57600", "--json", "version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find(R"("outcome":"ok","message":"version KORVEN7 V2.14","version":"KORVEN7 V2.14")"),
              std::string::npos) << version.out;
}

TEST_F(Korven7, ProgramsTwoKeyboardsAtOnceAndDetectFindsTheOneThatAnswers) {
    SimProcess a(57600), b(57600), silent(57600, {"--silent"});
    const Ran sent = run({"--port", a.link(), "--port", b.link(), "--baud", "57600", "--fast", "send", put("l.cfg", kList)});
    EXPECT_EQ(sent.status, 0) << sent.err;
    EXPECT_EQ(sent.err, "korven7: " + a.link() + ": sent and verified\nkorven7: " + b.link() + ": sent and verified\n");
    const Ran found = run({"--port", silent.link(), "--port", b.link(), "--baud", "57600", "--fast", "detect"});
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, b.link() + "\t57600\tKORVEN7 V2.14\n");
}

TEST_F(Korven7, ExitStatusesTellABrokenFileASilentKeyboardAndAMissingPort) {
    SimProcess silent(57600, {"--silent"});
    const std::string b = put("b.cfg", "001\tA\tx\r\n002\tB\t{G0}\r\nhello\r\n101\tC\tx\r\n");
    const Ran broken = run({"--port", silent.link(), "send", b});
    EXPECT_EQ(broken.status, 2);
    EXPECT_EQ(broken.err, "korven7: " + b + ": line 2: the string of \"B\": \"{G0}\" is not a byte: braces hold two hex digits\n"
                          "korven7: " + b + ": line 3: a line holds number, key and string separated by TAB\n"
                          "korven7: " + b + ": line 4: sequence number 101 is above 100\n");
    const Ran quiet = run({"--port", silent.link(), "--baud", "57600", "read"});
    EXPECT_EQ(quiet.status, 3);
    EXPECT_EQ(quiet.err, "korven7: " + silent.link() + ": no answer from the keyboard (no reply to the version request) "
                         "at 57600 baud; korven7 detect asks every port at every rate\n");
    const Ran missing = run({"--port", "/dev/k7-no-such-port", "version"});
    EXPECT_EQ(missing.status, 3);
    EXPECT_EQ(missing.err, "korven7: /dev/k7-no-such-port: no such device (unplugged?)\n");
    EXPECT_EQ(run({"--baud", "x", "version"}).status, 2);
    const std::string ini = put("bad.ini", "[COMSETTINGS]\r\nPORT=x\r\nBAUD=fast\r\n");
    EXPECT_TRUE(run({"--settings", ini, "--port", "/dev/k7-no-such-port", "version"})
                    .err.starts_with("korven7: " + ini + ": [COMSETTINGS] PORT=x is not a number; 1 is used\nkorven7: " +
                                     ini + ": [COMSETTINGS] BAUD=fast is not a baud rate; 9600 is used\n"));
    EXPECT_EQ(run({"ports"}).status, 0);
}

TEST_F(Korven7, CheckDryRunBackupAndTheEmptyListRefusalChangeNothingOnTheKeyboard) {
    SimProcess sim(57600), rowSilent(57600, {"--silent-rows", "9"});
    const std::string ini = put("k.ini", PortSettingsFile(sim.link(), 57600)), list = put("list.cfg", kList);
    const Ran checked = run({"check", list});  // no keyboard needed
    EXPECT_EQ(checked.status, 0);
    EXPECT_EQ(checked.out, "A\t{C7}x\nM\tMNOPQRSTUV\nF1\tHello{0D}\n");
    EXPECT_EQ(run({"check", put("bad.cfg", "001\tA\t{G0}\r\n")}).status, 2);
    const Ran empty = run({"--settings", ini, "send", put("empty.cfg", "#no entries\r\n")});
    EXPECT_EQ(empty.status, 2);
    EXPECT_EQ(empty.err, "korven7: " + dir + "/empty.cfg: the list sets no key: every key would get its default "
                         "string; add --allow-empty to do that\n");

    ASSERT_EQ(run({"--settings", ini, "--fast", "send", put("b.cfg", "001\tB\tzz\r\n")}).status, 0);
    const Ran dry = run({"--settings", ini, "--fast", "send", "--dry-run", list});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, "A\ta\t{C7}x\nB\tzz\tb\nM\tm\tMNOPQRSTUV\nF1\t{F1}\tHello{0D}\n");
    EXPECT_EQ(dry.err, "korven7: " + sim.link() + ": dry run, nothing written: 4 keys would change\n");
    const Ran after = run({"--settings", ini, "--fast", "read"});
    EXPECT_TRUE(after.out.ends_with("\r\n\r\n001\tB\tzz\r\n")) << after.out << after.err;  // the list sent before

    const Ran backedUp = run({"--settings", ini, "--fast", "send", "--backup", dir + "/before.cfg", list});
    EXPECT_EQ(backedUp.status, 0) << backedUp.err;
    std::ifstream before(dir + "/before.cfg", std::ios::binary);
    EXPECT_EQ(readCfgFile(before).entries, (std::vector<KeyString>{{"B", "zz"}}));
    const Ran stopped = run({"--port", rowSilent.link(), "--baud", "57600", "--fast", "send", "--backup", dir, list});
    EXPECT_EQ(stopped.status, 3);
    EXPECT_EQ(stopped.err, "korven7: " + rowSilent.link() + ": nothing was erased: the backup read failed: 1 key did not answer: J\n");
    // Kept in the history: the two sends, the read, and the backup before the second send.
    const auto kept = std::distance(fs::directory_iterator(dir + "/data/korven7-config/history"), fs::directory_iterator());
    EXPECT_EQ(kept, 4);
}

TEST_F(Korven7, CtrlCStopsASendPartWayClosesThePortAndSaysTheKeyboardNeedsANewSend) {
    SimProcess sim(57600);
    const std::string log = dir + "/send.log";
    const Ran stopped = run({"--port", sim.link(), "--log", log, "send", put("l.cfg", kList)}, [&](pid_t pid) {
        auto lines = [&] { const std::string text = get(log); return std::count(text.begin(), text.end(), '\n'); };
        for (int i = 0; i < 2000 && lines() < 30; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ::kill(pid, SIGINT);
    });
    EXPECT_EQ(stopped.status, 130);
    EXPECT_EQ(stopped.err, "korven7: " + sim.link() + ": interrupted part-way; the keyboard needs a new send\n");
    EXPECT_EQ(get(log).rfind("KORVEN7 device is attached\n", 0), 0u);
    EXPECT_EQ(run({"--port", sim.link(), "--baud", "57600", "--quiet", "version"}).out, "KORVEN7 V2.14\n");
    const Ran terminated = run({"--port", sim.link(), "read"}, [&](pid_t pid) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        ::kill(pid, SIGTERM);
    });
    EXPECT_EQ(terminated.status, 143);
    EXPECT_EQ(terminated.err, "korven7: " + sim.link() + ": interrupted\n");
}

TEST_F(Korven7, RefusesAtOnceWhatCannotBeAListOnePortGivenTwiceAndAListItCouldNotWrite) {
    SimProcess sim(57600);
    const auto refused = [&](const std::vector<std::string>& args) {
        const Ran ran = run(args);
        return std::to_string(ran.status) + " " + ran.err;
    };
    EXPECT_EQ(refused({"--port", sim.link(), "verify", "/dev/zero"}), "2 korven7: /dev/zero: cannot be opened (Not a regular file or pipe)\n");
    const std::string big = put("big.cfg", std::string(2 << 20, '\n'));
    EXPECT_EQ(refused({"--port", sim.link(), "verify", big}),
              "2 korven7: " + big + ": cannot be read (The file is over 1 MiB, larger than any list can be)\n");
    const std::string target = fs::read_symlink(sim.link()).string();
    EXPECT_EQ(refused({"--port", sim.link(), "--port", target, "version"}),
              "2 korven7: --port: " + sim.link() + " and " + target + " are the same device (" + target + "), given twice\n");
    const std::string nowhere = dir + "/no-such-folder/back.cfg";
    EXPECT_EQ(refused({"--port", sim.link(), "--baud", "57600", "read", "-o", nowhere}),
              "2 korven7: " + nowhere + " cannot be written (No such file or directory); nothing was read\n");
}

TEST_F(Korven7, LeavesTheUserFolderAloneLogsEveryLineWithItsPortAndTheWindowAnswersHelpWithoutADisplay) {
    // An installed copy, which would keep a window's settings in the user's configuration folder.
    fs::create_directories(dir + "/usr/share/korven7-config");
    fs::create_directories(dir + "/usr/bin");
    fs::copy_file(K7_BUILD_DIR "/korven7", dir + "/usr/bin/korven7");
    SimProcess a(57600, {"--version-text", "NOPE\\r\\n"}), b(57600, {"--version-text", "NOPE\\r\\n"});
    const Ran ran = exec("/usr/bin/env", {"-u", "XDG_CONFIG_HOME", "HOME=" + dir + "/home", dir + "/usr/bin/korven7", "--port",
                                          a.link(), "--port", b.link(), "--baud", "57600", "--log", dir + "/log", "read"});
    EXPECT_EQ(ran.status, 3) << ran.err;
    EXPECT_FALSE(fs::exists(dir + "/home"));
    std::istringstream log(get(dir + "/log"));
    int count = 0;
    for (std::string line; std::getline(log, line); ++count)
        EXPECT_TRUE(line.find('\r') == line.npos && (line.starts_with(a.link() + ": ") || line.starts_with(b.link() + ": ")))
            << line;
    EXPECT_EQ(count, 4);  // each port: the read asked for, the keyboard not attached
    // A second emulator leaves the link of the first alone; the window refuses what is no file.
    EXPECT_EQ(exec("/usr/bin/timeout", {"5", K7_BUILD_DIR "/korven7-sim", a.link()}).status, 2);
    EXPECT_EQ(run({"--port", a.link(), "--baud", "57600", "--quiet", "version"}).out, "NOPE\n");
    const std::string window = K7_BUILD_DIR "/korven7-config";
    EXPECT_TRUE(exec(window, {"--help"}).out.starts_with("usage: korven7-config"));
    EXPECT_TRUE(exec(window, {"--version"}).out.starts_with("korven7-config 1."));
    for (const char* notAFile : {"--bogus", "-bogus", "nosuch.cfg"}) {
        const Ran refused = exec("/usr/bin/env", {"QT_QPA_PLATFORM=offscreen", "timeout", "10", window, notAFile});
        EXPECT_TRUE(refused.status == 2 && refused.err.find("usage: korven7-config") != std::string::npos) << refused.err;
    }
}

TEST_F(Korven7, StationProgramsEachPlugOnceRecordsItAndLeavesAKeyboardThatWasThereAlone) {
    const std::string watched = dir + "/by-id", record = dir + "/record.jsonl", list = put("l.cfg", kList);
    fs::create_directory(watched);
    SimProcess onDesk(57600, {}, watched + "/usb-desk", dir + "/desk.log");
    auto waitFor = [](const std::function<bool()>& done) {
        for (int i = 0; i < 3000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    auto recorded = [&](long n) { return [&, n] { const std::string t = get(record); return std::count(t.begin(), t.end(), '\n') == n; }; };
    // The emulators answer at 57600 baud while the station allows for 19200: room for a loaded machine.
    const Ran ran = run({"--settings", put("k.ini", ""), "--baud", "19200", "--fast", "station", list, "--watch", watched,
                         "--record", record}, [&](pid_t pid) {
        waitFor([&] { return get(dir + "/stdout").find("watching") != std::string::npos; });
        { SimProcess a(57600, {}, watched + "/usb-A"); waitFor(recorded(1)); }
        { SimProcess b(57600, {"--appear-after", "0.3"}, watched + "/usb-B"); waitFor(recorded(2)); }
        {
            SimProcess c(57600, {}, watched + "/usb-C", dir + "/c.log");
            waitFor([&] { return get(dir + "/c.log").find("staged") != std::string::npos; });
            c.stop();
            waitFor(recorded(3));
        }
        SimProcess again(57600, {}, watched + "/usb-C");
        waitFor(recorded(4));
        ::kill(pid, SIGINT);
    });
    EXPECT_EQ(ran.status, 1) << ran.err;
    const std::string text = std::regex_replace(get(record), std::regex(R"x("time":"[-0-9T:]+Z","link":"(usb-.)","device":"/dev/pts/[0-9]+")x"),
                                                R"("link":"$1")");
    const std::string head = R"(,"serial_number":null,"manufacturer":null,"firmware":"KORVEN7 V2.14","file":")" + list +
                             R"(","sha256":"c8e596375a0aa0db7ba14ded08f54dcc27b411187db8ff9b361ecd79173715a8","outcome":)";
    const std::string passed = head + R"("pass","reason":"sent and verified","needs_new_send":false,"keys":\[\],"seconds":)";
    const std::regex lines(R"(\{"link":"usb-A")" + passed + R"([0-9.]+\}
\{"link":"usb-B")" + passed + R"([0-9.]+\}
\{"link":"usb-C")" + head + R"("interrupted","reason":"unplugged part-way; the keyboard needs a new send","needs_new_send":true,"keys":\[\],"seconds":[0-9.]+\}
\{"link":"usb-C")" + passed + R"([0-9.]+\}
)");
    EXPECT_TRUE(std::regex_match(text, lines)) << text;
    EXPECT_NE(ran.out.find("usb-desk: there before the station started; left alone"), std::string::npos) << ran.out;
    EXPECT_TRUE(ran.out.ends_with("station stopped: 3 programmed, 1 failed\n")) << ran.out;
    EXPECT_EQ(get(dir + "/desk.log").find("opened"), std::string::npos);
}

TEST_F(Korven7, StationStopsOnceItsRecordCannotBeWritten) {
    const std::string watched = dir + "/by-id";
    fs::create_directory(watched);
    const Ran ran = run({"--settings", put("k.ini", ""), "--baud", "19200", "--fast", "station", put("l.cfg", kList),
                         "--watch", watched, "--record", "/dev/full"}, [&](pid_t pid) {
        auto waitFor = [&](const std::string& text) {
            for (int i = 0; i < 3000 && get(dir + "/stdout").find(text) == std::string::npos; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        };
        waitFor("watching");
        SimProcess a(57600, {}, watched + "/usb-A");
        waitFor("PASS");
        std::this_thread::sleep_for(std::chrono::seconds(1));
        ::kill(pid, SIGINT);  // too late to matter when the station stopped by itself
    });
    EXPECT_EQ(ran.status, 2) << ran.out;
    EXPECT_EQ(ran.err, "korven7: /dev/full: the record cannot be written (No space left on device); the station stops\n");
}

// A keyboard behind a slow USB adapter: every reply starts 20 ms late, so a read-back
// reply is still arriving when its wait ends.
TEST_F(Korven7, AKeyboardThatAnswersLateIsSentReadAndVerified) {
    SimProcess sim(57600, {"--slow", "20"});
    const std::string list = put("l.cfg", kList);
    const Ran sent = run({"--port", sim.link(), "--baud", "57600", "send", list});
    EXPECT_EQ(sent.status, 0) << sent.err;
    const Ran read = run({"--port", sim.link(), "--baud", "57600", "--fast", "read", "-o", dir + "/back.cfg"});
    EXPECT_EQ(read.status, 0) << read.err;
    std::ifstream back(dir + "/back.cfg", std::ios::binary);
    EXPECT_EQ(readCfgFile(back).entries, (std::vector<KeyString>{{"A", "{C7}x"}, {"M", "MNOPQRSTUV"}, {"F1", "Hello{0D}"}}));
}

}  // namespace
}  // namespace k7::test
