#pragma once
// What the station says of each keyboard: its verdict made from the port's outcome, the
// line the person at the station reads, and the line of the record (JSON Lines).
#include <string>
#include <vector>

#include "cli/port_outcome.h"

namespace k7 {

enum class Verdict { Pass, Fail, Interrupted };

struct StationVerdict {
    Verdict verdict = Verdict::Fail;
    std::string reason;      // what happened, in words
    bool eraseSent = false;  // the keyboard's old strings are gone: it needs a new send
};

// The verdict of a send; `eraseSent`: the erase frame had gone out.
StationVerdict stationVerdict(const PortOutcome& outcome, bool eraseSent);
// The verdict once the keyboard was pulled before it passed.
StationVerdict unpluggedVerdict(bool eraseSent);

// One keyboard, from plug to verdict.
struct KeyboardReport {
    std::string time;          // when it ended, UTC, as 2026-12-07T01:02:03Z
    std::string link;          // the name in the watched folder
    std::string device;        // the device the link points at
    std::string serialNumber;  // of the adapter; "" where the system does not know it
    std::string manufacturer;
    std::string firmware;      // the version the keyboard answered; "" when it did not
    std::string file;
    std::string fileSha256;
    StationVerdict verdict;
    std::vector<StringDifference> differences;  // keys that differ or did not answer
    double seconds = 0;
};

std::string recordLine(const KeyboardReport& report);  // one JSON object, no line end

struct StationCount {
    int programmed = 0;
    int failed = 0;  // interrupted ones included
};
std::string countText(const StationCount& count);  // "12 programmed, 1 failed"
// "PASS  name  sent and verified  12.3 s  (12 programmed, 0 failed)"
std::string doneLine(const KeyboardReport& report, const StationCount& count);
std::string secondsText(double seconds);  // "12.3 s"

// The time now as the record writes it.
std::string utcNowText();

}  // namespace k7
