// Opening key-string configuration files through the File menu, on the fakes.
#include <benchmark/benchmark.h>

#include "cfgfile/cfg_format.h"
#include "support/rig.h"

namespace {

using k7::test::Rig;

// A file of `lines` entry lines as the program writes them (numbers repeat after 100).
std::string FileOf(int lines) {
    std::vector<std::string> entries;
    for (int i = 0; i < std::min(lines, 100); ++i)
        entries.push_back("K" + std::to_string(i) + "\tHello{0D}{F1}x");
    std::string text = k7::CfgFileText(entries, "12/6/2026 7:30:00 AM");
    for (int i = 100; i < lines; ++i) text += "0" + std::to_string(10 + i % 90) + "\tK" + std::to_string(i) + "\tHello{0D}{F1}x\r\n";
    return text;
}

void OpenFile(benchmark::State& state) {
    const int lines = int(state.range(0));
    Rig rig;
    rig.env.write("bench.cfg", FileOf(lines));
    const std::string path = rig.env.path("bench.cfg");
    for (auto _ : state) {
        rig.dialogs.fileAnswers.push_back(path);
        rig.menu("FOpen").click();
        benchmark::DoNotOptimize(rig.list().size());
    }
    if (int(rig.list().size()) != lines || !rig.dialogs.messages.empty()) state.SkipWithError("file not read whole");
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(OpenFile)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
