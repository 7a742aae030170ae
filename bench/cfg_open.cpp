// Opening key-string configuration files: through the File menu of the main window on
// real widgets (offscreen), and the reading of the file alone.
//   QT_QPA_PLATFORM=offscreen bench_cfg_open
#include <benchmark/benchmark.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "cfgfile/cfg_file.h"
#include "support/fake_port.h"
#include "support/program.h"

namespace {

// A file of `lines` entry lines as the program writes them (numbers repeat after 100).
std::string FileOf(int lines) {
    std::vector<k7::KeyString> entries;
    for (int i = 0; i < std::min(lines, 100); ++i) entries.push_back({"K" + std::to_string(i), "Hello{0D}{F1}x"});
    std::string text = k7::cfgFileText(entries, "12/6/2026 7:30:00 AM");
    for (int i = 100; i < lines; ++i) text += "0" + std::to_string(10 + i % 90) + "\tK" + std::to_string(i) + "\tHello{0D}{F1}x\r\n";
    return text;
}

// The main window with nothing on its serial line; the menu never waits.
struct Window {
    k7::test::VirtualClock clock;
    k7::test::FakePump pump{clock};
    k7::test::FakeSerialPort port{clock, pump};
    k7::test::Program program{pump, port};
};

void BM_OpenFile(benchmark::State& state) {
    const int lines = int(state.range(0));
    Window w;
    w.program.env.write("bench.cfg", FileOf(lines));
    const std::string path = w.program.env.path("bench.cfg");
    for (auto _ : state) {
        w.program.dialogs.fileAnswers.push_back(path);
        w.program.menu("FOpen");
        benchmark::DoNotOptimize(w.program.window->keyStrings().size());
    }
    if (w.program.window->keyStrings().size() != lines || int(w.program.list().size()) != lines ||
        !w.program.dialogs.messages.empty())
        state.SkipWithError("file not read whole");
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_OpenFile)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_ReadCfgFile(benchmark::State& state) {
    const int lines = int(state.range(0));
    const std::string text = FileOf(lines);
    std::size_t read = 0;
    for (auto _ : state) {
        std::istringstream in(text);
        read = k7::readCfgFile(in).entries.size();
        benchmark::DoNotOptimize(read);
    }
    if (int(read) != lines) state.SkipWithError("file not read whole");
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_ReadCfgFile)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
