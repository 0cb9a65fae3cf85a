// zentorc write and read: the PRP into the controller and out of it, with the main window's
// mode check before writing and an optional read-back that compares what the controller
// now holds with what was written.

#include "cli/clilink.h"
#include "cli/clitexts.h"

#include "core/textfile.h"
#include "core/textutils.h"
#include "link/modeswitch.h"
#include "link/sarveteldefs.h"
#include "model/prpcomparison.h"
#include "model/zentorprogram.h"

#include <algorithm>
#include <functional>
#include <memory>

using namespace Sarvetel;

namespace {

// Differences listed one by one per header or section; the rest are counted.
constexpr int ListedDifferences = 8;

void PrintFrom(const QStringList &lines, qsizetype from, QTextStream &stream)
{
    for (qsizetype i = from; i < lines.size(); ++i)
        stream << lines[i] << '\n';
}

// Asks the controller's mode and, when it is not "Программирование", switches it through
// "Останов" as the main window's write command does; only with --yes.
int EnsureProgrammingMode(TSarvetel &link, TCliContext &ctx)
{
    TModeSwitchHooks hooks;
    hooks.RunOnPort = [](const std::function<void()> &step) {
        step();
        return true;
    };
    hooks.Ask = [&ctx](const QString &question) {
        ctx.Out << question << '\n';
        ctx.Out << (ctx.Yes ? CliTexts::ModeSwitchAnswerYes : CliTexts::ModeSwitchNeedsYes) << '\n';
        return ctx.Yes;
    };
    TLinkResult last;
    switch (SwitchToProgramming(link, hooks, &last)) {
    case TModeSwitchOutcome::InProgramming:
        return ExitOk;
    case TModeSwitchOutcome::NoAnswer:
        static_cast<void>(ControllerAnswered(last, ctx)); // it was not: that is told
        return ExitReported;
    case TModeSwitchOutcome::NotSwitched:
        if (!last.Accepted())
            ctx.Out << LinkFailureText(last) << '\n';
        ctx.Out << ModeChangeFailed << '\n' << WriteAttemptFailed << '\n';
        return ExitReported;
    default: // declined without --yes
        return ExitReported;
    }
}

// Lists the differing bytes of a header or block (at most ListedDifferences lines) and
// counts them.
template <typename Line> int ListBytes(const TBytesComparison &b, TCliContext &ctx, Line line)
{
    int found = 0;
    for (const TByteDifference &d : b.Bytes) {
        if (found < ListedDifferences)
            ctx.Out << line(d.Offset, d.Program, d.Controller) << '\n';
        ++found;
    }
    if (found > ListedDifferences)
        ctx.Out << CliTexts::MoreDifferences(found - ListedDifferences) << '\n';
    return found;
}

// The PRP the controller holds against the one written, byte by byte: the header and every
// section block. Returns the number of differences.
int ListDifferences(const TPrpComparison &r, TCliContext &ctx)
{
    int differences = 0;
    if (r.Header.ProgramLength != r.Header.ControllerLength) {
        ctx.Out << CliTexts::HeaderLengthDiffers(r.Header.ProgramLength, r.Header.ControllerLength)
                << '\n';
        ++differences;
    }
    differences += ListBytes(
        r.Header, ctx, [](int at, int w, int s) { return CliTexts::HeaderByteDiffers(at, w, s); });
    for (const TCompareRow &row : r.Rows) {
        if (!row.IsSection)
            continue;
        const QString number = SectionNumberText(row.Section);
        const TBytesComparison &b = row.Bytes;
        if (row.State == TCompareState::OnlyProgram) {
            ctx.Out << CliTexts::SectionMissing(number) << '\n';
            ++differences;
            continue;
        }
        if (row.State == TCompareState::OnlyController) {
            ctx.Out << CliTexts::SectionExtra(number) << '\n';
            ++differences;
            continue;
        }
        if (b.ProgramLength != b.ControllerLength) {
            ctx.Out << CliTexts::SectionLengthDiffers(number, b.ProgramLength, b.ControllerLength)
                    << '\n';
            ++differences;
        }
        differences += ListBytes(b, ctx, [&number](int at, int w, int s) {
            return CliTexts::SectionByteDiffers(number, at, w, s);
        });
    }
    return differences;
}

} // namespace

int LoadProgramToWrite(TZentorProgram &program, const QString &input, TCliContext &ctx,
                       TCliCompilerPtr &compiler)
{
    const bool image = IsImageForm(input);
    if (!image && !compiler) {
        compiler = AttachCompiler(ctx);
        if (!compiler)
            return ExitUsage;
    }
    const QStringList &messages = *program.Messages;
    ctx.Files.ErrorCount = 0;
    const int result = LoadFromFile(program, input, ctx.Files);
    PrintFrom(messages, 0, ctx.Err);
    if (result != FileOk)
        return FileResultExit(result, input, ctx);
    if (image) {
        if (ctx.Files.ErrorCount > 0) {
            ctx.Out << CliTexts::ImageDamaged << '\n';
            return ExitReported;
        }
        return ExitOk;
    }
    const qsizetype first = messages.size();
    const bool ok = ctx.Files.CompileBeforeImageSave(program);
    PrintFrom(messages, first, ctx.Out);
    return ok ? ExitOk : ExitReported;
}

