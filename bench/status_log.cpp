// The status log on the real list widget: the cost of one more line when the log
// already holds 0, 10,000 or 100,000 lines, and the memory a line takes.
//   QT_QPA_PLATFORM=offscreen bench_status_log
#include <benchmark/benchmark.h>

#include <QApplication>

#include <sys/resource.h>

#include "qt/qt_platform.h"
#include "shell/main_window.h"
#include "shell/main_window_design.h"

namespace {

struct App {
    int argc = 1;
    char name[16] = "bench";
    char* argv[2] = {name, nullptr};
    QApplication app{argc, argv};
    k7::qt::QtPlatform real{k7::mainWindowDesign()};
    k7::MainWindow window{real.platform()};
    k7::ListBox& log = dynamic_cast<k7::ListBox&>(real.mainWindow().control(k7::controls::kLog));
    App() {
        window.start();
        real.mainWindow().qwindow().show();
        QCoreApplication::processEvents();
    }
    void clickClearNow() { dynamic_cast<k7::Button&>(real.mainWindow().control(k7::controls::kClearLogNow)).onClick(); }
    // One status line as the window adds it: appended, the newest five lines kept in view.
    void addLine(const std::string& text) {
        log.addItem(text);
        const int lines = log.count();
        if (lines > 5) log.setTopIndex(lines - 5);
    }
};

App& TheApp() {
    static App app;
    return app;
}

long MaxRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_AddStatusLine(benchmark::State& state) {
    auto& app = TheApp();
    app.clickClearNow();
    for (int i = 0; i < state.range(0); ++i) app.addLine("SENT:{5F)}  /W{17}{3}{F6}{DE}{0}{0}{0}{0}");
    QCoreApplication::processEvents();
    const long before = MaxRssKb();
    int n = 0;
    for (auto _ : state) {
        app.addLine("RECVD:ACK " + std::to_string(n++));
        if (n % 64 == 0) QCoreApplication::processEvents();  // repaint now and then, as a running operation does
    }
    state.counters["lines_before"] = double(state.range(0));
    state.counters["rss_growth_kb"] = double(MaxRssKb() - before);
}
BENCHMARK(BM_AddStatusLine)->Arg(0)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
