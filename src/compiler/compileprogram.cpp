// The whole-program compile: header, sections, summary, image. Kept apart from the section
// compiler so that code which compiles single sections does not need the program model.

#include "compiler/compilertexts.h"
#include "compiler/decompiler.h"
#include "compiler/lexer.h"
#include "compiler/zentorcompiler.h"
#include "core/progress.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"
#include "prp/prplayout.h"

#include <algorithm>

namespace {

// More than the controller's block count can describe: it could never be read back whole.
constexpr int ReadableImageLimit = 16384;

} // namespace

TAlgMemoryMap TZentorCompiler::MemoryInUse(const TZentorProgram &program,
                                           const std::vector<bool> &compiled)
{
    TAlgMemoryMap memory;
    for (int s = 0; s < TZentorProgram::SectionCount; ++s) {
        const TZentorSection &section = program.Sections[s];
        if (!section.Present || compiled[s])
            continue;
        TSectionFigures &figures = Figures[static_cast<std::size_t>(s)];
        const auto length = static_cast<std::size_t>(
            std::clamp(section.CodeLength, 0, static_cast<int>(sizeof(section.Code))));
        const bool same = figures.CallsKnown && figures.Code.size() == length &&
                          std::equal(figures.Code.begin(), figures.Code.end(), section.Code);
        if (!same) {
            figures.Calls = CallSites(section);
            figures.Code.assign(section.Code, section.Code + length);
            figures.CallsKnown = true;
        }
        for (const TAlgMemoryRange &r : CallMemoryRanges(figures.Calls, AlgBase))
            memory.Reserve(r);
    }
    return memory;
}

void TZentorCompiler::KeepFiguresForNames()
{
    auto same = [](const TMacrosTableRec &a, const TMacrosTableRec &b) {
        return a.Name == b.Name && a.Value == b.Value;
    };
    if (std::equal(Macros.Entries().begin(), Macros.Entries().end(), FiguresNames.begin(),
                   FiguresNames.end(), same))
        return;
    FiguresNames = Macros.Entries();
    for (TSectionFigures &f : Figures)
        f.Known = false;
}

void TZentorCompiler::CountUncompiled(const TZentorProgram &program,
                                      const std::vector<bool> &compiled)
{
    TLexemeContainer lexemes;
    QStringList ignored; // the section's own compile reported its text
    for (int s = 0; s < TZentorProgram::SectionCount; ++s) {
        const TZentorSection &section = program.Sections[s];
        if (!section.Present || compiled[s])
            continue;
        TSectionFigures &figures = Figures[static_cast<std::size_t>(s)];
        if (!figures.Known || figures.Text != section.Text) {
            figures.Maxima = TIndexMaxima();
            // A text that stops the lexer counts up to where it stops, as its own compile
            // counted it (and reported it): the result adds nothing here.
            static_cast<void>(
                ScanSection(section.Text, s, Macros, lexemes, ignored, figures.Maxima));
            figures.Text = section.Text;
            figures.Known = true;
        }
        RaiseMaxima(figures.Maxima);
    }
}

bool TZentorCompiler::CompileHeader(TZentorProgram &program, bool headerAlways)
{
    // A header that stops the header compiler leaves its later parts unapplied: the image
    // would not be the program the text describes.
    if (headerAlways || program.Header.NeedsCompile())
        return program.Header.Compile(*Messages, Macros) == 0;
    // The fields stand as they are; the sections still get the header's names.
    TakeNames(program.Header.Text);
    return true;
}

void TZentorCompiler::TakeNames(const QStringList &headerText)
{
    TPRPHeader names;
    names.Text = headerText;
    QStringList ignored;
    names.Compile(ignored, Macros);
}

bool TZentorCompiler::CompileProgram(TZentorProgram &program, TProgress &progress,
                                     bool headerAlways)
{
    MaxVD = MaxDV = MaxVA = MaxAV = MaxTM = 0;
    progress.SetCaption(CompilerText::ProgressCaption);
    progress.SetMaximum(1 + program.PresentSectionCount());
    progress.SetPosition(0);
    progress.Show();
    progress.SetAction(CompilerText::ProgressHeader);

    bool result = CompileHeader(program, headerAlways);
    Figures.resize(TZentorProgram::SectionCount);
    KeepFiguresForNames();

    progress.SetPosition(1);
    const int limit =
        std::min(program.SectionLimit(), static_cast<int>(TZentorProgram::SectionCount));
    std::vector<bool> compiled(TZentorProgram::SectionCount, false);
    for (int s = 0; s < limit; ++s)
        compiled[s] = program.Sections[s].Present && program.Sections[s].NeedsCompile;
    TAlgMemoryMap memory = MemoryInUse(program, compiled);
    int counted = 0;
    for (int s = 0; s < limit; ++s) {
        TZentorSection &section = program.Sections[s];
        if (!section.Present)
            continue;
        ++counted;
        if (!compiled[s])
            continue;
        progress.SetPosition(counted);
        progress.SetAction(CompilerText::ProgressSection + SectionNumberText(s));
        section.CompiledOk = 0;
        SetBlockSection(section.Code, s);
        TSectionFigures &figures = Figures[static_cast<std::size_t>(s)];
        if (CompileSection(section, s, memory, &figures.Maxima) == 0)
            section.CompiledOk = 1;
        else
            result = false;
        figures.Text = section.Text;
        figures.Known = true;
    }
    progress.Hide();

    CountUncompiled(program, compiled);
    AlgMemoryUsed = memory.End();
    Messages->append(SummaryLines());
    if (!program.AssembleImage())
        return false;
    if (program.ImageLength > ReadableImageLimit)
        Messages->append(CompilerText::ImageTooLargeToRead);
    return result;
}

bool TZentorCompiler::CompileWithReport(TZentorProgram &program, TProgress &progress,
                                        bool headerAlways)
{
    Messages->append(CompilerText::CompileStarted);
    const bool ok = CompileProgram(program, progress, headerAlways);
    if (ok)
        Messages->append(CompilerText::CompileSucceededBegin +
                         QString::number(program.ImageLength) + CompilerText::CompileSucceededEnd);
    else
        Messages->append(CompilerText::CompileFailed);
    return ok;
}