TTransferResult ReadPrp(TSarvetel &link, TZentorProgram &program, TCliContext &ctx,
                        TLinkResult &last)
{
    program.Clear();
    program.Sections[0].Present = 0;
    const qsizetype first = program.Messages->size();
    TCliTransferUi ui(ctx);
    TPRPReadThread job(link, program, ui, &ui);
    job.ReadTwice = ctx.Twice;
    RunTransfer(job);
    PrintFrom(*program.Messages, first, ctx.Out);
    last = job.LastLink;
    return job.Result;
}

TTransferResult ReadPrpToCompare(TSarvetel &link, TZentorProgram &stored, TCliContext &ctx,
                                 bool &sound, TLinkResult &last)
{
    const TTransferResult result = ReadPrp(link, stored, ctx, last);
    if (result != TTransferResult::Done)
        return result;
    const qsizetype split = stored.Messages->size();
    sound = stored.SplitImage();
    PrintFrom(*stored.Messages, split, ctx.Out);
    return result;
}

namespace {

int Verify(TZentorProgram &program, TSarvetel &link, TCliContext &ctx)
{
    ctx.Out << CliTexts::VerifyHeading << '\n';
    // What was sent: the header object encoded and the section blocks, assembled.
    const auto written = ProgramAsSent(program);
    auto stored = std::make_unique<TZentorProgram>();
    bool sound = false;
    TLinkResult last;
    if (ReadPrpToCompare(link, *stored, ctx, sound, last) != TTransferResult::Done) {
        ctx.Out << CliTexts::VerifyNotDone << '\n';
        return ExitReported;
    }
    const int differences = ListDifferences(ComparePrp(*written, *stored), ctx);
    if (differences == 0 && sound) {
        ctx.Out << CliTexts::VerifySame << '\n';
        return ExitOk;
    }
    ctx.Out << CliTexts::VerifyDifferent(differences) << '\n';
    return ExitReported;
}

} // namespace

int WriteCommand(const QStringList &operands, TCliContext &ctx)
{
    // The port and the log first: a log that cannot be written is told before anything
    // is compiled. Nothing is asked of the controller before the program is ready.
    const auto c = OpenCliLink(ctx);
    if (!c)
        return ExitUsage;
    TSarvetel &link = *c->Parts.Sarvetel;
    auto program = std::make_unique<TZentorProgram>();
    TCliCompilerPtr compiler;
    const int loaded = LoadProgramToWrite(*program, operands[0], ctx, compiler);
    if (loaded != ExitOk)
        return loaded;

    ctx.Out << CliTexts::WriteHeading << '\n';
    const int mode = EnsureProgrammingMode(link, ctx);
    if (mode != ExitOk)
        return mode;

    const qsizetype first = program->Messages->size();
    TCliTransferUi ui(ctx);
    TPRPWriteThread job(link, *program, ui, &ui);
    RunTransfer(job);
    PrintFrom(*program->Messages, first, ctx.Out);
    if (job.Result != TTransferResult::Done) {
        // Why the frame failed: a port that vanished is not a controller that refused.
        if (job.Result == TTransferResult::Failed && !job.LastLink.Accepted())
            ctx.Out << LinkFailureText(job.LastLink) << '\n';
        ctx.Out << WriteNotDone << '\n';
        return ExitReported;
    }
    ctx.Out << WriteDone << '\n';
    return ctx.Verify ? Verify(*program, link, ctx) : ExitOk;
}

int ReadCommand(const QStringList &, TCliContext &ctx)
{
    const QString &output = ctx.OutputFile;
    if (output.isEmpty()) {
        ctx.Err << CliTexts::ReadOutputNeeded << '\n';
        return ExitUsage;
    }
    const QString ext = FileExtension(output);
    const bool image = IsImageForm(output);
    if (!image && ext != QStringLiteral("ZEN") && ext != QStringLiteral("PRG")) {
        ctx.Err << CliTexts::UnsupportedExtension(output) << '\n';
        return ExitUsage;
    }
    // A text form needs the sections decompiled, with the algorithm base.
    TCliCompilerPtr compiler;
    if (!image) {
        compiler = AttachCompiler(ctx);
        if (!compiler)
            return ExitUsage;
    }
    // What is read must not be lost to a missing folder after the transfer.
    QString error;
    if (!CheckWritable(output, error)) {
        ctx.Err << error << '\n';
        return ExitUsage;
    }
    const auto c = OpenCliLink(ctx);
    if (!c)
        return ExitUsage;
    TSarvetel &link = *c->Parts.Sarvetel;
    ctx.Out << CliTexts::ReadHeading << '\n';
    auto program = std::make_unique<TZentorProgram>();
    TLinkResult last;
    const TTransferResult result = ReadPrp(link, *program, ctx, last);
    if (result != TTransferResult::Done) {
        if (!last.Accepted())
            ctx.Out << LinkFailureText(last) << '\n';
        return ExitReported;
    }
    const qsizetype split = program->Messages->size();
    bool sound = program->SplitImage();
    if (!image && ctx.Files.DecompileAfterLoad(*program) > 0)
        sound = false; // a section that could not be read to its end
    PrintFrom(*program->Messages, split, ctx.Out);
    ctx.Out << CliTexts::ReadDone(program->ImageLength, program->PresentSectionCount()) << '\n';

    // What was read is kept even when it is damaged: nothing the controller gave is lost.
    const qsizetype saving = program->Messages->size();
    const int saved = SaveToFile(*program, output, ctx.Files);
    PrintFrom(*program->Messages, saving, ctx.Err);
    if (saved != FileOk)
        return FileResultExit(saved, output, ctx);
    ctx.Out << CliTexts::Saved(output) << '\n';
    return sound ? ExitOk : ExitReported;
}
