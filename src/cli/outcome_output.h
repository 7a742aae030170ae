#pragma once
// The ways the command line shows what came of a command: plain lines for scripts, one
// JSON document, the one-line summary on standard error and the progress line.
#include <string>
#include <vector>

#include "cli/port_outcome.h"

namespace k7 {

// The lines for standard output. With several ports each line starts with "port<TAB>".
std::vector<std::string> plainLines(Command command, const std::vector<PortOutcome>& outcomes, bool listWritten);
// The one JSON document: the command, the exit status, the warnings about the settings
// file when there are any, and a result per port.
std::string jsonDocument(Command command, const std::vector<PortOutcome>& outcomes, int status,
                         const std::vector<std::string>& warnings);
// The document of a run that could not start: bad usage or a file; exit status 2.
std::string jsonError(const std::string& command, const std::string& error, const std::vector<std::string>& warnings);
std::string jsonPortList(const std::vector<SerialPortInfo>& ports);
std::string jsonText(const std::string& bytes);  // a JSON string; bytes from 0x80 as Latin-1
std::string jsonEntries(const std::vector<KeyString>& entries);  // [{"key":...,"string":...},...]
// [{"key":..,"expected":..,"found":.. or null}, ...]
std::string jsonDifferences(const std::vector<StringDifference>& differences);
// "korven7: PORT: message".
std::string summaryLine(const PortOutcome& outcome);

// The progress line on a terminal: one port as a bar, several as their percentages.
struct PortProgress {
    std::string port;
    std::string caption;  // the operation's caption
    int value = 0;
    int maximum = 0;
};
std::string progressLine(const std::vector<PortProgress>& ports);

}  // namespace k7
