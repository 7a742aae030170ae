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
    using Env = std::vector<std::pair<const char*, const char*>>;  // a nullptr value unsets
    struct How {
        std::string program;
        std::optional<std::string> input;         // standard input, through a pipe
        Env env;
        std::function<void(pid_t)> whileRunning;  // gets the process id
    };
    static constexpr const char* kKorven7 = K7_BUILD_DIR "/korven7";
    Ran run(const std::vector<std::string>& args, const std::function<void(pid_t)>& whileRunning = {}) {
        return runWith({kKorven7, std::nullopt, {}, whileRunning}, args);
    }
    // Ends the process with SIGTERM unless it ends by itself within `ms`.
    static std::function<void(pid_t)> stopAfter(int ms) {
        return [ms](pid_t pid) {
            for (int waited = 0; waited < ms; waited += 20) {
                siginfo_t info{};
                if (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid) return;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            ::kill(pid, SIGTERM);
        };
    }
    Ran feed(const std::string& input, const std::vector<std::string>& args) { return runWith({kKorven7, input, {}, {}}, args); }
    // Runs the program with DISPLAY unset; a signal that ends it gives status -signal.
    Ran runWith(const How& how, const std::vector<std::string>& args) {
        const std::string out = dir + "/stdout", err = dir + "/stderr";
        int in[2] = {-1, -1};
        if (how.input && ::pipe(in) != 0) return {};
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::unsetenv("DISPLAY");
            ::unsetenv("WAYLAND_DISPLAY");
            for (const auto& [name, value] : how.env) value ? ::setenv(name, value, 1) : ::unsetenv(name);
            if (how.input) ::dup2(in[0], STDIN_FILENO), ::close(in[0]), ::close(in[1]);
            (void)!::freopen(out.c_str(), "w", stdout);
            (void)!::freopen(err.c_str(), "w", stderr);
            std::vector<std::string> all{how.program};
            all.insert(all.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (auto& a : all) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        if (how.input) {
            ::close(in[0]);
            (void)!::write(in[1], how.input->data(), how.input->size());
            ::close(in[1]);
        }
        if (how.whileRunning) how.whileRunning(pid);
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
    const std::string badSettings = run({"--settings", ini, "--port", "/dev/k7-no-such-port", "version"}).err;
    EXPECT_TRUE(badSettings.starts_with("korven7: " + ini + ": [COMSETTINGS] PORT=x is not a number; 1 is used\nkorven7: " +
                                        ini + ": [COMSETTINGS] BAUD=fast is not a baud rate; 9600 is used\n"))
        << badSettings;
    EXPECT_EQ(run({"ports"}).status, 0);
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
    const Ran zero = run({"--port", sim.link(), "verify", "/dev/zero"});
    EXPECT_EQ(zero.status, 2);
    EXPECT_EQ(zero.err, "korven7: /dev/zero: cannot be opened (Not a regular file or pipe)\n");
    const std::string big = put("big.cfg", std::string(2 << 20, '\n'));
    EXPECT_EQ(run({"--port", sim.link(), "verify", big}).err,
              "korven7: " + big + ": cannot be read (The file is over 1 MiB, larger than any list can be)\n");
    const std::string target = fs::read_symlink(sim.link()).string();
    const Ran twice = run({"--port", sim.link(), "--port", target, "version"});
    EXPECT_EQ(twice.status, 2);
    EXPECT_EQ(twice.err, "korven7: --port: " + sim.link() + " and " + target + " are the same device (" + target + "), given twice\n");
    const std::string nowhere = dir + "/no-such-folder/back.cfg";
    const Ran unwritable = run({"--port", sim.link(), "--baud", "57600", "read", "-o", nowhere});
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_EQ(unwritable.err, "korven7: " + nowhere + " cannot be written (No such file or directory); nothing was read\n");
}

TEST_F(Korven7, LeavesTheUserFolderAloneAndLogsEveryLineWholeWithItsPort) {
    // An installed copy, which would keep a window's settings in the user's configuration folder.
    fs::create_directories(dir + "/usr/bin");
    fs::create_directories(dir + "/usr/share/korven7-config");
    fs::copy_file(K7_BUILD_DIR "/korven7", dir + "/usr/bin/korven7");
    const std::string home = dir + "/home", log = dir + "/two.log";
    SimProcess a(57600, {"--version-text", "NOPE\\r\\n"}), b(57600, {"--version-text", "NOPE\\r\\n"});
    const Ran ran = runWith({dir + "/usr/bin/korven7", std::nullopt, {{"HOME", home.c_str()}, {"XDG_CONFIG_HOME", nullptr}}, {}},
                            {"--port", a.link(), "--port", b.link(), "--baud", "57600", "--log", log, "read"});
    EXPECT_EQ(ran.status, 3) << ran.err;
    EXPECT_FALSE(fs::exists(home));
    std::istringstream lines(get(log));
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        EXPECT_TRUE(line.starts_with(a.link() + ": ") || line.starts_with(b.link() + ": ")) << line;
        EXPECT_EQ(line.find('\r'), std::string::npos) << line;
    }
    EXPECT_EQ(count, 4);  // each port: the read asked for, the keyboard not attached
}

TEST_F(Korven7, TheWindowAnswersHelpWithoutADisplayAndTheEmulatorKeepsItsLink) {
    const How window{K7_BUILD_DIR "/korven7-config", std::nullopt, {{"QT_QPA_PLATFORM", "offscreen"}}, stopAfter(10000)};
    const How noDisplay{window.program, std::nullopt, {{"QT_QPA_PLATFORM", nullptr}}, {}};
    const Ran help = runWith(noDisplay, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("usage: korven7-config")) << help.out;
    EXPECT_TRUE(runWith(noDisplay, {"--version"}).out.starts_with("korven7-config 1."));
    for (const char* notAFile : {"--bogus", "-bogus", "nosuch.cfg"}) {
        const Ran refused = runWith(window, {notAFile});
        EXPECT_EQ(refused.status, 2) << notAFile;
        EXPECT_NE(refused.err.find("usage: korven7-config"), std::string::npos) << refused.err;
    }
    SimProcess sim(57600);
    const Ran second = runWith({K7_BUILD_DIR "/korven7-sim", std::nullopt, {}, stopAfter(5000)}, {sim.link()});
    EXPECT_EQ(second.status, 2);
    EXPECT_EQ(run({"--port", sim.link(), "--baud", "57600", "--quiet", "version"}).out, "KORVEN7 V2.14\n");
}

}  // namespace
}  // namespace k7::test
