// Decompiling the largest image: a full header (64 technological keys) and 256 sections of
// about 74 bytes each using every statement form and an algorithm call, just under the
// 20000-byte limit; and laying the same program out in the old format.

#include "compiler/algbase.h"
#include "compiler/decompiler.h"
#include "compiler/oldformat.h"
#include "compiler/zentorcompiler.h"

#include "core/progress.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

const QStringList kBase = {
    QStringLiteral("/ Алгоритм 001 ! Регулятор"),
    QStringLiteral("память 2 11"),
    QStringLiteral("1   5  ВХОД"),
    QStringLiteral("2   3  РАЗР"),
    QStringLiteral("3   8  ШАГ"),
    QStringLiteral("4   9  РЕЖ"),
};

QStringList Header()
{
    QStringList h = {QStringLiteral("/ ЗАКАЗ ПЕРЕМЕННЫХ"), QStringLiteral("ДВ 000 - 777"),
                     QStringLiteral("ВД 000 - 777"), QStringLiteral("ТМ 00 - 77")};
    for (int k = 1; k <= 4; ++k) {
        h.append(QStringLiteral("/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА %1").arg(k));
        for (int key = 1; key <= 16; ++key)
            h.append(
                QStringLiteral("%1 ДВ%2 КЛАВ%3").arg(key).arg(OctalText(16 * k + key, 3)).arg(key));
    }
    return h;
}

// Every statement form and a call with parameters on lines of their own.
QStringList Section(int s)
{
    const QString d = OctalText(s % 64, 3);
    const QString t = OctalText(s % 30 + 1, 2);
    return {
        QStringLiteral("ЕСЛИ ВКЛ ВД%1 ИЛИ ( ЕСЛИ Б КС%2 ЕСЛИ АВ%1 > +ВА%1 -10 )")
            .arg(d, SectionNumberText(s)),
        QStringLiteral("ТОГДА ВКЛ ДВ%1 ИНАЧЕ ОТКЛ ДВ%1").arg(d),
        QStringLiteral("ЕСЛИ ТМ%1 > 00.00.10 ТОГДА ТМ%1 = 00.01.00 ИНАЧЕ ТМ%1 = ТМ77").arg(t),
        QStringLiteral("АВ%1 = +ВА%1 -АВ%1 +100").arg(d),
        QStringLiteral("ТС1.0.1 АВАР #ДВ%1#").arg(d),
        QStringLiteral("АЛГ001"),
        QStringLiteral("   1  ВХОД=+ВА%1").arg(d),
        QStringLiteral("   2  РАЗР=ДВ%1").arg(d),
        QStringLiteral("   3  ШАГ=12"),
        QStringLiteral("   4  РЕЖ=3"),
        QStringLiteral("ВСК"),
    };
}

struct TLargest
{
    TLargest()
    {
        Base.LoadFromLines(kBase);
        Compiler.AlgBase = &Base;
        Compiler.Messages = &Messages;
        Program->Header.Text = Header();
        for (int s = 0; s < TZentorProgram::SectionCount; ++s) {
            Program->AddSection(s, QString());
            Program->AddGroup(s / 32);
            Program->Sections[s].Text = Section(s);
        }
        Program->MarkAllForCompile();
        if (!Compiler.CompileProgram(*Program, NoProgress()) ||
            Program->ImageLength >= TZentorProgram::ImageSize || Program->ImageLength < 19000) {
            std::fprintf(stderr, "the largest program did not compile to its size (%d bytes)\n",
                         Program->ImageLength);
            std::abort();
        }
    }
    TAlgBase Base;
    TZentorCompiler Compiler;
    QStringList Messages;
    std::unique_ptr<TZentorProgram> Program = std::make_unique<TZentorProgram>();
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
        program->SplitImage();
        const int failed = DecompileProgram(l.Compiler, *program, NoProgress());
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
