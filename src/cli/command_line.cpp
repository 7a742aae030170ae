#include "cli/command_line.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "settings/line_choices.h"
#include "settings/serial_settings.h"

namespace k7 {
namespace {

constexpr std::pair<const char*, Command> kCommands[] = {
    {"ports", Command::Ports}, {"detect", Command::Detect}, {"version", Command::Version},
    {"read", Command::Read},   {"verify", Command::Verify}, {"send", Command::Send},
    {"check", Command::Check},
    {"station", Command::Station},
};

std::optional<int> numberOf(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

}  // namespace

const char* const kUsage = R"(usage: korven7 [options] COMMAND

Programs KORVEN7 keyboards over serial ports, from scripts, several at once.

commands:
  ports                list the serial ports, with what the system says of each
  detect               find every KORVEN7: each port and baud rate that answers
  version              print the firmware version
  read [-o FILE.cfg]   read the keys' strings: print them as a .cfg file, or write FILE.cfg
  verify FILE.cfg      compare the keyboard with the file's list
  send FILE.cfg        erase, write, flash and verify, as the window's send does
  station FILE.cfg     a programming station: send FILE.cfg to every keyboard plugged in,
                       once per plug, until Ctrl-C; one line per keyboard, PASS or FAIL
                       FILE.cfg "-" is standard input (verify, send) or output (read -o)
  check FILE.cfg       check the file without a keyboard: print "key<TAB>string" for each key it sets

send options:
  --dry-run            read the keyboard and print "key<TAB>holds<TAB>would write" for each key
                       the keyboard or the list gives a string of its own; write nothing
  --backup FILE|DIR    first read the keyboard into FILE.cfg (or a file named by time and port
                       in DIR); when that read fails, stop before anything is erased
  --allow-empty        send a list that sets no key (every key gets its default string)

options:
  --port COMn|PATH     the port (the settings file's port by default); given more than once,
                       the command runs on every port at the same time (each device once)
  --baud N             the baud rate (the settings file's by default)
  --parity N|E|O       the parity (the settings file's by default)
  --settings FILE      read the defaults from FILE instead of the window's settings file
  --log FILE           write the status log, as the window shows it, to FILE
  --json               print one JSON document instead of lines, on every run (errors too)
  --fast               end each wait as soon as the keyboard's reply is complete
  --quiet              no progress and no line for a port that succeeded
  --help               show this text
  --version            show the program's version

station options:
  --watch DIR          the folder of device links to watch (default /dev/serial/by-id)
  --match GLOB         only the links whose name fits GLOB, e.g. '*FTDI*'
  --record FILE        append a JSON line per keyboard to FILE: time, link, device, adapter,
                       firmware, file and its SHA-256, outcome, keys that differ, seconds
  --existing           also program the ports there when the station starts (left alone
                       otherwise)

exit status, the same in every command:
  0    done (and verified where there is something to verify)
  1    the keyboard differs from the list
  2    bad usage, or a file that cannot be read or written
  3    the keyboard or the port did not answer or failed: no such port, a port in use
       or without permission, no answer, keys that did not answer, a frame not
       acknowledged, a reply that cannot be read
  130  interrupted (Ctrl-C)
  143  terminated (SIGTERM)
With several ports, the worst of them; detect is 0 when any keyboard answered.
The station: 0 when every keyboard passed, 1 when one did not, 2 bad usage or a record
that cannot be written.
)";

const char* commandName(Command command) {
    for (const auto& [name, value] : kCommands)
        if (value == command) return name;
    return "";
}

namespace {

// Sets the option `name` (one that takes a value) to `value`; returns why it cannot be, or "".
std::string applyOption(const std::string& name, const std::string& value, CommandLine& line,
                        std::optional<std::string>& outputFile) {
    if (name == "--port") {
        std::string start = value.substr(0, 3);
        for (char& c : start) c = char(std::toupper(static_cast<unsigned char>(c)));
        if (start == "COM" && value.find('/') == std::string::npos && !comPortNumber(value))
            return "--port: not a port: " + quoted(value) + " (COM1, COM2, ... or a device path)";
        if (std::find(line.ports.begin(), line.ports.end(), value) != line.ports.end())
            return "--port: " + quoted(value) + " is given twice";
        line.ports.push_back(value);
    } else if (name == "--baud") {
        const auto baud = numberOf(value);
        if (!baud || *baud < 50 || *baud > 4'000'000) return "--baud: not a baud rate: " + quoted(value) + " (50 to 4000000)";
        line.baud = baud;
    } else if (name == "--parity") {
        const char p = value.size() == 1 ? char(std::toupper(static_cast<unsigned char>(value[0]))) : '?';
        std::string letters;  // "N, E or O"
        const std::size_t n = std::size(kParityChoices);
        for (std::size_t i = 0; i < n; ++i) {
            if (kParityChoices[i].letter == p) line.parity = p;
            letters += std::string(i == 0 ? "" : i + 1 == n ? " or " : ", ") + kParityChoices[i].letter;
        }
        if (line.parity != p) return "--parity: not a parity: " + quoted(value) + " (" + letters + ")";
    } else if (name == "--settings") {
        line.settingsFile = value;
    } else if (name == "--log") {
        line.logFile = value;
    } else if (name == "--backup") {
        line.backup = value;
    } else if (name == "--watch" || name == "--match" || name == "--record") {
        (name == "--watch" ? line.watchFolder : name == "--match" ? line.match : line.recordFile) = value;
    } else {
        outputFile = value;
    }
    return "";
}

// The command and its file from the arguments that are not options; returns why they
// cannot be used, or "".
std::string applyCommand(const std::vector<std::string>& positional, const std::optional<std::string>& outputFile,
                         CommandLine& line) {
    if (positional.empty()) return "no command given";
    const auto known = std::find_if(std::begin(kCommands), std::end(kCommands),
                                    [&](const auto& c) { return positional[0] == c.first; });
    if (known == std::end(kCommands)) return "unknown command " + quoted(positional[0]);
    line.command = known->second;
    const bool takesFile = line.command == Command::Verify || line.command == Command::Send ||
                           line.command == Command::Station || line.command == Command::Check;
    if (takesFile && positional.size() < 2) return std::string(known->first) + " needs a .cfg file";
    if (positional.size() > (takesFile ? 2u : 1u)) return "unexpected argument " + quoted(positional.back());
    if (takesFile) line.listFile = positional[1];
    if (line.command == Command::Station && !line.ports.empty())
        return "--port does not go with station; it finds its ports in --watch";
    if (line.command == Command::Station && line.json) return "--json does not go with station; --record FILE keeps its record";
    if (line.command == Command::Station && line.listFile == "-")
        return "station reads its .cfg from a file, which its record names, not from standard input";
    if (outputFile) {
        if (line.command != Command::Read) return "-o belongs to read only";
        if (line.ports.size() > 1) return "read -o takes a single --port";
        if (*outputFile == "-" && line.json) return "read -o - and --json both write to standard output";
        line.listFile = *outputFile;
    }
    if (line.command != Command::Send) {
        for (const auto& [given, option] : {std::pair{line.dryRun, "--dry-run"}, {line.backup.has_value(), "--backup"},
                                            {line.allowEmpty, "--allow-empty"}})
            if (given) return std::string(option) + " belongs to send only";
    }
    if (line.dryRun && line.backup) return "--dry-run writes nothing: it takes no --backup";
    return "";
}

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& args) {
    ParsedCommandLine parsed;
    CommandLine& line = parsed.line;
    auto fail = [&](const std::string& error) {
        parsed.error = error;
        return parsed;
    };
    if (std::find(args.begin(), args.end(), "--help") != args.end() ||
        std::find(args.begin(), args.end(), "-h") != args.end()) {
        line.help = true;
        return parsed;
    }
    if (std::find(args.begin(), args.end(), "--version") != args.end()) {
        line.version = true;
        return parsed;
    }
    // Known before anything can go wrong, so that even bad usage is told as JSON.
    const auto optionsEnd = std::find(args.begin(), args.end(), "--");
    line.json = std::find(args.begin(), optionsEnd, "--json") != optionsEnd;
    std::vector<std::string> positional;
    std::optional<std::string> outputFile;
    std::vector<std::string> stationOptions;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const std::size_t equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        const bool takesValue = name == "--port" || name == "--baud" || name == "--parity" || name == "--settings" ||
                                name == "--log" || name == "-o" || name == "--watch" || name == "--match" ||
                                name == "--record" || name == "--backup";
        if (!takesValue) {
            if (value) return fail("option " + quoted(name) + " takes no value");
            if (name == "--json") line.json = true;
            else if (name == "--fast") line.fast = true;
            else if (name == "--quiet") line.quiet = true;
            else if (name == "--dry-run") line.dryRun = true;
            else if (name == "--allow-empty") line.allowEmpty = true;
            else if (name == "--existing") line.existing = true, stationOptions.push_back(name);
            else return fail("unknown option " + quoted(arg));
            continue;
        }
        if (!value) {
            if (i + 1 == args.size()) return fail("option " + quoted(name) + " needs a value");
            value = args[++i];
        }
        if (value->empty()) return fail("option " + quoted(name) + " needs a value");
        if (std::string error = applyOption(name, *value, line, outputFile); !error.empty()) return fail(error);
        if (name == "--watch" || name == "--match" || name == "--record") stationOptions.push_back(name);
    }
    if (std::string error = applyCommand(positional, outputFile, line); !error.empty()) return fail(error);
    if (!stationOptions.empty() && line.command != Command::Station) return fail(stationOptions[0] + " belongs to station only");
    return parsed;
}

}  // namespace k7
