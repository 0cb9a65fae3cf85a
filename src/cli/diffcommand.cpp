// zentorc --port DEVICE diff PROGRAM [--alg FILE]: the program's PRP against the one the
// controller holds, as the desktop's comparison shows it: each header part and each
// section on either side with "совпадает", "отличается", "только в контроллере" or "только
// в программе", and under each part that differs the lines that do. Neither side changes.
// Exit 0 when everything matches, 3 when something differs, 1 when the program does not
// compile or the controller's PRP could not be read.

#include "cli/clilink.h"
#include "cli/clitexts.h"

#include "compiler/sectioncompare.h"
#include "link/sarveteldefs.h"
#include "model/comparetexts.h"
#include "model/prpcomparison.h"
#include "model/zentorprogram.h"

#include <memory>

using namespace Sarvetel;

namespace {

// The lines that differ under a row: a header part's entries in pairs, a section's marked
// lines side by side in turn, each with its line number.
void PrintMarked(const TCompareRow &row, QTextStream &out)
{
    const TSideBySide &v = row.View;
    if (!row.IsSection) {
        for (qsizetype i = 0; i < v.ProgramMarked.size() && i < v.ControllerMarked.size(); ++i)
            out << CompareText::ProgramSideLine << v.ProgramLines.value(v.ProgramMarked[i]) << '\n'
                << CompareText::ControllerSideLine << v.ControllerLines.value(v.ControllerMarked[i])
                << '\n';
        return;
    }
    const auto side = [&out](const QString &prefix, const QStringList &lines,
                             const QList<int> &marked) {
        for (int l : marked)
            out << prefix << CliTexts::LineNumber(l) << lines.value(l) << '\n';
    };
    side(CompareText::ProgramSideLine, v.ProgramLines, v.ProgramMarked);
    side(CompareText::ControllerSideLine, v.ControllerLines, v.ControllerMarked);
    for (const QString &note : v.Notes)
        out << QStringLiteral("  ") << note << '\n';
}

void PrintComparison(const TPrpComparison &r, QTextStream &out)
{
    QList<QStringList> rows{CompareText::Columns};
    for (const TCompareRow &row : r.Rows)
        rows.append({row.Title, CompareStateText(row.State), row.Detail});
    const QStringList lines = AlignedLines(rows);
    out << lines.value(0) << '\n';
    for (qsizetype i = 0; i < r.Rows.size(); ++i) {
        out << lines.value(i + 1) << '\n';
        if (r.Rows[i].State == TCompareState::Differs)
            PrintMarked(r.Rows[i], out);
    }
}

} // namespace

int DiffCommand(const QStringList &operands, TCliContext &ctx)
{
    // The port and the log first, as write does; the base for the controller's sections.
    const auto c = OpenCliLink(ctx);
    if (!c)
        return ExitUsage;
    TCliCompilerPtr compiler = AttachCompiler(ctx);
    if (!compiler)
        return ExitUsage;
    auto program = std::make_unique<TZentorProgram>();
    const int loaded = LoadProgramToWrite(*program, operands[0], ctx, compiler);
    if (loaded != ExitOk)
        return loaded;

    ctx.Out << CompareText::Heading << '\n';
    TSarvetel &link = *c->Parts.Sarvetel;
    auto stored = std::make_unique<TZentorProgram>();
    bool sound = false;
    TLinkResult last;
    if (ReadPrpToCompare(link, *stored, ctx, sound, last) != TTransferResult::Done) {
        if (!last.Accepted())
            ctx.Out << LinkFailureText(last) << '\n';
        ctx.Out << CliTexts::DiffNotDone << '\n';
        return ExitReported;
    }
    const auto sent = ProgramAsSent(*program);
    TPrpComparison r = ComparePrp(*sent, *stored);
    AddSectionViews(r, *sent, *stored, &CliAlgBase(*compiler));
    PrintComparison(r, ctx.Out);
    // An image whose checksums do not hold is not what any program gives: it differs.
    const int differences = r.Differences() + (sound ? 0 : 1);
    ctx.Out << (differences == 0 ? CompareText::AllSame : CompareText::Found(differences)) << '\n';
    return differences == 0 ? ExitOk : ExitFindings;
}
