// Start-up time (process start to the main window shown) and peak memory.
// The parent runs the start-up in fresh child processes and reports the median.
//   bench_startup [runs]     (QT_QPA_PLATFORM=offscreen or under an X server)
#include <QApplication>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "qt/qt_platform.h"
#include "shell/main_window.h"
#include "shell/main_window_design.h"

namespace {

// Milliseconds since this process started, from the kernel's start time.
double MsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream rest(all.substr(all.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i) rest >> field;  // field 22: start time in clock ticks since boot
    const double startMs = std::stod(field) * 1000.0 / double(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6 - startMs;
}

int Probe(int argc, char** argv) {
    QApplication app(argc, argv);
    k7::qt::QtPlatform real(k7::mainWindowDesign());
    k7::MainWindow window(real.platform());
    window.start();
    real.mainWindow().qwindow().show();
    QWindow* handle = real.mainWindow().qwindow().windowHandle();
    while (!handle || !handle->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
        handle = real.mainWindow().qwindow().windowHandle();
    }
    QCoreApplication::processEvents();
    const double ms = MsSinceProcessStart();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.1f %ld\n", ms, usage.ru_maxrss);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--probe") return Probe(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    std::vector<double> times;
    std::vector<long> peaks;
    for (int i = 0; i < runs; ++i) {
        const std::string command = std::string("'") + argv[0] + "' --probe";
        FILE* child = popen(command.c_str(), "r");
        double ms = 0;
        long kb = 0;
        if (!child || std::fscanf(child, "%lf %ld", &ms, &kb) != 2) {
            std::fprintf(stderr, "a start-up run failed\n");
            return 1;
        }
        pclose(child);
        times.push_back(ms);
        peaks.push_back(kb);
    }
    std::sort(times.begin(), times.end());
    std::sort(peaks.begin(), peaks.end());
    std::printf("start-up to window shown: median %.1f ms, min %.1f ms, max %.1f ms over %d runs\n",
                times[times.size() / 2], times.front(), times.back(), runs);
    std::printf("peak memory (max RSS): median %.1f MB, max %.1f MB\n", peaks[peaks.size() / 2] / 1024.0,
                peaks.back() / 1024.0);
    return 0;
}
