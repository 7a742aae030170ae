// The command line's plain functions: its arguments, the .cfg it accepts, and what it
// makes of the engine's results.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/command_line.h"
#include "cli/list_file.h"
#include "settings/serial_settings.h"
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
        {{"read", "-o", "-", "--json"}, "error: read -o - and --json both write to standard output"},
        {{"send", "-", "--port", "-"}, "send - ports=-"},
        {{"verify", "a.cfg", "--dry-run"}, "error: --dry-run belongs to send only"},
        {{"check", "a.cfg", "--backup", "d"}, "error: --backup belongs to send only"},
        {{"send", "a.cfg", "--dry-run", "--backup=d"}, "error: --dry-run writes nothing: it takes no --backup"},
    };
    for (const auto& [args, expected] : cases) EXPECT_EQ(parsed(args), expected);
    EXPECT_EQ(comPortNumber("com12"), 12);
    for (const char* notCom : {"COM0", "COM", "COMx", "COM1/", "/dev/COM1"}) EXPECT_FALSE(comPortNumber(notCom)) << notCom;
}

TEST(ListFileForTheCommandLine, EveryLineIsAnEntryACommentOrBlankAndEveryEntryFitsItsKey) {
    // Every line refused is named, in order, with what is wrong with it.
    const std::vector<std::pair<std::string, std::string>> cases{
        {"#c\r\n\r\n001\tA\tx{0D}\r\n002\t\t\r\n", ""},
        {"001\tA\tx\n002\tA\ty\n", "line 1: key \"A\" is listed again on line 2"},
        {"001\tNOPE\tx\n", "line 1: \"NOPE\" names no key"},
        {"001\tA\t{ZZ}\n002\tB\tx{100}\n003\tC\tx{4\n",
         "line 1: the string of \"A\": \"{ZZ}\" is not a byte: braces hold two hex digits\n"
         "line 2: the string of \"B\": \"{100}\" is not a byte: it is above {FF}\n"
         "line 3: the string of \"C\": \"{4\" has no closing brace"},
        {"001\tA\t12345678901\n001\tB\tx{00}\n",
         "line 1: the string of \"A\": it is longer than 10 bytes\nline 2: the string of \"B\": it holds {00}, which no key can send"},
        {"001\tA\tx\nhello world\nx\tB\ty\n", "line 2: a line holds number, key and string separated by TAB\n"
                                             "line 3: \"x\" is not a sequence number"},
        {"001\tNOPE\tx\n-99999\tB\tx\n", "line 1: \"NOPE\" names no key\nline 2: sequence number -99999 is below -32768"},
    };
    for (const auto& [text, errors] : cases) {
        std::istringstream in(text);
        const ListFile file = checkListFile(readCfgFile(in));
        std::string all;
        for (const std::string& e : file.errors) all += (all.empty() ? "" : "\n") + e;
        EXPECT_EQ(all, errors) << text;
        EXPECT_EQ(file.entries.size(), errors.empty() ? 2u : 0u) << text;
    }
}

KeyRecord key(const char* legend, std::string output, int scancode = 4) { return {std::uint8_t(scancode), output, legend}; }

TEST(PortOutcomes, SayWhatCameOfTheOperationAndGiveItsExitStatus) {
    const RunContext at9600{9600, false};
    VerifyResult differs{outcomeOf(OutcomeKind::Differs, "1 key differs from the list: A"), {{0, key("A", "a"), key("A", "b")}}};
    SendResult written{{}, true, true, {}};
    const std::vector<std::tuple<PortOutcome, int, std::string>> cases{
        {versionOutcome({"KORVEN7 V2.14\r\n", {}}, at9600), 0, "version KORVEN7 V2.14"},
        {readOutcome({{}, {{"A", "x"}}, {}}, at9600), 0, "read 1 custom string"},
        {verifyOutcome(differs, at9600), 1, "1 key differs from the list: A"},
        {sendOutcome(written, at9600), 0, "sent and verified"},
        {sendOutcome({differs.outcome, true, true, differs}, at9600), 1,
         "sent, but 1 key differs from the list: A; the keyboard needs a new send"},
        {sendOutcome({noAcknowledgement("the erase frame"), true, false, {}}, at9600), 3,
         "the keyboard did not acknowledge the erase frame; the keyboard needs a new send"},
        {interruptedOutcome(Command::Send, true), 130, "interrupted part-way; the keyboard needs a new send"},
        {interruptedOutcome(Command::Send, false), 130, "interrupted before anything was written"},
    };
    for (const auto& [o, status, message] : cases) {
        EXPECT_EQ(exitStatus(o), status) << message;
        EXPECT_EQ(o.message, message);
    }
    EXPECT_EQ(verifyOutcome(differs, at9600).differences, (std::vector<StringDifference>{{"A", "a", "b"}}));
    std::vector<PortOutcome> both{std::get<0>(cases[0]), std::get<0>(cases[2])};
    EXPECT_EQ(runExitStatus(Command::Verify, both), 1);
}

