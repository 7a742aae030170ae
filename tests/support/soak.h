#pragma once
// Send cycles in a row against a live device, with the time, memory and log size of
// each: shared by the soak test and the soak benchmark.
#include <vector>

#include "shell/form1.h"

namespace k7::test {

struct SendCycle {
    double seconds = 0;
    long residentKb = 0;  // after the cycle
    int logLines = 0;     // after the cycle
    bool verified = false;
};

// Resident memory of this process, from /proc/self/statm.
long ResidentKb();

// Runs `cycles` sends (each ends with its verify) without clearing the log.
std::vector<SendCycle> RunSendCycles(Form1& form, int cycles);

// Growth per cycle from cycle `from` to the last one.
double KbPerCycle(const std::vector<SendCycle>& runs, std::size_t from);
double LinesPerCycle(const std::vector<SendCycle>& runs, std::size_t from);

}  // namespace k7::test
