// The command line's plain functions: its arguments, the .cfg it accepts, and what it
// makes of the engine's results.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/command_line.h"
#include "cli/list_file.h"
#include "cli/outcome_output.h"

namespace k7 {
namespace {

// The parsed arguments in one line, or "error: " and why.
std::string parsed(const std::vector<std::string>& args) {
    const ParsedCommandLine p = parseCommandLine(args);
    if (!p.error.empty()) return "error: " + p.error;
    const CommandLine& c = p.line;
    if (c.help || c.version) return c.help ? "help" : "--version";
    std::string text = commandName(c.command);
    if (!c.listFile.empty()) text += " " + c.listFile;
    for (std::size_t i = 0; i < c.ports.size(); ++i) text += (i ? "," : " ports=") + c.ports[i];
    if (c.baud) text += " baud=" + std::to_string(*c.baud);
    if (c.parity) text += std::string(" parity=") + *c.parity;
    if (c.logFile) text += " log=" + *c.logFile;
    if (c.settingsFile) text += " settings=" + *c.settingsFile;
    for (auto [on, name] : {std::pair(c.fast, " fast"), std::pair(c.json, " json"), std::pair(c.quiet, " quiet")})
        if (on) text += name;
    return text;
}

TEST(CommandLineArguments, TakeOneCommandWithItsOptionsAnywhereAndRefuseTheRest) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"version"}, "version"},
        {{"--port", "COM2", "--port=/dev/ttyUSB0", "--baud", "57600", "--parity=e", "send", "a.cfg", "--fast", "--json",
          "--quiet"},
         "send a.cfg ports=COM2,/dev/ttyUSB0 baud=57600 parity=E fast json quiet"},
        {{"read", "-o", "back.cfg", "--log", "x.log", "--settings", "k.ini"}, "read back.cfg log=x.log settings=k.ini"},
        {{"--", "verify", "-odd.cfg"}, "verify -odd.cfg"},
        {{"send", "--bogus", "--help"}, "help"},
        {{"--version", "flash"}, "--version"},
        {{}, "error: no command given"},
        {{"flash"}, "error: unknown command 'flash'"},
        {{"--bogus", "read"}, "error: unknown option '--bogus'"},
        {{"--json=yes", "read"}, "error: option '--json' takes no value"},
        {{"read", "--baud"}, "error: option '--baud' needs a value"},
        {{"read", "--log="}, "error: option '--log' needs a value"},
        {{"read", "--baud", "fast"}, "error: --baud: not a baud rate: 'fast' (50 to 4000000)"},
        {{"read", "--baud", "49"}, "error: --baud: not a baud rate: '49' (50 to 4000000)"},
        {{"read", "--parity", "M"}, "error: --parity: not a parity: 'M' (N, E or O)"},
        {{"read", "--port", "COM0"}, "error: --port: not a port: 'COM0' (COM1, COM2, ... or a device path)"},
        {{"read", "--port", "/dev/a", "--port", "/dev/a"}, "error: --port: '/dev/a' is given twice"},
        {{"verify"}, "error: verify needs a .cfg file"},
        {{"send", "a.cfg", "b.cfg"}, "error: unexpected argument 'b.cfg'"},
        {{"verify", "a.cfg", "-o", "b.cfg"}, "error: -o belongs to read only"},
        {{"read", "-o", "b.cfg", "--port", "/dev/a", "--port", "/dev/b"}, "error: read -o takes a single --port"},
        {{"verify", "a.cfg", "--dry-run"}, "error: --dry-run belongs to send only"},
        {{"check", "a.cfg", "--backup", "d"}, "error: --backup belongs to send only"},
        {{"send", "a.cfg", "--dry-run", "--backup=d"}, "error: --dry-run writes nothing: it takes no --backup"},
    };
    for (const auto& [args, expected] : cases) EXPECT_EQ(parsed(args), expected);
    EXPECT_EQ(comPortNumber("com12"), 12);
    for (const char* notCom : {"COM0", "COM", "COMx", "COM1/", "/dev/COM1"}) EXPECT_FALSE(comPortNumber(notCom)) << notCom;
}

TEST(ListFileForTheCommandLine, EveryLineIsAnEntryACommentOrBlankAndEveryEntryFitsItsKey) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"#c\r\n\r\n001\tA\tx{0D}\r\n002\tF1\t\r\n", ""},
        {"001\tA\tx\n002\tA\ty\n", "line 2: key \"A\" is listed already"},
        {"001\tNOPE\tx\n", "line 1: \"NOPE\" names no key"},
        {"001\tA\t{ZZ}\n", "line 1: the string of \"A\" cannot be read (Type mismatch)"},
        {"001\tA\t12345678901\n", "line 1: the string of \"A\" is longer than 10 bytes"},
        {"001\tA\tx{00}\n", "line 1: the string of \"A\" holds {00}, which no key can send"},
        {"001\tA\tx\nhello world\n", "line 2 cannot be read"},
        {"001\tNOPE\tx\n-99999\tB\tx\n", "line 1: \"NOPE\" names no key"},
        {"001\tA\tx\n-99999\tB\tx\n", "line 2 cannot be read: Overflow"},
    };
    for (const auto& [text, error] : cases) {
        std::istringstream in(text);
        const ListFile file = checkListFile(readCfgFile(in));
        EXPECT_EQ(file.error, error) << text;
        EXPECT_EQ(file.entries.size(), error.empty() ? 2u : 0u) << text;
    }
}

