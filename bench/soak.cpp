// Send cycles in a row against korven7-sim at 57600 baud on the real Qt platform,
// the log never cleared: the time of each cycle, the memory growth per cycle and the
// log's size. One cycle takes about 11.5 s of line time; 50 cycles take about 10 min.
//   QT_QPA_PLATFORM=offscreen bench_soak            (K7_SOAK_CYCLES=n for another count)
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <cstdlib>

#include "platform/qt/qt_platform.h"
#include "shell/form1.h"
#include "shell/form1_design.h"
#include "support/fake_platform.h"
#include "support/sim_process.h"
#include "support/soak.h"

namespace {

using namespace k7::test;

void BM_SendCycles(benchmark::State& state) {
    const char* count = std::getenv("K7_SOAK_CYCLES");
    const int cycles = count ? std::atoi(count) : 50;
    const std::size_t warmUp = cycles > 5 ? 2 : 0;
    int argc = 1;
    char name[] = "bench_soak";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    SimProcess sim(57600);
    TempEnvironment env;
    env.write("KORVEN7.ini", sim.settingsFile());
    ScriptedDialogs dialogs;
    k7::qt::QtPlatform real(k7::Form1Design(), &dialogs, nullptr, &env);
    k7::Form1 form(real.platform());
    form.Form_Load();
    real.mainWindow().qwindow().show();
    form.clrstat.setChecked(false);
    form.List1.addItem("F1\tHello");
    form.List1.addItem("A\t{C7}x");
    form.List1.addItem("M\tMNOPQRSTUV");

    std::vector<SendCycle> runs;
    for (auto _ : state) runs = RunSendCycles(form, cycles);

    int verified = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        verified += runs[i].verified;
        std::printf("cycle %2zu  %6.3f s  rss %7ld kB  log %6d lines%s\n", i + 1, runs[i].seconds,
                    runs[i].residentKb, runs[i].logLines, runs[i].verified ? "" : "  NOT VERIFIED");
        if (runs[i].verified) continue;
        // What went wrong: the failure lines of this cycle.
        for (int line = i ? runs[i - 1].logLines : 0; line < runs[i].logLines; ++line) {
            const std::string text = form.StatusBox.item(line);
            if (text.find("FAILED") != std::string::npos || text.rfind("No ACK", 0) == 0)
                std::printf("    %d: %s\n", line, text.c_str());
        }
    }
    const double kbPerCycle = KbPerCycle(runs, warmUp);
    const double linesPerCycle = LinesPerCycle(runs, warmUp);
    state.counters["cycles"] = double(runs.size());
    state.counters["verified"] = verified;
    state.counters["messages"] = double(dialogs.messages.size());
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
