// The program store on a programs.txt of N entries: listing the names, retrieving the last
// entry, replacing one. Each reads (and the replace rewrites) the whole file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "fakes/rig.h"
#include "store/program_file.h"

namespace {

std::string NameOf(long index) {
    return "Program " + std::to_string(index);
}

// A temporary program folder holding a programs.txt of `entries` entries.
struct StoreFolder {
    explicit StoreFolder(long entries) {
        std::string pattern = (std::filesystem::temp_directory_path() / "zr-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        rig = std::make_unique<zr::test::Rig>(folder);
        rig->m.ProgFile = rig->files.pathOf("programs.txt");
        std::ofstream file(rig->m.ProgFile, std::ios::binary);
        file << "\"\"\r\n";
        for (long i = 0; i < entries; ++i) file << NameOf(i) << ";A3000V1600A0gA3000A0G10\r\n";
    }
    ~StoreFolder() { std::filesystem::remove_all(folder); }

    std::string folder;
    std::unique_ptr<zr::test::Rig> rig;
};

void ListNames(benchmark::State& state) {
    StoreFolder store(state.range(0));
    zr::Module& m = store.rig->m;
    m.ProgMode = "save";
    for (auto _ : state) zr::LoadProgramNames(m);
    state.SetComplexityN(state.range(0));
}

void RetrieveLast(benchmark::State& state) {
    StoreFolder store(state.range(0));
    zr::Module& m = store.rig->m;
    m.ProgName = NameOf(state.range(0) - 1);
    for (auto _ : state) zr::RetrieveProgram(m);
    state.SetComplexityN(state.range(0));
}

void ReplaceOne(benchmark::State& state) {
    StoreFolder store(state.range(0));
    zr::Module& m = store.rig->m;
    m.ProgMode = "replace";
    m.ProgName = NameOf(state.range(0) / 2);
    for (auto _ : state) {
        m.CmdString = "W4R";
        zr::StoreProgram(m);
    }
    state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(ListNames)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(RetrieveLast)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(ReplaceOne)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

BENCHMARK_MAIN();
