// The scan engine: one scan of the largest program (256 sections of every statement form,
// goal: 100 µs at most) and `zentorc simulate` of the example program for 10,000 scans, from
// reading the files to the report.

#include "cli/cliapp.h"
#include "compiler/algbase.h"
#include "compiler/zentorcompiler.h"
#include "core/progress.h"
#include "largestprogram.h"
#include "model/zentorprogram.h"
#include "runtime/runprogram.h"
#include "runtime/scanengine.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

void BM_ScanLargestProgram(benchmark::State &state)
{
    TAlgBase base;
    auto program = CompiledLargestProgram(base);
    TRunProgram run;
    run.Prepare(*program, &base);
    TScanEngine engine(run);
    int scan = 0;
    for (auto _ : state) {
        // Inputs change between scans, so that both branches of the groups run.
        engine.State.Set({TVarClass::VD, scan % 64}, scan & 1);
        engine.Scan();
        ++scan;
    }
    state.counters["instructions"] = static_cast<double>(run.Places().size());
    state.counters["covered"] = engine.ExecutedCount();
}
BENCHMARK(BM_ScanLargestProgram)->Unit(benchmark::kMicrosecond);

void BM_SimulateDemo10000Scans(benchmark::State &state)
{
    const QString examples = QStringLiteral(ZENTOR_SOURCE_DIR "/examples/");
    const QStringList args = {QStringLiteral("simulate"), examples + QStringLiteral("demo.zen"),
                              QStringLiteral("--alg"),    examples + QStringLiteral("BaseAlgs.alg"),
                              QStringLiteral("--cycles"), QStringLiteral("10000")};
    for (auto _ : state) {
        QString out;
        QString err;
        QTextStream o(&out);
        QTextStream e(&err);
        const int status = RunZentorc(args, o, e);
        if (status != 0) {
            std::fprintf(stderr, "simulate gave %d: %s\n", status, qPrintable(err));
            std::abort();
        }
        benchmark::DoNotOptimize(out.size());
    }
}
BENCHMARK(BM_SimulateDemo10000Scans)->Unit(benchmark::kMillisecond);

} // namespace
