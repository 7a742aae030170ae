#pragma once
// korven7 station: watches a folder of device links and programs every keyboard plugged
// in, once per plug, each on a thread of its own; shows each keyboard's progress and
// verdict, keeps the record, and ends on Ctrl-C with the totals.
#include <string>

#include "cli/command_line.h"
#include "cli/command_runner.h"
#include "keystrings/key_string_list.h"

namespace k7 {

class StatusLogFile;

struct StationSetup {
    const CommandLine& line;
    CliPlatform& platform;
    LineSettings lineSettings;
    const KeyStringList& list;
    StatusLogFile& log;
};

// Returns the exit status: 0 when every keyboard passed, 1 when one did not, 2 when the
// folder cannot be watched or the record cannot be written.
int runStation(const StationSetup& setup);

}  // namespace k7
