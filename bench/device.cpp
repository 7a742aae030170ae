// The device operations in real time on the Qt platform against a KORVEN7 emulator on
// a pseudo-terminal:
//   - CPU share of the attachment probe against a silent line;
//   - time from the last ACK byte leaving the emulator to the acknowledgement wait returning;
//   - wall time of read, verify and send against the floor their fixed waits set
//     (a request's wait covers its bytes on the line), and their CPU share.
// Run it on a display server, as the program runs for a user:
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench_device
// Without one it falls back to the offscreen platform, whose window flushes cost more CPU.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

#include "device/device_link.h"
#include "device/flash_image.h"
#include "device/frames.h"
#include "emulator/korven7_emulator.h"
#include "real_program.h"
#include "support/sim_process.h"

namespace {

using Clock = std::chrono::steady_clock;

double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

using Program = k7::bench::RealProgram;

// Marks the run as failed unless the verify succeeded, with the log lines that say why.
void ExpectVerified(benchmark::State& state, Program& p) {
    if (p.verified()) return;
    for (const std::string& line : p.program.log())
        if (line.rfind("!FAILED!", 0) == 0 || line.rfind("!NO REPLY!", 0) == 0) std::fprintf(stderr, "%s\n", line.c_str());
    for (const auto& m : p.program.dialogs.messages) std::fprintf(stderr, "message: %s\n", m.c_str());
    state.SkipWithError("not verified");
}

// Runs one operation, reports wall and CPU time against its floor.
template <class Op>
void Measure(benchmark::State& state, Program& p, double floorMs, Op op) {
    double wall = 0, cpu = 0;
    for (auto _ : state) {
        const double cpu0 = ProcessCpuMs();
        const auto start = Clock::now();
        op();
        wall = MsSince(start);
        cpu = ProcessCpuMs() - cpu0;
        state.SetIterationTime(wall / 1e3);
    }
    state.counters["floor_ms"] = floorMs;
    state.counters["wall_ms"] = wall;
    state.counters["ratio"] = wall / floorMs;
    state.counters["cpu_share_pct"] = 100.0 * cpu / wall;
    if (!p.program.dialogs.messages.empty()) state.SkipWithError(p.program.dialogs.messages.front().c_str());
}

void BM_CheckAttachmentSilentLine(benchmark::State& state) {
    k7::test::SimProcess sim(9600, {"--silent"});
    Program p(k7::test::PortSettingsFile(sim.link(), 9600));
    bool attached = true;
    Measure(state, p, 3.0 * k7::lineWaitMs(20, 9600), [&] { attached = p.window().session().link().probeDevice().ok(); });
    if (attached) state.SkipWithError("a silent line counted as attached");
}
BENCHMARK(BM_CheckAttachmentSilentLine)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

// The emulator served on a pseudo-terminal from a thread of this process, so that the
// moment the last ACK byte is written and the moment the wait returns share one clock.
class PtyEmulator {
public:
    explicit PtyEmulator(int baud) : device_(baud) {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master_);
        unlockpt(master_);
        slave_ = ptsname(master_);
        keep_ = open(slave_.c_str(), O_RDWR | O_NOCTTY);
        termios tio{};
        tcgetattr(keep_, &tio);
        cfmakeraw(&tio);
        tcsetattr(keep_, TCSANOW, &tio);
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        // Every reply comes after the acknowledgement wait has settled.
        device_.faults().extraDelayMs = 60;
        thread_ = std::thread([this] { serve(); });
    }
    ~PtyEmulator() {
        stop_ = true;
        thread_.join();
        close(keep_);
        close(master_);
    }
    const std::string& slave() const { return slave_; }
    Clock::time_point lastAck() const { return Clock::time_point(Clock::duration(lastAck_.load())); }

private:
    void serve() {
        const auto t0 = Clock::now();
        auto nowUs = [&] { return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - t0).count(); };
        std::string sent;
        while (!stop_) {
            const std::string due = device_.take(nowUs());
            if (!due.empty()) {
                sent += due;
                // Stamped before the write, so the program cannot see the byte first.
                if (sent.size() >= 3 && sent.compare(sent.size() - 3, 3, "ACK") == 0) {
                    lastAck_ = Clock::now().time_since_epoch().count();
                    sent.clear();
                }
                (void)!write(master_, due.data(), due.size());
            }
            int timeoutMs = 20;
            if (const auto next = device_.nextByteTime()) timeoutMs = int(std::max<std::int64_t>(0, *next - nowUs()) / 1000);
            pollfd fd{master_, POLLIN, 0};
            if (poll(&fd, 1, timeoutMs) > 0 && (fd.revents & POLLIN)) {
                char buffer[256];
                const ssize_t n = read(master_, buffer, sizeof buffer);
                if (n > 0) device_.receive(std::string(buffer, std::size_t(n)), nowUs());
            }
        }
    }
    k7::Korven7Emulator device_;
    int master_ = -1, keep_ = -1;
    std::string slave_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<Clock::rep> lastAck_{0};
};

