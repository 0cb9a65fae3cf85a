// The simulator's run of its stored program: preparing the largest program from its stored
// image (done once after each write, under the simulator's lock), and what a window's read of
// the state costs while the clock scans that program every millisecond (called 5–10 times a
// second by the watch table; it must never hold the caller for more than a few ms).

#include "compiler/algbase.h"
#include "compiler/zentorcompiler.h"
#include "core/progress.h"
#include "largestprogram.h"
#include "model/zentorprogram.h"
#include "protocol/wire.h"
#include "sim/simclock.h"
#include "sim/simulator.h"
#include "sim/simwatch.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// A simulator that holds the largest program, as a write would have left it.
std::unique_ptr<TSarvetelSimulator> SimulatorWithLargestProgram(TAlgBase &base)
{
    auto program = CompiledLargestProgram(base);
    auto sim = std::make_unique<TSarvetelSimulator>();
    sim->LoadAlgorithms(base);
    sim->Program.CopyContentOf(*program);
    sim->Reassemble();
    return sim;
}

void BM_SimPrepareLargestImage(benchmark::State &state)
{
    TAlgBase base;
    auto sim = SimulatorWithLargestProgram(base);
    for (auto _ : state) {
        sim->Run.Restart();
        sim->PrepareRun();
        if (sim->Run.Status() != TSimRunStatus::Ready) {
            std::fprintf(stderr, "the largest program is not run\n");
            std::abort();
        }
    }
    state.counters["instructions"] = static_cast<double>(sim->Run.Program()->Places().size());
}
BENCHMARK(BM_SimPrepareLargestImage)->Unit(benchmark::kMillisecond);

void BM_SimSnapshotWhileScanning(benchmark::State &state)
{
    TAlgBase base;
    auto sim = SimulatorWithLargestProgram(base);
    sim->PrepareRun();
    sim->Mode = Sarvetel::ModeRun;
    TSimClock clock(*sim, 1);
    clock.Start();
    TSimWatch watch(*sim);
    double longest = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const TSimSnapshot s = watch.Snapshot();
        benchmark::DoNotOptimize(s.Scans);
        const std::chrono::duration<double, std::micro> took =
            std::chrono::steady_clock::now() - start;
        longest = std::max(longest, took.count());
    }
    clock.Stop();
    state.counters["longest_us"] = longest;
}
BENCHMARK(BM_SimSnapshotWhileScanning)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
