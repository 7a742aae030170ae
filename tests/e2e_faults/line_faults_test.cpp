// Faults on the line end to end: the real main window offscreen, the real serial port,
// korven7-sim on a pseudo-terminal. The emulator dies in the middle of an operation, or
// the port cannot be opened at all. Every operation must end, report, give the buttons
// back, close the port and leave the list alone.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QSerialPort>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>

#include "qtsupport/qt_app.h"
#include "support/sim_process.h"
#include "support/soak.h"

namespace fs = std::filesystem;

namespace k7::test {
namespace {

// A hung operation never returns to the test: end the whole program instead.
class Watchdog {
public:
    explicit Watchdog(int seconds)
        : thread_([this, seconds] {
              std::unique_lock lock(mutex_);
              if (!done_.wait_for(lock, std::chrono::seconds(seconds), [this] { return finished_; })) {
                  std::fprintf(stderr, "operation still running after %d s: hung\n", seconds);
                  std::abort();
              }
          }) {}
    ~Watchdog() {
        { std::lock_guard lock(mutex_); finished_ = true; }
        done_.notify_one();
        thread_.join();
    }
private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

const std::vector<std::string> kList{"F1\tHello", "A\t{C7}x", "M\tMNOPQRSTUV"};
const char* const kButtons[] = {"AddToList", "SendKeys", "VerifyBtn", "ReadKeys", "GetVersionBtn", "KeyString", "KbdKey"};

std::vector<std::string> Items(const ListBox& box) {
    std::vector<std::string> items;
    for (int i = 0; i < box.count(); ++i) items.push_back(box.item(i));
    return items;
}

// The window on a given port, the log kept between operations and a list of three entries.
struct Window {
    explicit Window(const std::string& device) : rig(PortSettingsFile(device, 57600)) {
        static_cast<QCheckBox*>(rig.widget("clrstat"))->setChecked(false);
        for (const auto& entry : kList) rig.form->List1.addItem(entry);
    }
    void click(const std::string& button) {
        Watchdog watchdog(30);
        static_cast<QPushButton*>(rig.widget(button))->click();
    }
    std::vector<std::string> log() const { return Items(rig.form->StatusBox); }
    std::vector<std::string> list() const { return Items(rig.form->List1); }
    std::vector<std::string> disabledButtons() {
        std::vector<std::string> disabled;
        for (const char* name : kButtons)
            if (!rig.widget(name)->isEnabled()) disabled.push_back(name);
        return disabled;
    }
    // There is a message, and every message starts with one of `prefixes`.
    ::testing::AssertionResult messagesStartWith(const std::vector<std::string>& prefixes) const {
        if (rig.dialogs.messages.empty()) return ::testing::AssertionFailure() << "no message";
        for (const auto& m : rig.dialogs.messages) {
            const auto starts = [&](const std::string& p) { return m.rfind(p, 0) == 0; };
            if (std::none_of(prefixes.begin(), prefixes.end(), starts))
                return ::testing::AssertionFailure() << "message: " << m;
        }
        return ::testing::AssertionSuccess();
    }
    QtRig rig;
};

void ExpectOperationEndedCleanly(Window& w) {
    EXPECT_EQ(w.disabledButtons(), std::vector<std::string>{});
    EXPECT_FALSE(w.rig.form->MSComm1.isOpen());
    EXPECT_EQ(w.list(), kList);
}

// ---- The emulator dies while an operation runs --------------------------------------

struct KillCase {
    const char* name;
    const char* button;
    int linesBeforeKill;  // log lines the operation has written when the emulator dies
    std::vector<std::string> messagePrefixes;
    const char* logLine;  // a line the log must show when the wait noticed the loss, or nullptr
};

// A frame written after the line is gone fails at once and ends the send there.
const std::string kWriteFailed = "Error sending to KORVEN7. ";

void PrintTo(const KillCase& c, std::ostream* os) { *os << c.name; }

// A line that reports an operation as done.
bool IsVerdict(const std::string& line) {
    const auto endsWith = [&](const std::string& tail) {
        return line.size() >= tail.size() && line.compare(line.size() - tail.size(), tail.size(), tail) == 0;
    };
    return line == "KORVEN7 strings verified successfully against list" || endsWith(" custom strings") ||
           line == "ALL KORVEN7 strings found to be default values" || endsWith("FAILED to match list");
}

class EmulatorKilled : public ::testing::TestWithParam<KillCase> {};

TEST_P(EmulatorKilled, TheOperationEndsReportsAndGivesTheWindowBack) {
    const KillCase& c = GetParam();
    SimProcess sim(57600);
    Window w(sim.link());
    QTimer watcher;
    watcher.setInterval(1);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (w.rig.form->StatusBox.count() >= c.linesBeforeKill) {
            sim.kill();
            watcher.stop();
        }
    });
    watcher.start();
    w.click(c.button);

