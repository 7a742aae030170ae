// The real program end to end: real widgets offscreen, the Qt event loop, QSerialPort,
// and korven7-sim on a pseudo-terminal at 57600 baud, in real time.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "qt/qt_platform.h"
#include "support/program.h"
#include "support/sim_process.h"

namespace k7::test {
namespace {

const std::vector<KeyString> kList{{"A", "{C7}x"}, {"M", "MNOPQRSTUV"}, {"F1", "Hello{0D}"}};  // in row order

struct RealProgram {
    explicit RealProgram(const std::string& device) : program(pump, port, PortSettingsFile(device, 57600)) {
        program.window->keyStrings().replace(kList);
    }
    qt::QtEventPump pump;
    qt::QtSerialPort port;
    Program program;
    bool idle() {
        using namespace controls;
        for (const char* name : {kAddToList, kSend, kVerify, kRead, kVersion, kKeyField})
            if (!program.control(name).enabled()) return false;
        return !port.isOpen() && program.window->keyStrings().entries() == kList;
    }
};

TEST(EndToEnd, SendVerifiesAndTheStringsReadBack) {
    SimProcess sim(57600);
    RealProgram real(sim.link());
    real.program.click(controls::kSend);
    EXPECT_EQ(real.program.caption(controls::kVerdict), "KORVEN7 strings VERIFIED!");
    real.program.window->keyStrings().replace({{"B", "b"}});
    real.program.click(controls::kRead);
    EXPECT_EQ(real.program.window->keyStrings().entries(), kList);
    EXPECT_EQ(real.program.caption(controls::kVerdict), "3 Custom strings found in KORVEN7 ");
    real.program.click(controls::kVersion);
    EXPECT_EQ(real.program.log().back(), "Version = KORVEN7 V2.14\r\n");
    EXPECT_TRUE(real.program.dialogs.messages.empty());
    EXPECT_TRUE(real.idle());
}

// The emulator dies once the operation has logged `lines` lines: the operation ends,
// reports, reports no verdict, gives the window back and leaves the list alone.
class EmulatorKilled : public ::testing::TestWithParam<std::pair<const char*, int>> {};

TEST_P(EmulatorKilled, TheOperationEndsAndReports) {
    const auto [button, lines] = GetParam();
    SimProcess sim(57600);
    RealProgram real(sim.link());
    QTimer watcher;
    watcher.setInterval(1);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (int(real.program.log().size()) >= lines) sim.kill(), watcher.stop();
    });
    watcher.start();
    real.program.click(button);
    ASSERT_FALSE(watcher.isActive()) << "the operation ended before the emulator was killed";
    EXPECT_FALSE(real.program.dialogs.messages.empty());
    for (const std::string& line : real.program.log())
        EXPECT_TRUE(line.find("verified successfully") == std::string::npos && line.find("custom strings") == std::string::npos &&
                    line.find("default values") == std::string::npos) << line;
    EXPECT_TRUE(real.idle());
}

INSTANTIATE_TEST_SUITE_P(MidOperation, EmulatorKilled,
                         ::testing::Values(std::pair(controls::kSend, 30), std::pair(controls::kRead, 40)),
                         [](const auto& info) { return std::string(info.param.first); });

TEST(EndToEnd, APortThatDoesNotExistIsReportedOnEveryTry) {
    RealProgram real("/dev/k7-no-such-port");
    real.program.click(controls::kSend);
    ASSERT_EQ(real.program.dialogs.messages.size(), 3u);
    const std::string& message = real.program.dialogs.messages[0];
    EXPECT_EQ(message.rfind("Error getting code version. ", 0), 0u);
    EXPECT_TRUE(message.ends_with(" - no such device (unplugged?)")) << message;
    EXPECT_EQ(real.program.log(), std::vector<std::string>{"KORVEN7 not attached "});
    EXPECT_TRUE(real.idle());
}

// Three emulators named in [PORTS]: a silent one, one another program holds, and one that
// hears only at 38400 baud. Find KORVEN7 selects the last at its rate and SAVE stores it.
TEST(EndToEnd, FindKORVEN7SkipsAPortInUseAndSelectsTheAnsweringEmulatorAtItsRate) {
    SimProcess silent(9600, {"--silent"}), held(9600), answering(38400, {"--strict-baud"});
    qt::QtEventPump pump;
    qt::QtSerialPort port, otherProgram;
    otherProgram.setPortName(held.link());
    otherProgram.open();
    Program program(pump, port, "[PORTS]\nCOM9=" + silent.link() + "\nCOM10=" + held.link() + "\nCOM11=" + answering.link() + "\n");
    QTimer::singleShot(0, [&] {
        auto* dialog = QApplication::activeModalWidget();
        ASSERT_TRUE(dialog);
        dialog->findChild<QPushButton*>(controls::config::kFind)->click();
        const std::string shown = dialog->findChild<QLabel*>(controls::config::kFindStatus)->text().toStdString();
        EXPECT_EQ(shown.rfind("Found on COM11 (ttyKORVEN7) at 38400 baud: KORVEN7 V2.14.", 0), 0u) << shown;
        EXPECT_TRUE(shown.ends_with(" - in use by another program")) << shown;
        dialog->findChild<QPushButton*>(controls::config::kSave)->click();
    });
    program.menu(controls::kConfiguration);
    EXPECT_EQ(SettingsFile(program.env.settingsFileName()).program([](const std::string&) {}).serial, (SerialSettings{11, 38400, 'N'}));
    EXPECT_EQ(program.caption(controls::kPort), "COM11 (ttyKORVEN7)");
}

}  // namespace
}  // namespace k7::test
