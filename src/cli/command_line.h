#pragma once
// The arguments of korven7: a command and its options, checked before anything runs.
#include <optional>
#include <string>
#include <vector>

namespace k7 {

enum class Command { Ports, Detect, Version, Read, Verify, Send, Station, Check };

struct CommandLine {
    Command command = Command::Version;
    std::vector<std::string> ports;  // --port, in the order given: COMn or a device path
    std::optional<int> baud;
    std::optional<char> parity;      // N, E or O
    std::optional<std::string> settingsFile;
    std::optional<std::string> logFile;
    std::string listFile;            // the .cfg of verify, send, station and check; read -o FILE ("": print the list)
    std::string watchFolder = "/dev/serial/by-id";  // station: the folder of device links
    std::string match;               // station: only links whose name fits this glob ("": all)
    std::string recordFile;          // station: the JSON Lines record ("": none)
    bool existing = false;           // station: program the ports there at the start too
    std::optional<std::string> backup;  // send --backup FILE|FOLDER: the keyboard's strings first go there
    bool dryRun = false;             // send --dry-run: read and compare, write nothing
    bool allowEmpty = false;         // send --allow-empty: a list that sets no key may reset every key
    bool json = false;
    bool fast = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
};

struct ParsedCommandLine {
    CommandLine line;
    std::string error;  // why the arguments cannot be used; "" when they can
};

// Options may stand before or after the command, as "--baud 9600" or "--baud=9600";
// "--" ends the options. --help and --version win over everything else.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& args);

const char* commandName(Command command);

// The text of --help.
extern const char* const kUsage;

}  // namespace k7