    ASSERT_FALSE(watcher.isActive()) << "the operation ended before the emulator was killed";
    EXPECT_TRUE(w.messagesStartWith(c.messagePrefixes));
    const auto log = w.log();
    const bool writeFailed = w.rig.dialogs.messages.size() == 1 && w.rig.dialogs.messages[0].rfind(kWriteFailed, 0) == 0;
    if (c.logLine && !writeFailed) {
        EXPECT_NE(std::find(log.begin(), log.end(), c.logLine), log.end()) << c.logLine;
    }
    EXPECT_EQ(std::count_if(log.begin(), log.end(), IsVerdict), 0) << "a failed operation reported as done";
    EXPECT_NE(w.rig.form->MatchString.caption(), "KORVEN7 strings VERIFIED!");
    ExpectOperationEndedCleanly(w);
}

// A send's log: 5 lines of probe and erase, then a sent and an acknowledged line per
// frame (a write frame's sent line at 6, 8, ...), then its verify from about line 250.
INSTANTIATE_TEST_SUITE_P(
    MidOperation, EmulatorKilled,
    ::testing::Values(
        // The wait notices the hang-up, or the verify's probe does on the port left open,
        // or the next frame's write fails.
        KillCase{"SendAwaitingAnAcknowledgement", "SendKeys", 30,
                 {"Error while awaiting ACKnowledge ", "Error getting code version. ", kWriteFailed},
                 "KORVEN7 not attached "},
        KillCase{"SendInItsVerify", "SendKeys", 300, {"Error retrieve current key overrides - "}, "Read Operation Requested"},
        KillCase{"Read", "ReadKeys", 40, {"Error retrieve current key overrides - "}, nullptr},
        KillCase{"Verify", "VerifyBtn", 40, {"Error retrieve current key overrides - "}, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Ports that cannot be opened ----------------------------------------------------

struct OperationCase {
    const char* button;
    int messages;  // one per failed open: the attachment probe tries three times
    std::vector<std::string> log;
};

const std::vector<OperationCase> kOperations{
    {"GetVersionBtn", 1, {"Requesting Version", "Version = "}},
    {"SendKeys", 3, {"KORVEN7 not attached "}},
    {"ReadKeys", 3, {"Read Operation Requested", "KORVEN7 not attached "}},
    {"VerifyBtn", 3, {"Read Operation Requested", "KORVEN7 not attached "}},
};

// Runs every operation against a port that cannot be opened for `reason`.
void ExpectEveryOperationRefused(const std::string& device, const std::string& reason) {
    for (const auto& op : kOperations) {
        SCOPED_TRACE(op.button);
        Window w(device);
        w.click(op.button);
        EXPECT_EQ(int(w.rig.dialogs.messages.size()), op.messages);
        EXPECT_TRUE(w.messagesStartWith({"Error getting code version. " + reason}));
        EXPECT_EQ(w.log(), op.log);
        ExpectOperationEndedCleanly(w);
    }
}

TEST(PortRefused, APathThatDoesNotExist) {
    ExpectEveryOperationRefused("/nonexistent/ttyKORVEN7", "No such file or directory (/nonexistent/ttyKORVEN7)");
}

// A child process of this program that holds a port open until its input closes.
class PortHolder {
public:
    explicit PortHolder(const std::string& device) {
        int toChild[2], fromChild[2];
        if (::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
        const std::string self = fs::read_symlink("/proc/self/exe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(toChild[0], STDIN_FILENO);
            ::dup2(fromChild[1], STDOUT_FILENO);
            ::setenv("K7_HOLD_PORT", device.c_str(), 1);
            ::execl(self.c_str(), self.c_str(), nullptr);
            ::_exit(127);
        }
        ::close(toChild[0]);
        ::close(fromChild[1]);
        input_ = toChild[1];
        pollfd ready{fromChild[0], POLLIN, 0};
        char answer[8] = {};
        if (::poll(&ready, 1, 10000) == 1) held_ = ::read(fromChild[0], answer, sizeof answer - 1) > 0 && answer[0] == 'h';
        ::close(fromChild[0]);
    }
    ~PortHolder() {
        ::close(input_);
        ::waitpid(pid_, nullptr, 0);
    }
    bool held() const { return held_; }
private:
    pid_t pid_ = -1;
    int input_ = -1;
    bool held_ = false;
};

// The holder's side: started with K7_HOLD_PORT, it opens the port, says "held" and
// waits for its input to close.
[[maybe_unused]] const bool kIsPortHolder = [] {
    const char* device = std::getenv("K7_HOLD_PORT");
    if (!device) return false;
    int argc = 1;
    char name[] = "port-holder";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QSerialPort port(QString::fromLocal8Bit(device));
    const bool opened = port.open(QIODevice::ReadWrite);
    std::printf("%s\n", opened ? "held" : "failed");
    std::fflush(stdout);
    char c;
    while (::read(STDIN_FILENO, &c, 1) > 0) {}
    std::_Exit(opened ? 0 : 1);
}();

TEST(PortRefused, APortHeldOpenByAnotherProcess) {
    SimProcess sim(57600);
    PortHolder holder(sim.link());
    ASSERT_TRUE(holder.held());
    ExpectEveryOperationRefused(sim.link(), "Permission error while locking the device");
}

// Root opens any device whatever its permissions: as root, the refused side runs this
// same program again as nobody.
TEST(PortRefused, APortWithoutPermission) {
    SimProcess sim(57600);
    const fs::path slave = fs::canonical(sim.link());
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(slave.c_str(), 0), 0);
        ExpectEveryOperationRefused(sim.link(), "Permission denied");
        return;
    }
    if (::system("command -v setpriv >/dev/null") != 0) GTEST_SKIP() << "setpriv is not installed";
    fs::permissions(fs::path(sim.link()).parent_path(), fs::perms(0755));
    ASSERT_EQ(::chown(slave.c_str(), 0, 0), 0);
    ASSERT_EQ(::chmod(slave.c_str(), 0600), 0);
    const std::string self = fs::read_symlink("/proc/self/exe");
    const std::string command = "K7_PORT='" + sim.link() + "' HOME=/tmp QT_QPA_PLATFORM=offscreen " +
                                "setpriv --reuid=65534 --regid=65534 --clear-groups '" + self +
                                "' --gtest_filter=PortRefusedAsNobody.* --gtest_also_run_disabled_tests";
    const int status = ::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the unprivileged run failed";
}

// Run only by the test above, as nobody.
TEST(PortRefusedAsNobody, DISABLED_EveryOperation) {
    ASSERT_NE(::geteuid(), 0u);
    ASSERT_NE(std::getenv("K7_PORT"), nullptr);
    ExpectEveryOperationRefused(std::getenv("K7_PORT"), "Permission denied");
}

// ---- Send cycles without clearing the log -------------------------------------------

TEST(SendCycles, EveryCycleVerifiesAndMemoryDoesNotGrow) {
    SimProcess sim(57600);
    Window w(sim.link());
    Watchdog watchdog(120);
    const auto runs = RunSendCycles(*w.rig.form, 3);
    for (const auto& run : runs) EXPECT_TRUE(run.verified);
#ifndef K7_SANITIZED  // the address sanitizer holds freed memory back on purpose
    EXPECT_LT(KbPerCycle(runs, 0), 1024.0);
#endif
    EXPECT_GT(LinesPerCycle(runs, 0), 400.0);  // the log really was kept
    EXPECT_TRUE(w.rig.dialogs.messages.empty());
    ExpectOperationEndedCleanly(w);
}

}  // namespace
}  // namespace k7::test
