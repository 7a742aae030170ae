// Send cycles in a row against korven7-sim at 57600 baud on the real Qt platform,
// the log never cleared: the time of each cycle, the memory growth per cycle and the
// log's size. One cycle takes about 8.5 s of line time; 50 cycles take about 7 min.
//   QT_QPA_PLATFORM=offscreen bench_soak            (K7_SOAK_CYCLES=n for another count)
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "real_program.h"
#include "support/sim_process.h"

namespace {

struct SendCycle {
    double seconds = 0;
    long residentKb = 0;  // after the cycle
    int logLines = 0;     // after the cycle
    bool verified = false;
};

// Resident memory of this process, from /proc/self/statm.
long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Runs `cycles` sends (each ends with its verify) by the Send button, the log kept.
std::vector<SendCycle> RunSendCycles(k7::bench::RealProgram& p, int cycles) {
    std::vector<SendCycle> runs;
    for (int i = 0; i < cycles; ++i) {
        const auto start = std::chrono::steady_clock::now();
        p.program.click(k7::controls::kSend);
        SendCycle run;
        run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.residentKb = ResidentKb();
        run.logLines = p.statusLog().count();
        run.verified = p.verified();
        runs.push_back(run);
    }
    return runs;
}

// Growth per cycle from cycle `from` to the last one.
double KbPerCycle(const std::vector<SendCycle>& runs, std::size_t from) {
    if (runs.size() <= from + 1) return 0;
    return double(runs.back().residentKb - runs[from].residentKb) / double(runs.size() - 1 - from);
}

double LinesPerCycle(const std::vector<SendCycle>& runs, std::size_t from) {
    if (runs.size() <= from + 1) return 0;
    return double(runs.back().logLines - runs[from].logLines) / double(runs.size() - 1 - from);
}

void BM_SendCycles(benchmark::State& state) {
    const char* count = std::getenv("K7_SOAK_CYCLES");
    const int cycles = count ? std::atoi(count) : 50;
    if (cycles < 1) {
        state.SkipWithError("K7_SOAK_CYCLES must be at least 1");
        return;
    }
    const std::size_t warmUp = cycles > 5 ? 2 : 0;
    k7::test::SimProcess sim(57600);
    k7::bench::RealProgram p(k7::test::PortSettingsFile(sim.link(), 57600));
    p.window().keyStrings().replace({{"F1", "Hello"}, {"A", "{C7}x"}, {"M", "MNOPQRSTUV"}});

    std::vector<SendCycle> runs;
    for (auto _ : state) runs = RunSendCycles(p, cycles);

    int verified = 0;
    k7::ListBox& log = p.statusLog();
    for (std::size_t i = 0; i < runs.size(); ++i) {
        verified += runs[i].verified;
        std::printf("cycle %2zu  %6.3f s  rss %7ld kB  log %6d lines%s\n", i + 1, runs[i].seconds,
                    runs[i].residentKb, runs[i].logLines, runs[i].verified ? "" : "  NOT VERIFIED");
        if (runs[i].verified) continue;
        // What went wrong: the failure lines of this cycle.
        for (int line = i ? runs[i - 1].logLines : 0; line < runs[i].logLines; ++line) {
            const std::string text = log.item(line);
            if (text.find("FAILED") != std::string::npos || text.rfind("No ACK", 0) == 0)
                std::printf("    %d: %s\n", line, text.c_str());
        }
    }
    const double kbPerCycle = KbPerCycle(runs, warmUp);
    const double linesPerCycle = LinesPerCycle(runs, warmUp);
    state.counters["cycles"] = double(runs.size());
    state.counters["verified"] = verified;
    state.counters["messages"] = double(p.program.dialogs.messages.size());
    state.counters["first_s"] = runs.front().seconds;
    state.counters["last_s"] = runs.back().seconds;
    state.counters["slowdown_pct"] = 100.0 * (runs.back().seconds / runs[warmUp].seconds - 1.0);
    state.counters["rss_kB_per_cycle"] = kbPerCycle;
    state.counters["log_lines_per_cycle"] = linesPerCycle;
    state.counters["bytes_per_line"] = linesPerCycle > 0 ? 1024.0 * kbPerCycle / linesPerCycle : 0;
    state.counters["log_lines"] = runs.back().logLines;
}
BENCHMARK(BM_SendCycles)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
