#include "compiler/zentorcompiler.h"

#include "compiler/codegen.h"
#include "compiler/compilertexts.h"
#include "compiler/lexer.h"
#include "compiler/ll1.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"
#include "prp/prplayout.h"

TZentorCompiler::TZentorCompiler() : Messages(&OwnMessages) {}

int TZentorCompiler::CompileSection(TZentorSection &section, int sectionNumber)
{
    TAlgMemoryMap memory;
    memory.Reserve({0, AlgMemoryUsed});
    const int result = CompileSection(section, sectionNumber, memory);
    AlgMemoryUsed = memory.End();
    return result;
}

void TZentorCompiler::RaiseMaxima(const TIndexMaxima &maxima)
{
    TIndexMaxima all{MaxVD, MaxDV, MaxVA, MaxAV, MaxTM};
    all.Raise(maxima);
    MaxVD = all.VD;
    MaxDV = all.DV;
    MaxVA = all.VA;
    MaxAV = all.AV;
    MaxTM = all.TM;
}

int TZentorCompiler::CompileSection(TZentorSection &section, int sectionNumber,
                                    TAlgMemoryMap &memory, TIndexMaxima *scanned)
{
    TIndexMaxima maxima;
    const bool ok = ScanSection(section.Text, sectionNumber, Macros, Lexemes, *Messages, maxima);
    RaiseMaxima(maxima);
    if (scanned)
        *scanned = maxima;
    if (!ok)
        return 1;

    SetBlockSection(section.Code, sectionNumber);
    section.CodeLength = BlockHeaderLength;
    section.FragmentCount = 0;
    TSectionCodeGenerator generator(section, sectionNumber, AlgBase, memory, *Messages);
    generator.Observer = Observer;
    if (LL1Walk(Lexemes, generator, LL1CompileStackCapacity) != 0) {
        section.CodeLength = 0;
        section.FragmentCount = 0;
        return -1;
    }
    if (section.CodeLength == BlockHeaderLength) {
        section.CodeLength = 0;
        section.FragmentCount = 0;
        Messages->append(CompilerText::NoFragmentsBegin + SectionNumberText(sectionNumber) +
                         CompilerText::NoFragmentsEnd);
        return 0;
    }
    FinishBlock(section);
    section.NeedsCompile = 0;
    return 0;
}

QStringList TZentorCompiler::SummaryLines() const
{
    return {
        CompilerText::SummaryTitle,
        CompilerText::SummaryVD + OctalText(MaxVD, 3) + u';',
        CompilerText::SummaryDV + OctalText(MaxDV, 3) + u';',
        CompilerText::SummaryVA + OctalText(MaxVA, 3) + u';',
        CompilerText::SummaryAV + OctalText(MaxAV, 3) + u';',
        CompilerText::SummaryTM + OctalText(MaxTM, 2) + u'.',
        CompilerText::SummaryMemoryBegin + QString::number(AlgMemoryUsed) +
            CompilerText::SummaryMemoryEnd,
    };
}
