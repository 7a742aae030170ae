#include "support/soak.h"

#include <unistd.h>

#include <chrono>
#include <fstream>

namespace k7::test {

long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

std::vector<SendCycle> RunSendCycles(Form1& form, int cycles) {
    std::vector<SendCycle> runs;
    for (int i = 0; i < cycles; ++i) {
        const auto start = std::chrono::steady_clock::now();
        form.SendKeys_Click();
        SendCycle run;
        run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.residentKb = ResidentKb();
        run.logLines = form.StatusBox.count();
        run.verified = form.MatchString.caption() == "KORVEN7 strings VERIFIED!";
        runs.push_back(run);
    }
    return runs;
}

double KbPerCycle(const std::vector<SendCycle>& runs, std::size_t from) {
    if (runs.size() <= from + 1) return 0;
    return double(runs.back().residentKb - runs[from].residentKb) / double(runs.size() - 1 - from);
}

double LinesPerCycle(const std::vector<SendCycle>& runs, std::size_t from) {
    if (runs.size() <= from + 1) return 0;
    return double(runs.back().logLines - runs[from].logLines) / double(runs.size() - 1 - from);
}

}  // namespace k7::test
