// Compiling the largest program: a full header (64 technological keys, 300 technological
// names) and 256 sections of 74 bytes each using every statement form; the image ends
// just under the 20000-byte limit.

#include "compiler/algbase.h"
#include "compiler/crossref.h"
#include "compiler/zentorcompiler.h"
#include "largestprogram.h"

#include "core/progress.h"
#include "model/zentorprogram.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The largest program with its base and a compiler that lists into messages.
struct TLargestCompile
{
    std::unique_ptr<TZentorProgram> Program = LargestProgram();
    TAlgBase Base;
    TZentorCompiler Compiler;
    QStringList Messages;

    TLargestCompile()
    {
        Base.LoadFromLines(LargestProgramBase());
        Compiler.Messages = &Messages;
        Program->Messages = &Messages;
        Compiler.AlgBase = &Base;
    }
};

void BM_CompileLargestProgram(benchmark::State &state)
{
    TLargestCompile setup;
    auto &program = setup.Program;
    TZentorCompiler &compiler = setup.Compiler;
    QStringList &messages = setup.Messages;
    bool ok = true;
    for (auto _ : state) {
        messages.clear();
        program->MarkAllForCompile();
        ok = compiler.CompileProgram(*program, NoProgress()) && ok;
        benchmark::DoNotOptimize(program->Image);
    }
    // The summary and the warning that such an image cannot be read back whole.
    if (!ok || messages.size() != 8 || program->ImageLength != LargestProgramImageLength)
        state.SkipWithError(qPrintable(messages.join(u'|')));
    state.counters["image_bytes"] = program->ImageLength;
    state.counters["block_bytes"] = program->Sections[100].CodeLength;
}
BENCHMARK(BM_CompileLargestProgram)->Unit(benchmark::kMillisecond);

// F9 after one section of the largest program changed: the other 255 sections are not
// compiled, but their calls' memory is read from their code and their indexes counted.
void BM_CompileOneChangedSection(benchmark::State &state)
{
    TLargestCompile setup;
    auto &program = setup.Program;
    TZentorCompiler &compiler = setup.Compiler;
    QStringList &messages = setup.Messages;
    program->MarkAllForCompile();
    bool ok = compiler.CompileProgram(*program, NoProgress());
    const QStringList whole = messages;
    for (auto _ : state) {
        messages.clear();
        program->Sections[100].NeedsCompile = 1;
        ok = compiler.CompileProgram(*program, NoProgress()) && ok;
        benchmark::DoNotOptimize(program->Image);
    }
    if (!ok || messages != whole)
        state.SkipWithError(qPrintable(messages.join(u'|')));
}
BENCHMARK(BM_CompileOneChangedSection)->Unit(benchmark::kMillisecond);

// The cross-reference of the same program, as its window builds it after every compile:
// copies of the header and of all 256 sections compiled, every use gathered and checked.
void BM_CrossReferenceLargestProgram(benchmark::State &state)
{
    auto program = LargestProgram();
    TAlgBase base;
    base.LoadFromLines(LargestProgramBase());
    std::size_t uses = 0;
    bool failed = false;
    for (auto _ : state) {
        const TCrossReference x = BuildCrossReference(*program, &base);
        uses = static_cast<std::size_t>(x.Uses.size());
        failed = failed || x.Failed();
    }
    if (failed)
        state.SkipWithError("the largest program does not compile");
    state.counters["uses"] = static_cast<double>(uses);
}
BENCHMARK(BM_CrossReferenceLargestProgram)->Unit(benchmark::kMillisecond);

// A header of state.range(0) technological names, each standing for a discrete variable, and
// a section that uses some of them: the cross-reference must grow with the names no faster
// than n log n.
void BM_CrossReferenceManyNames(benchmark::State &state)
{
    const int names = static_cast<int>(state.range(0));
    auto program = std::make_unique<TZentorProgram>();
    QStringList header{QStringLiteral("/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ")};
    for (int i = 0; i < names; ++i)
        header.append(QStringLiteral("Н%1 ДВ%2").arg(i).arg(i % 512, 3, 8, QLatin1Char('0')));
    program->Header.Text = header;
    QStringList section;
    for (int i = 0; i < 20; ++i)
        section.append(QStringLiteral("ВКЛ Н%1").arg(i * (names / 20)));
    program->Sections[0].Text = section;
    std::size_t uses = 0;
    bool failed = false;
    for (auto _ : state) {
        const TCrossReference x = BuildCrossReference(*program, nullptr);
        uses = static_cast<std::size_t>(x.Uses.size());
        failed = failed || x.Failed();
    }
    if (failed || uses < static_cast<std::size_t>(names))
        state.SkipWithError("the names program does not compile");
    state.counters["uses"] = static_cast<double>(uses);
    state.SetComplexityN(names);
}
BENCHMARK(BM_CrossReferenceManyNames)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

} // namespace
