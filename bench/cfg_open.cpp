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

// The legends of the keys that have one.
const std::vector<std::string>& Legends() {
    static const std::vector<std::string> legends = [] {
        std::vector<std::string> named;
        for (const k7::KeyRecord& key : k7::defaultKeyTable())
            if (k7::findKeyRow(key.legend) >= 0) named.push_back(key.legend);
        return named;
    }();
    return legends;
}

// The entries a file of `lines` lines gives: one per key.
int EntriesOf(int lines) { return std::min(lines, int(Legends().size())); }

// A file of `lines` entry lines as the program writes them: one for each key, then the
// same keys again (numbers repeat after 100), which the reader counts but does not load.
std::string FileOf(int lines) {
    std::vector<k7::KeyString> entries;
    for (int i = 0; i < EntriesOf(lines); ++i) entries.push_back({Legends()[std::size_t(i)], "Hello{0D}{F1}x"});
    std::string text = k7::cfgFileText(entries, "12/6/2026 7:30:00 AM");
    for (int i = EntriesOf(lines); i < lines; ++i)
        text += "0" + std::to_string(10 + i % 90) + "\t" + Legends()[std::size_t(i) % Legends().size()] +
                "\tHello{0D}{F1}x\r\n";
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
        w.program.menu(k7::controls::kOpen);
        benchmark::DoNotOptimize(w.program.window->keyStrings().size());
    }
    const int entries = EntriesOf(lines);
    if (w.program.window->keyStrings().size() != entries || int(w.program.list().size()) != entries ||
        w.program.dialogs.messages.size() != (lines > entries ? std::size_t(state.iterations()) : 0u))
        state.SkipWithError("file not read whole");
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_OpenFile)->Arg(90)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_ReadCfgFile(benchmark::State& state) {
    const int lines = int(state.range(0));
    const std::string text = FileOf(lines);
    std::size_t read = 0;
    for (auto _ : state) {
        std::istringstream in(text);
        read = k7::readCfgFile(in).entries.size();
        benchmark::DoNotOptimize(read);
    }
    if (int(read) != EntriesOf(lines)) state.SkipWithError("file not read whole");
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_ReadCfgFile)->Arg(90)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
