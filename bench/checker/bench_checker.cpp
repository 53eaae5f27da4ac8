// The command checker on strings an operator types, and on long strings of typical commands
// from 1 KiB up to the longest string it takes, to show that its time grows with the length.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "cmdlang/checker.h"
#include "fakes/rig.h"

namespace {

const std::vector<std::string> TypicalCommands = {
    "A3000R", "gA3000A0G10R", "V1600A0i<200bA48000R", "k^3s#5,7z3=56535U#21R", "?FQ~b&?30",
};

// Whole run-mode commands repeated until the string has `length` characters; one of them
// ends it, so every string passes.
std::string LongCommandString(std::size_t length) {
    const std::string piece = "A3000V1600i11aK500o-6z3=100";
    std::string text;
    while (text.size() + piece.size() < length) text += piece;
    text.append(length - text.size(), 'R');
    return text;
}

zr::Module& Ready(zr::test::Rig& rig) {
    rig.m.MaxPosition = 48000;
    rig.m.MaxValvePort = 12;
    return rig.m;
}

void CheckTypical(benchmark::State& state) {
    zr::test::Rig rig;
    zr::Module& m = Ready(rig);
    const std::string& text = TypicalCommands[static_cast<std::size_t>(state.range(0))];
    m.CmdString = text;
    for (auto _ : state) {
        zr::ParseCommand(m);
        benchmark::DoNotOptimize(m.WorkText.data());
    }
    if (m.ErrNum != 0) state.SkipWithError(("does not pass: " + text).c_str());
    state.SetLabel(text);
    state.counters["commands/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void CheckLong(benchmark::State& state) {
    zr::test::Rig rig;
    zr::Module& m = Ready(rig);
    const auto length = static_cast<std::size_t>(state.range(0)) * 1024 - (state.range(0) == 32 ? 3 : 0);
    m.CmdString = LongCommandString(length);
    for (auto _ : state) {
        zr::ParseCommand(m);
        benchmark::DoNotOptimize(m.WorkText.data());
    }
    if (m.ErrNum != 0) state.SkipWithError("long string does not pass");
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(length));
    state.counters["commands/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(CheckTypical)->DenseRange(0, 4);
// 32 KiB less three characters is the longest string the checker takes.
BENCHMARK(CheckLong)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Arg(32)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

BENCHMARK_MAIN();