void BM_AckToAckWaitReturn(benchmark::State& state) {
    PtyEmulator emulator(57600);
    Program p(k7::test::PortSettingsFile(emulator.slave(), 57600));
    k7::DeviceLink& link = p.window().session().link();
    p.port.open();
    std::vector<double> latencies;
    for (auto _ : state) {
        p.port.output(k7::flashFrame());
        link.startAck(500);
        const std::string reply = link.finishAck(500);
        const auto returned = Clock::now();
        if (reply != "ACK") {
            state.SkipWithError(("unexpected reply: " + reply).c_str());
            break;
        }
        const double us = std::chrono::duration<double, std::micro>(returned - emulator.lastAck()).count();
        latencies.push_back(us);
        state.SetIterationTime(us / 1e6);
    }
    p.port.close();
    if (latencies.empty()) return;
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_us"] = latencies[latencies.size() / 2];
    state.counters["p90_us"] = latencies[latencies.size() * 9 / 10];
    state.counters["max_us"] = latencies.back();
}
BENCHMARK(BM_AckToAckWaitReturn)->Iterations(100)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Floors: the probe's version wait, then per operation its fixed waits.
double ReadPassFloorMs(int baud, int settleMs) {
    return k7::lineWaitMs(20, baud) + double(k7::kKeyRows) * k7::lineWaitMs(65, baud) + settleMs;
}

void BM_Read(benchmark::State& state) {
    const int baud = int(state.range(0));
    k7::test::SimProcess sim(baud);
    Program p(k7::test::PortSettingsFile(sim.link(), baud));
    Measure(state, p, ReadPassFloorMs(baud, 2000), [&] { p.program.click(k7::controls::kRead); });
}

void BM_Verify(benchmark::State& state) {
    const int baud = int(state.range(0));
    k7::test::SimProcess sim(baud);
    Program p(k7::test::PortSettingsFile(sim.link(), baud));
    Measure(state, p, ReadPassFloorMs(baud, 1000), [&] { p.program.click(k7::controls::kVerify); });
    ExpectVerified(state, p);
}

// Every ACK arrives while the acknowledgement wait settles, so each frame (the erase,
// then the image's frames) costs exactly the settle time; the verify follows.
void BM_Send(benchmark::State& state) {
    const int baud = int(state.range(0));
    k7::test::SimProcess sim(baud);
    Program p(k7::test::PortSettingsFile(sim.link(), baud));
    p.window().keyStrings().replace({{"F1", "Hello"}, {"A", "{C7}x"}});
    const double frames = 1.0 + double(k7::framePlan(k7::flashImageOf(p.window().keyStrings().keyTable())).size());
    const double floor = k7::lineWaitMs(20, baud) + frames * k7::settleMs(baud) + ReadPassFloorMs(baud, 1000);
    state.counters["frames"] = frames;
    Measure(state, p, floor, [&] { p.program.click(k7::controls::kSend); });
    ExpectVerified(state, p);
}

BENCHMARK(BM_Read)->Arg(9600)->Arg(57600)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Verify)->Arg(9600)->Arg(57600)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Send)->Arg(9600)->Arg(57600)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
