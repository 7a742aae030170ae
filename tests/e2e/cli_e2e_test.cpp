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
    // Runs build/korven7 with DISPLAY unset; `whileRunning` gets its process id.
    Ran run(const std::vector<std::string>& args, const std::function<void(pid_t)>& whileRunning = {}) {
        const std::string out = dir + "/stdout", err = dir + "/stderr";
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::unsetenv("DISPLAY");
            ::unsetenv("WAYLAND_DISPLAY");
            ::setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);  // the keyboard's history goes here
            (void)!::freopen(out.c_str(), "w", stdout);
            (void)!::freopen(err.c_str(), "w", stderr);
            std::vector<std::string> all{K7_BUILD_DIR "/korven7"};
            all.insert(all.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (auto& a : all) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        if (whileRunning) whileRunning(pid);
        int status = 0;
        ::waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), get(out), get(err)};
    }
};

const std::string kList = "001\tA\t{C7}x\r\n002\tM\tMNOPQRSTUV\r\n003\tF1\tHello{0D}\r\n";

TEST_F(Korven7, SendsReadsBackVerifiesAndAsksTheVersionOnThePortOfItsSettings) {
    SimProcess sim(57600);
    const std::string ini = put("k.ini", PortSettingsFile(sim.link(), 57600)), list = put("list.cfg", kList);
    const Ran sent = run({"--settings", ini, "send", list});
    EXPECT_EQ(sent.status, 0) << sent.err;
    EXPECT_EQ(sent.err, "korven7: " + sim.link() + ": sent and verified\n");
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
    const Ran broken = run({"--port", silent.link(), "send", put("b.cfg", "001\tA\tx\r\n002\tB\t{G0}\r\n")});
    EXPECT_EQ(broken.status, 2);
    EXPECT_EQ(broken.err, "korven7: " + dir + "/b.cfg: line 2: the string of \"B\" cannot be read (Type mismatch)\n");
    const Ran quiet = run({"--port", silent.link(), "--baud", "57600", "read"});
    EXPECT_EQ(quiet.status, 3);
    EXPECT_EQ(quiet.err, "korven7: " + silent.link() + ": no answer from the keyboard (no reply to the version request) "
                         "at 57600 baud; korven7 detect asks every port at every rate\n");
    const Ran missing = run({"--port", "/dev/k7-no-such-port", "version"});
    EXPECT_EQ(missing.status, 3);
    EXPECT_EQ(missing.err, "korven7: /dev/k7-no-such-port: no such device (unplugged?)\n");
    EXPECT_EQ(run({"--baud", "x", "version"}).status, 2);
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
    EXPECT_EQ(after.out, "B\tzz\n") << after.err;

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
}

}  // namespace
}  // namespace k7::test
