// Reading and writing a large program source file, and assembling and splitting an image
// just under the 20000-byte limit.

#include "files/programfiles.h"

#include "core/textutils.h"
#include "model/zentorprogram.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

constexpr int kSourceLines = 16000;

// A full program: 8 groups of 32 sections, 16,000 lines with the header.
std::unique_ptr<TZentorProgram> LargeProgram()
{
    auto p = std::make_unique<TZentorProgram>();
    for (int i = 0; i < 64; ++i)
        p->Header.Text.append(QStringLiteral("КЛ%1 НАСОС%1 ДВ%2 ! технологическое название")
                                  .arg(i)
                                  .arg(OctalText(i, 3)));
    int lines = p->Header.Text.size();
    for (int s = 0; s < TZentorProgram::SectionCount; ++s) {
        p->AddGroup(s / 32);
        p->AddSection(s, QStringLiteral("Секция управления %1").arg(s));
        lines += 2;
    }
    for (int i = 0; lines < kSourceLines; ++i, ++lines)
        p->Sections[i % 256].Text.append(
            QStringLiteral("ЕСЛИ ВКЛ ДВ%1 И ОТКЛ ВД%2 ТОГДА ВКЛ ДВ%3 ИНАЧЕ ОТКЛ ДВ%3 ! шаг %4")
                .arg(OctalText(i % 512, 3), OctalText((i * 7) % 512, 3),
                     OctalText((i + 1) % 512, 3))
                .arg(i));
    return p;
}

// Blocks of 256 bytes and one shorter block: an image of 19,974 bytes.
std::unique_ptr<TZentorProgram> NearlyFullImageProgram()
{
    auto p = std::make_unique<TZentorProgram>();
    auto put = [&](int s, int length) {
        TZentorSection &sec = p->Sections[s];
        std::memset(sec.Code, 0x1E, sizeof sec.Code);
        sec.Code[0] = sec.Code[1] = static_cast<std::uint8_t>(length - 1);
        sec.Code[2] = sec.Code[3] = static_cast<std::uint8_t>(s);
        sec.Code[4] = 0;
        sec.Code[4] = static_cast<std::uint8_t>((256 - ByteSum(sec.Code, length - 1)) % 256);
        sec.Code[length - 1] = 0;
        sec.CodeLength = length;
        p->MarkPresent(s);
    };
    for (int s = 0; s < 77; ++s)
        put(s, 256);
    put(77, 100);
    return p;
}

void BM_LoadProgramSource16000(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.zen");
    TFileContext ctx;
    auto p = LargeProgram();
    if (SaveToFile(*p, path, ctx) != FileOk)
        state.SkipWithError("cannot write the program source file");
    for (auto _ : state) {
        const int result = LoadFromFile(*p, path, ctx);
        benchmark::DoNotOptimize(result);
    }
    state.counters["lines"] = static_cast<double>(ProgramSourceLines(*p).size());
}
BENCHMARK(BM_LoadProgramSource16000)->Unit(benchmark::kMillisecond);

void BM_SaveProgramSource16000(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.zen");
    TFileContext ctx;
    auto p = LargeProgram();
    for (auto _ : state) {
        const int result = SaveToFile(*p, path, ctx);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_SaveProgramSource16000)->Unit(benchmark::kMillisecond);

void BM_AssembleImageNear20000(benchmark::State &state)
{
    auto p = NearlyFullImageProgram();
    for (auto _ : state) {
        const bool ok = p->AssembleImage();
        benchmark::DoNotOptimize(ok);
    }
    state.counters["bytes"] = p->ImageLength;
}
BENCHMARK(BM_AssembleImageNear20000)->Unit(benchmark::kMicrosecond);

void BM_SplitImageNear20000(benchmark::State &state)
{
    auto p = NearlyFullImageProgram();
    p->AssembleImage();
    for (auto _ : state) {
        const bool ok = p->SplitImage();
        benchmark::DoNotOptimize(ok);
    }
    state.counters["bytes"] = p->ImageLength;
}
BENCHMARK(BM_SplitImageNear20000)->Unit(benchmark::kMicrosecond);

} // namespace
