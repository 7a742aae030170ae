// The string field's live check and the decoding of key strings, on 10-unit strings.
#include <benchmark/benchmark.h>

#include "keystrings/notation.h"
#include "keystrings/string_field_check.h"

namespace {

const char* const kPlain = "Hello Worl";                          // ten plain characters
const char* const kMixed = "Hi{0D}{F1}abcd{7B}{1B}";              // plain and groups
const char* const kGroups = "{41}{42}{43}{44}{45}{46}{47}{48}{49}{4A}";  // ten groups

const char* Sample(const benchmark::State& state) {
    const char* samples[] = {kPlain, kMixed, kGroups};
    return samples[state.range(0)];
}

void BM_CheckStringField(benchmark::State& state) {
    const std::string text = Sample(state);
    for (auto _ : state) benchmark::DoNotOptimize(k7::checkStringField(text));
    const k7::StringFieldCheck check = k7::checkStringField(text);
    if (!check.message.empty() || check.corrected || check.shownCount != 10)
        state.SkipWithError("the sample is not a well-formed 10-unit string");
}
BENCHMARK(BM_CheckStringField)->DenseRange(0, 2);

void BM_NotationToBytes(benchmark::State& state) {
    const std::string text = Sample(state);
    for (auto _ : state) benchmark::DoNotOptimize(k7::notationToBytes(text));
    if (k7::notationToBytes(text).size() != 10) state.SkipWithError("the sample does not decode to 10 bytes");
}
BENCHMARK(BM_NotationToBytes)->DenseRange(0, 2);

}  // namespace

BENCHMARK_MAIN();
