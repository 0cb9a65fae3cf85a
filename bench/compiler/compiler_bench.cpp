// Compiling the largest program: a full header (64 technological keys, 300 technological
// names) and 256 sections of 74 bytes each using every statement form; the image ends
// just under the 20000-byte limit.

#include "compiler/algbase.h"
#include "compiler/zentorcompiler.h"

#include "core/progress.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kNames = 300;

const QStringList kBase = {
    QStringLiteral("/ Алгоритм 001 ! Регулятор"),
    QStringLiteral("память 2 11"),
    QStringLiteral("1   5  ВХОД"),
    QStringLiteral("2   3  РАЗР"),
    QStringLiteral("3   8  ШАГ"),
    QStringLiteral("4   9  РЕЖ"),
};

QString Oct(int n, int w)
{
    return OctalText(n, w);
}

QStringList Header()
{
    QStringList h = {QStringLiteral("/ ЗАКАЗ ПЕРЕМЕННЫХ"), QStringLiteral("ДВ 000 - 777"),
                     QStringLiteral("ВД 000 - 777"), QStringLiteral("ТМ 00 - 77")};
    for (int k = 1; k <= 4; ++k) {
        h.append(QStringLiteral("/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА %1").arg(k));
        for (int key = 1; key <= 16; ++key)
            h.append(QStringLiteral("%1 ДВ%2 КЛАВ%3").arg(key).arg(Oct(16 * k + key, 3)).arg(key));
    }
    h.append(QStringLiteral("/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ"));
    for (int i = 0; i < kNames; ++i)
        h.append(QStringLiteral("СИГНАЛ_%1 ДВ%2 ! название %1").arg(i).arg(Oct(i, 3)));
    return h;
}

// Every statement form: 68 bytes of instructions, a block of 74 bytes.
QStringList Section(int s)
{
    const QString d = Oct(s % 64, 3);
    const QString t = Oct(s % 30 + 1, 2);
    return {
        QStringLiteral("! секция %1").arg(s),
        QStringLiteral("ЕСЛИ ВКЛ ВД%1 ИЛИ ( ЕСЛИ Б ДВ%1 ЕСЛИ АВ%1 > +ВА%1 -10 )").arg(d),
        QStringLiteral("ТОГДА ВКЛ СИГНАЛ_%1 ИНАЧЕ ОТКЛ ДВ%2").arg(s % kNames).arg(d),
        QStringLiteral("ЕСЛИ ТМ%1 > 00.00.10 ТОГДА ТМ%1 = 00.01.00 ИНАЧЕ ТМ%1 = ТМ77").arg(t),
        QStringLiteral("АВ%1 = +ВА%1 -АВ%1 +100").arg(d),
        QStringLiteral("ТС1.0.1 АВАР #ДВ%1#").arg(d),
        QStringLiteral("АЛГ001"),
        QStringLiteral("   1 ВХОД = +ВА%1").arg(d),
        QStringLiteral("   2 РАЗР = ВД%1").arg(d),
        QStringLiteral("   3 ШАГ = 5"),
        QStringLiteral("   4 РЕЖ = 2"),
        QStringLiteral("ВСК"),
    };
}

std::unique_ptr<TZentorProgram> LargestProgram()
{
    auto p = std::make_unique<TZentorProgram>();
    p->Header.Text = Header();
    for (int s = 0; s < TZentorProgram::SectionCount; ++s) {
        p->AddGroup(s / 32);
        p->AddSection(s, QString());
        p->CommitSectionText(s, Section(s));
    }
    return p;
}

void BM_CompileLargestProgram(benchmark::State &state)
{
    auto program = LargestProgram();
    TAlgBase base;
    base.LoadFromLines(kBase);
    TZentorCompiler compiler;
    QStringList messages;
    compiler.Messages = &messages;
    program->Messages = &messages;
    compiler.AlgBase = &base;
    bool ok = true;
    for (auto _ : state) {
        messages.clear();
        program->MarkAllForCompile();
        ok = compiler.CompileProgram(*program, NoProgress()) && ok;
        benchmark::DoNotOptimize(program->Image);
    }
    // The summary and the warning that such an image cannot be read back whole.
    if (!ok || messages.size() != 8 || program->ImageLength != 162 + 64 * 11 + 256 * 74)
        state.SkipWithError(qPrintable(messages.join(u'|')));
    state.counters["image_bytes"] = program->ImageLength;
    state.counters["block_bytes"] = program->Sections[100].CodeLength;
}
BENCHMARK(BM_CompileLargestProgram)->Unit(benchmark::kMillisecond);

} // namespace
