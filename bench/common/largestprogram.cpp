#include "largestprogram.h"

#include "compiler/algbase.h"
#include "compiler/zentorcompiler.h"
#include "core/progress.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kNames = 300;

} // namespace

QStringList LargestProgramBase()
{
    return {
        QStringLiteral("/ Алгоритм 001 ! Регулятор"),
        QStringLiteral("память 2 11"),
        QStringLiteral("1   5  ВХОД"),
        QStringLiteral("2   3  РАЗР"),
        QStringLiteral("3   8  ШАГ"),
        QStringLiteral("4   9  РЕЖ"),
    };
}

QStringList LargestProgramHeader()
{
    QStringList h = {QStringLiteral("/ ЗАКАЗ ПЕРЕМЕННЫХ"), QStringLiteral("ДВ 000 - 777"),
                     QStringLiteral("ВД 000 - 777"), QStringLiteral("ТМ 00 - 77")};
    for (int k = 1; k <= 4; ++k) {
        h.append(QStringLiteral("/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА %1").arg(k));
        for (int key = 1; key <= 16; ++key)
            h.append(
                QStringLiteral("%1 ДВ%2 КЛАВ%3").arg(key).arg(OctalText(16 * k + key, 3)).arg(key));
    }
    h.append(QStringLiteral("/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ"));
    for (int i = 0; i < kNames; ++i)
        h.append(QStringLiteral("СИГНАЛ_%1 ДВ%2 ! название %1").arg(i).arg(OctalText(i, 3)));
    return h;
}

// Every statement form: 68 bytes of instructions, a block of 74 bytes.
QStringList LargestProgramSection(int s)
{
    const QString d = OctalText(s % 64, 3);
    const QString t = OctalText(s % 30 + 1, 2);
    return {
        QStringLiteral("! секция %1").arg(s),
        QStringLiteral("ЕСЛИ ВКЛ ВД%1 ИЛИ ( ЕСЛИ Б КС%2 ЕСЛИ АВ%1 > +ВА%1 -10 )")
            .arg(d, SectionNumberText(s)),
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

std::unique_ptr<TZentorProgram> LargestProgram(bool named)
{
    auto p = std::make_unique<TZentorProgram>();
    p->Header.Text = LargestProgramHeader();
    for (int s = 0; s < TZentorProgram::SectionCount; ++s) {
        p->AddGroup(s / 32);
        p->AddSection(s, named ? QStringLiteral("Секция %1").arg(s) : QString());
        p->CommitSectionText(s, LargestProgramSection(s));
    }
    return p;
}

std::unique_ptr<TZentorProgram> CompiledLargestProgram(TAlgBase &base)
{
    base.LoadFromLines(LargestProgramBase());
    TZentorCompiler compiler;
    compiler.AlgBase = &base;
    auto program = LargestProgram();
    if (!compiler.CompileProgram(*program, NoProgress())) {
        std::fprintf(stderr, "the largest program does not compile\n");
        std::abort();
    }
    return program;
}
