// Decompiling the largest image: a full header (64 technological keys) and 256 sections of
// about 74 bytes each using every statement form and an algorithm call, just under the
// 20000-byte limit; and laying the same program out in the old format.

#include "compiler/algbase.h"
#include "compiler/decompiler.h"
#include "compiler/oldformat.h"
#include "compiler/zentorcompiler.h"
#include "largestprogram.h"

#include "core/progress.h"
#include "model/zentorprogram.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct TLargest
{
    TLargest()
    {
        Base.LoadFromLines(LargestProgramBase());
        Compiler.AlgBase = &Base;
        Compiler.Messages = &Messages;
        Program->Messages = &Messages;
        if (!Compiler.CompileProgram(*Program, NoProgress()) ||
            Program->ImageLength != LargestProgramImageLength) {
            std::fprintf(stderr, "the largest program did not compile to its size (%d bytes)\n",
                         Program->ImageLength);
            std::abort();
        }
    }
    TAlgBase Base;
    TZentorCompiler Compiler;
    QStringList Messages;
    std::unique_ptr<TZentorProgram> Program = LargestProgram();
};

TLargest &Largest()
{
    static TLargest largest;
    return largest;
}

// What reading a PRP file does after the bytes are in: split, header and section texts.
void BM_DecompileLargestImage(benchmark::State &state)
{
    TLargest &l = Largest();
    auto program = std::make_unique<TZentorProgram>();
    for (auto _ : state) {
        program->Clear();
        std::memcpy(program->Image, l.Program->Image, sizeof program->Image);
        program->ImageLength = l.Program->ImageLength;
        l.Messages.clear();
        const bool split = program->SplitImage();
        const int failed = DecompileProgram(l.Compiler, *program, NoProgress());
        benchmark::DoNotOptimize(split);
        benchmark::DoNotOptimize(failed);
    }
    state.counters["image_bytes"] = l.Program->ImageLength;
    state.counters["lines"] = static_cast<double>(l.Messages.size());
}
BENCHMARK(BM_DecompileLargestImage)->Unit(benchmark::kMillisecond);

// The largest program written in the old format: header, re-layout of 256 sections.
void BM_ExportLargestToOldFormat(benchmark::State &state)
{
    TLargest &l = Largest();
    for (auto _ : state) {
        l.Messages.clear();
        const QStringList lines = ExportOldFormat(l.Compiler, *l.Program, NoProgress());
        benchmark::DoNotOptimize(lines.size());
    }
}
BENCHMARK(BM_ExportLargestToOldFormat)->Unit(benchmark::kMillisecond);

} // namespace
