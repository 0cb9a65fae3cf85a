// zentorc xref PROGRAM [--alg FILE] [--format text|csv]: the cross-reference of the
// program's variables and technological names, as the desktop's window shows it, then its
// two checks. Exit 1 when the header or a section does not compile (or the program could
// not be read whole), else 3 when a check found something, else 0.

#include "cli/cliapp.h"
#include "cli/clitexts.h"

#include "compiler/crossref.h"
#include "compiler/crossreftexts.h"
#include "model/zentorprogram.h"

#include <memory>

namespace {

QString CsvField(const QString &field)
{
    const bool quote = field.contains(u',') || field.contains(u'"') || field.contains(u'\n') ||
                       field.startsWith(u' ') || field.endsWith(u' ');
    if (!quote)
        return field;
    QString f = field;
    f.replace(u'"', QStringLiteral("\"\""));
    return u'"' + f + u'"';
}

void PrintCsv(const QList<QStringList> &rows, QTextStream &out)
{
    for (const QStringList &row : rows) {
        QStringList fields;
        for (const QString &f : row)
            fields.append(CsvField(f));
        out << fields.join(u',') << '\n';
    }
}

// The lines of one check after the table: a count (or "нет") and one line per use.
void PrintCheck(const TCrossReference &x, TCrossRefCheck check, const QString &title, int count,
                QTextStream &out)
{
    out << title << (count > 0 ? QString::number(count) : CrossRefText::None) << '\n';
    for (const TCrossRefUse &use : x.Uses) {
        if (use.Check != check)
            continue;
        const QString what = use.Variable.isEmpty() ? use.Name : use.Variable;
        out << QStringLiteral("  %1 — %2, строка %3, позиция %4: %5")
                   .arg(what, use.Where)
                   .arg(use.Line)
                   .arg(use.Column)
                   .arg(use.Detail);
        if (!use.CheckText.isEmpty())
            out << QStringLiteral(" (") << use.CheckText << u')';
        out << '\n';
    }
}

void PrintText(const TCrossReference &x, QTextStream &out)
{
    QList<QStringList> rows{CrossRefText::Columns};
    for (const TCrossRefUse &use : x.Uses)
        rows.append(CrossRefCells(use));
    for (const QString &line : AlignedLines(rows))
        out << line << '\n';
    for (const TCrossRefFailure &f : x.Failures) {
        out << '\n'
            << (f.Section < 0 ? CrossRefText::FailedHeader : f.Where + CrossRefText::FailedSection)
            << '\n';
        for (const QString &m : f.Messages)
            out << QStringLiteral("  ") << m << '\n';
    }
    out << '\n';
    PrintCheck(x, TCrossRefCheck::OutsideOrder, CrossRefText::CheckOutsideOrder, x.OutsideOrder,
               out);
    PrintCheck(x, TCrossRefCheck::Unused, CrossRefText::CheckUnused, x.Unused, out);
}

// One table: the checks are its last column; each compile message is a row of its own.
void PrintCsvTable(const TCrossReference &x, QTextStream &out)
{
    QList<QStringList> rows{CrossRefText::Columns};
    for (const TCrossRefUse &use : x.Uses)
        rows.append(CrossRefCells(use));
    for (const TCrossRefFailure &f : x.Failures)
        for (const QString &m : f.Messages)
            rows.append({QString(), QString(), f.Where, QString(), QString(), CrossRefText::Compile,
                         m, QString()});
    PrintCsv(rows, out);
}

} // namespace

int XrefCommand(const QStringList &operands, TCliContext &ctx)
{
    const QString &input = operands[0];
    const QString format = ctx.Format.isEmpty() ? QStringLiteral("text") : ctx.Format;
    if (format != QStringLiteral("text") && format != QStringLiteral("csv")) {
        ctx.Err << CliTexts::UnknownFormat(ctx.Format) << '\n';
        return ExitUsage;
    }
    const TCliCompilerPtr compiler = AttachCompiler(ctx);
    if (!compiler)
        return ExitUsage;

    auto program = std::make_unique<TZentorProgram>();
    ctx.Files.ErrorCount = 0;
    const int result = LoadFromFile(*program, input, ctx.Files);
    for (const QString &line : *program->Messages)
        ctx.Err << line << '\n';
    if (result != FileOk)
        return FileResultExit(result, input, ctx);

    const TCrossReference x = BuildCrossReference(*program, &CliAlgBase(*compiler));
    if (format == QStringLiteral("csv"))
        PrintCsvTable(x, ctx.Out);
    else
        PrintText(x, ctx.Out);
    if (x.Failed() || ctx.Files.ErrorCount > 0)
        return ExitReported;
    return x.Found() ? ExitFindings : ExitOk;
}
