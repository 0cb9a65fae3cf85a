// The whole-program compile: header, sections, summary, image. Kept apart from the section
// compiler so that code which compiles single sections does not need the program model.

#include "compiler/compilertexts.h"
#include "compiler/zentorcompiler.h"
#include "core/progress.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"

#include <algorithm>

namespace {

// More than the controller's block count can describe: it could never be read back whole.
constexpr int ReadableImageLimit = 16384;

} // namespace

bool TZentorCompiler::CompileProgram(TZentorProgram &program, TProgress &progress)
{
    MaxVD = MaxDV = MaxVA = MaxAV = MaxTM = 0;
    progress.SetCaption(CompilerText::ProgressCaption);
    progress.SetMaximum(1 + program.PresentSectionCount());
    progress.SetPosition(0);
    progress.Show();
    progress.SetAction(CompilerText::ProgressHeader);

    // The header's own errors are listed but do not decide the result.
    if (KeepUnchangedHeader && program.Header.Text == program.Header.CompiledText) {
        TPRPHeader names = program.Header;
        QStringList unchanged; // its messages were listed when it was compiled
        names.Compile(unchanged, Macros);
    } else {
        program.Header.Compile(*Messages, Macros);
    }

    progress.SetPosition(1);
    AlgMemoryUsed = 0;
    bool result = true;
    int counted = 0;
    const int limit =
        std::min(program.SectionLimit(), static_cast<int>(TZentorProgram::SectionCount));
    for (int s = 0; s < limit; ++s) {
        TZentorSection &section = program.Sections[s];
        if (!section.Present)
            continue;
        ++counted;
        if (!section.NeedsCompile)
            continue;
        progress.SetPosition(counted);
        progress.SetAction(CompilerText::ProgressSection + SectionNumberText(s));
        section.CompiledOk = 0;
        section.Code[2] = static_cast<std::uint8_t>(s);
        section.Code[3] = static_cast<std::uint8_t>(s);
        if (CompileSection(section, s) == 0)
            section.CompiledOk = 1;
        else
            result = false;
    }
    progress.Hide();

    Messages->append(SummaryLines());
    if (!program.AssembleImage())
        return false;
    if (program.ImageLength > ReadableImageLimit)
        Messages->append(CompilerText::ImageTooLargeToRead);
    return result;
}

bool TZentorCompiler::CompileWithReport(TZentorProgram &program, TProgress &progress)
{
    Messages->append(CompilerText::CompileStarted);
    const bool ok = CompileProgram(program, progress);
    if (ok)
        Messages->append(CompilerText::CompileSucceededBegin +
                         QString::number(program.ImageLength) + CompilerText::CompileSucceededEnd);
    else
        Messages->append(CompilerText::CompileFailed);
    return ok;
}