KeyRecord key(const char* legend, std::string output, int scancode = 4) { return {std::uint8_t(scancode), output, legend}; }

TEST(PortOutcomes, SayWhatCameOfTheOperationAndGiveItsExitStatus) {
    VerifyResult differs{Ending::Completed, {{0, key("A", "a"), key("A", "b")}, {5, key("F", "f"), key("", "", 0)}}};
    SendResult verified{Ending::Completed, true, {Ending::Completed, {}}};
    const std::vector<std::tuple<PortOutcome, Outcome, std::string>> cases{
        {versionOutcome("KORVEN7 V2.14\r\n", ""), Outcome::Ok, "version KORVEN7 V2.14"},
        {versionOutcome("???", ""), Outcome::NoAnswer, "no answer from the keyboard (no reply to the version request)"},
        {versionOutcome("", "Error getting code version. gone"), Outcome::Failed, "Error getting code version. gone"},
        {readOutcome({Ending::Completed, {{"A", "x"}}, {}}, ""), Outcome::Ok, "read 1 custom string"},
        {readOutcome({Ending::Completed, {{"A", "x"}}, {5, 6}}, ""), Outcome::NoAnswer, "2 keys did not answer: F, G"},
        {readOutcome({Ending::NotAttached, {}, {}}, "Error getting code version. busy"), Outcome::Failed,
         "Error getting code version. busy"},
        {verifyOutcome(differs, ""), Outcome::Differs, "2 keys differ from the list: A, F"},
        {sendOutcome(verified, "", true), Outcome::Ok, "sent and verified"},
        {sendOutcome({Ending::Completed, false, differs}, "", true), Outcome::Differs,
         "sent, but 2 keys differ from the list: A, F; the keyboard needs a new send"},
        {sendOutcome({Ending::NoAcknowledgement, false, {}}, "", true), Outcome::NoAnswer,
         "the keyboard did not acknowledge a frame; the keyboard needs a new send"},
        {sendOutcome({Ending::NotAttached, false, {}}, "", false), Outcome::NoAnswer,
         "no answer from the keyboard (no reply to the version request); nothing was written"},
        {interruptedOutcome(Command::Send, true), Outcome::Interrupted, "interrupted part-way; the keyboard needs a new send"},
        {interruptedOutcome(Command::Send, false), Outcome::Interrupted, "interrupted before anything was written"},
    };
    for (const auto& [o, outcome, message] : cases) {
        EXPECT_EQ(o.outcome, outcome) << message;
        EXPECT_EQ(o.message, message);
    }
    EXPECT_EQ(verifyOutcome(differs, "").differences,
              (std::vector<StringDifference>{{"A", "a", "b"}, {"F", "f", std::nullopt}}));
    std::vector<PortOutcome> all{versionOutcome("K", ""), verifyOutcome(differs, ""), interruptedOutcome(Command::Read, false)};
    EXPECT_EQ(std::vector<int>({exitStatus(all[0].outcome), exitStatus(all[1].outcome), exitStatus(Outcome::FileError),
                                exitStatus(Outcome::NoAnswer), exitStatus(all[2].outcome)}),
              std::vector<int>({0, 1, 2, 3, 130}));
    EXPECT_EQ(worstExitStatus({all[0], all[1]}), 1);
}

TEST(PortOutcomes, PrintAsLinesPerPortAsOneJsonDocumentAndAsAProgressLine) {
    PortOutcome a = verifyOutcome({Ending::Completed, {{0, key("A", "a"), key("A", "{")}, {5, key("F", "f"), key("", "", 0)}}}, "");
    a.port = "/dev/a";
    PortOutcome b = readOutcome({Ending::Completed, {{"A", "{C7}x"}}, {}}, "");
    b.port = "/dev/b";
    EXPECT_EQ(plainLines(Command::Verify, {a}, false), (std::vector<std::string>{"A\ta\t{7B}", "F\tf\t(no answer)"}));
    EXPECT_EQ(plainLines(Command::Read, {b, b}, false), (std::vector<std::string>{"/dev/b\tA\t{C7}x", "/dev/b\tA\t{C7}x"}));
    EXPECT_TRUE(plainLines(Command::Read, {b}, true).empty());
    EXPECT_EQ(jsonDocument(Command::Verify, {a}),
              R"({"command":"verify","exit_status":1,"results":[{"port":"/dev/a","operation":"verify","outcome":"differs",)"
              R"("message":"2 keys differ from the list: A, F","differences":[{"key":"A","expected":"a","found":"{7B}"},)"
              R"({"key":"F","expected":"f","found":null}]}]})");
    EXPECT_EQ(jsonDocument(Command::Read, {b}),
              R"({"command":"read","exit_status":0,"results":[{"port":"/dev/b","operation":"read","outcome":"ok",)"
              R"("message":"read 1 custom string","entries":[{"key":"A","string":"{C7}x"}],"unread":[]}]})");
    EXPECT_EQ(jsonText("\"\\\r\xE9"), R"("\"\\\u000d\u00e9")");
    EXPECT_EQ(progressLine({{"/dev/a", "Sending to KORVEN7", 19, 95}}), "Sending to KORVEN7 [######........................] 20%");
    EXPECT_EQ(progressLine({{"/dev/a", "x", 95, 95}, {"/dev/pts/3", "y", 0, 0}}), "a 100%  3 0%");
}

}  // namespace
}  // namespace k7
