// korven7 in real time against korven7-sim on pseudo-terminals: read, verify and send at
// 9600 and 57600 baud, with and without --fast, and a send to four keyboards at once
// against a send to one. Each figure is the whole run of the program, start-up included,
// against the limit of the line:
//   limit_ms  what the emulator allows: each reply's bytes at 10 bits, after the device's
//             millisecond (a pseudo-terminal carries the program's own bytes at once);
//   wire_ms   a real line: the program's bytes on the wire too.
//   build/bench_cli
#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "device/flash_image.h"
#include "device/readback.h"
#include "emulator/korven7_emulator.h"
#include "keystrings/key_string_list.h"
#include "support/sim_process.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::vector<k7::KeyString> kList{{"A", "{C7}x"}, {"F1", "Hello{0D}"}, {"M", "MNOPQRSTUV"}};

// Runs build/korven7 with `args`, output discarded; its exit status.
int RunKorven7(std::vector<std::string> args) {
    const pid_t pid = k7::test::StartKorven7(std::move(args));
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The time on the line for the bytes the program sends and the replies' bytes, and the
// device's millisecond before each reply.
struct Traffic {
    double sent = 0, replied = 0;
    int replies = 0;
    Traffic& operator+=(const Traffic& t) {
        sent += t.sent, replied += t.replied, replies += t.replies;
        return *this;
    }
    double limitMs(int baud) const { return replied * 10 * 1000 / baud + replies; }
    double wireMs(int baud) const { return (sent + replied) * 10 * 1000 / baud + replies; }
};

const Traffic kProbe{2, 15, 1};  // "/V" and "KORVEN7 V2.14" CR LF

Traffic ReadPass() { return Traffic{kProbe} += Traffic{96.0 * 6, 96.0 * double(k7::kReadBackReplyLength), 96}; }

Traffic Send() {
    k7::KeyStringList list;
    list.replace(kList);
    Traffic t = kProbe;
    t += {9, 3, 1};  // the erase frame and its ACK
    for (const k7::PlannedFrame& f : k7::framePlan(k7::flashImageOf(list.keyTable()))) t += {double(f.frame.size()), 3, 1};
    return t += ReadPass();
}

std::string ListFile() {
    const std::string path = "/tmp/k7-bench-cli.cfg";
    std::ofstream out(path, std::ios::binary);
    for (std::size_t i = 0; i < kList.size(); ++i) out << i + 1 << '\t' << kList[i].legend << '\t' << kList[i].notation << "\r\n";
    return path;
}

// state.range(0): baud; range(1): 1 with --fast; range(2): the number of keyboards.
void Measure(benchmark::State& state, const std::string& command, const Traffic& traffic) {
    const int baud = int(state.range(0));
    std::vector<std::unique_ptr<k7::test::SimProcess>> sims;
    std::vector<std::string> args;
    for (int i = 0; i < std::max<int>(1, int(state.range(2))); ++i) {
        sims.push_back(std::make_unique<k7::test::SimProcess>(baud));
        args.insert(args.end(), {"--port", sims.back()->link()});
    }
    args.insert(args.end(), {"--baud", std::to_string(baud), "--quiet"});
    if (state.range(1)) args.push_back("--fast");
    if (command == "verify") {  // the keyboards hold the list first
        std::vector<std::string> send = args;
        send.insert(send.end(), {"--fast", "send", ListFile()});
        if (RunKorven7(send) != 0) state.SkipWithError("the send before the verify failed");
    }
    args.push_back(command);
    if (command != "read") args.push_back(ListFile());
    double wall = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const int status = RunKorven7(args);
        wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        state.SetIterationTime(wall / 1e3);
        if (status != 0) state.SkipWithError(("korven7 exited with " + std::to_string(status)).c_str());
    }
    state.counters["wall_ms"] = wall;
    state.counters["limit_ms"] = traffic.limitMs(baud);
    state.counters["ratio"] = wall / traffic.limitMs(baud);
    state.counters["wire_ms"] = traffic.wireMs(baud);
}

void BM_Read(benchmark::State& state) { Measure(state, "read", ReadPass()); }
void BM_Verify(benchmark::State& state) { Measure(state, "verify", ReadPass()); }
void BM_Send(benchmark::State& state) { Measure(state, "send", Send()); }

#define K7_BENCH(name) \
    BENCHMARK(name)->ArgsProduct({{9600, 57600}, {0, 1}, {1}})->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond)
K7_BENCH(BM_Read);
K7_BENCH(BM_Verify);
K7_BENCH(BM_Send);
// Four keyboards at once against one, at 57600 baud.
BENCHMARK(BM_Send)->ArgsProduct({{57600}, {0, 1}, {4}})->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