TEST(PortOutcomes, DetectNamesEveryKeyboardThatAnsweredAndTheSkippedPortsApart) {
    const std::vector<SearchCandidate> ports{{"/dev/a", "/dev/a"}, {"/dev/b", "/dev/b"}, {"/dev/c", "/dev/c"}};
    const SkippedPort busy{1, "Locked", outcomeOf(OutcomeKind::PortBusy, "in use by another program")};
    const std::vector<PortOutcome> found = detectOutcomes({{{2, 9600, "KORVEN7 V2\r\n"}, {0, 19200, "KORVEN7 V3\r\n"}}, false, {busy}, 2}, ports, 6);
    EXPECT_EQ(plainLines(Command::Detect, found, false), (std::vector<std::string>{"/dev/c\t9600\tKORVEN7 V2", "/dev/a\t19200\tKORVEN7 V3"}));
    EXPECT_EQ(summaryLine(found.back()), "korven7: /dev/b: skipped: in use by another program");
    EXPECT_EQ(runExitStatus(Command::Detect, found), 0);
    const std::vector<PortOutcome> none = detectOutcomes({{}, false, {busy}, 1}, ports, 1);
    EXPECT_EQ(summaryLine(none[0]), "korven7: no KORVEN7 answered on 1 port at 1 baud rate (check the cable, the power, and that no "
                                    "other program holds the port)");
    EXPECT_EQ(runExitStatus(Command::Detect, none), 3);
}

TEST(PortOutcomes, PrintAsLinesPerPortAsOneJsonDocumentAndAsAProgressLine) {
    const RunContext context;
    PortOutcome a = verifyOutcome({outcomeOf(OutcomeKind::KeysUnanswered, "1 key did not answer: F; 1 key differs: A"),
                                   {{0, key("A", "a"), key("A", "{")}, {5, key("F", "f"), key("", "", 0)}}}, context);
    a.port = "/dev/a";
    PortOutcome b = readOutcome({{}, {{"A", "{C7}x"}}, {}}, context);
    b.port = "/dev/b";
    EXPECT_EQ(plainLines(Command::Verify, {a}, false), (std::vector<std::string>{"A\ta\t{7B}", "F\tf\t(no answer)"}));
    EXPECT_EQ(plainLines(Command::Read, {b, b}, false), (std::vector<std::string>{"/dev/b\tA\t{C7}x", "/dev/b\tA\t{C7}x"}));
    EXPECT_TRUE(plainLines(Command::Read, {b}, true).empty());
    EXPECT_EQ(jsonDocument(Command::Verify, {a}, 3, {}),
              R"({"command":"verify","exit_status":3,"results":[{"port":"/dev/a","operation":"verify","outcome":"keys-unanswered",)"
              R"("message":"1 key did not answer: F; 1 key differs: A","differences":[{"key":"A","expected":"a","found":"{7B}"},)"
              R"({"key":"F","expected":"f","found":null}]}]})");
    EXPECT_EQ(jsonDocument(Command::Read, {b}, 0, {"k.ini: bad"}),
              R"({"command":"read","exit_status":0,"warnings":["k.ini: bad"],"results":[{"port":"/dev/b","operation":"read",)"
              R"("outcome":"ok","message":"read 1 custom string","entries":[{"key":"A","string":"{C7}x"}],"unread":[]}]})");
    EXPECT_EQ(jsonText("\"\\\r\xE9"), R"("\"\\\u000d\u00e9")");
    EXPECT_EQ(progressLine({{"/dev/a", "Sending to KORVEN7", 19, 95}}), "Sending to KORVEN7 [######........................] 20%");
    EXPECT_EQ(progressLine({{"/dev/a", "x", 95, 95}, {"/dev/pts/3", "y", 0, 0}}), "a 100%  3 0%");
}

}  // namespace
}  // namespace k7
