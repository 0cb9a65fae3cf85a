#include "compiler/oldformat.h"

#include "compiler/decompilertexts.h"
#include "compiler/lexer.h"
#include "compiler/relayout.h"
#include "compiler/zentorcompiler.h"
#include "core/cp1251.h"
#include "core/progress.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"
#include "prp/headerentries.h"
#include "prp/headerwords.h"
#include "prp/macrostable.h"
#include "prp/variableorder.h"

#include <memory>
#include <utility>

namespace T = OldFormatText;

namespace {

enum class TPart { None, Variables, Impulse, Other };

// Writes the lines collected under a part that the old format keeps as comments; the part's
// heading comment only once, however many lone "/" lines continue the part.
void WritePart(TPart part, bool headingWritten, const QStringList &collected, QStringList &out)
{
    if (part == TPart::Variables) {
        if (!headingWritten)
            out.append(T::VariablesComment);
        for (const QString &line : collected) {
            if (line.isEmpty())
                continue;
            qsizetype first = 0;
            while (first < line.size() && line[first] == u' ')
                ++first;
            const QString cls = line.mid(first, 2);
            const qsizetype dash = line.indexOf(u'-');
            const QString value = dash >= 0 ? TrimSpaces(line.mid(dash + 1)) : QString();
            if (FindVariableOrder(ClassOfWord(cls)))
                out.append(QStringLiteral(" !") + cls + u'=' + value);
        }
    } else if (part == TPart::Impulse) {
        if (!headingWritten)
            out.append(T::ImpulseComment);
        for (const QString &line : collected)
            out.append(QStringLiteral(" !") + line);
    }
}

// The section in the old layout. A section that does not lay out (it does not compile)
// would pass its raw lines through, and on reading the old file back a raw line could become
// a header line ("/ ...") or start a section ("101. ..."): each of its lines is written as a
// comment of the section instead, so nothing of it is lost.
QStringList OldSectionLines(TZentorCompiler &compiler, int n, const QStringList &text)
{
    QStringList lines;
    const qsizetype before = compiler.Messages->size();
    // A section that laid out with a syntax error said so in the messages too.
    if (RelayoutSection(compiler, n, text, lines, RelayoutOld) &&
        compiler.Messages->size() == before)
        return lines;
    lines.clear();
    for (const QString &line : text) // a lone "!" would be no comment at all
        lines.append(u'!' + (line.isEmpty() ? QStringLiteral(" ") : line));
    compiler.Messages->append(T::NotCompilingBegin + SectionNumberText(n) + T::NotCompilingEnd);
    return lines;
}

// The parts of a compiled header that a program read back from the old format lacks: that
// format keeps the header only as comments, and its reader gives a header as Reset leaves it
// with the technological names of "/" lines (which the export does not write).
QStringList HeaderPartsNotKept(const TPRPHeader &header, bool names)
{
    static const std::pair<THeaderPart, const QString *> parts[] = {
        {THeaderPart::Orders, &T::LostOrders},
        {THeaderPart::AdcInputs, &T::LostAdc},
        {THeaderPart::ImpulseOutputs, &T::LostImpulse},
        {THeaderPart::TimerGenerators, &T::LostTimeGen},
        {THeaderPart::TechKeys, &T::LostKeys},
    };
    const auto defaults = std::make_unique<TPRPHeader>();
    QStringList lost;
    for (const auto &[part, text] : parts) {
        const std::vector<THeaderEntry> have = HeaderEntries(header, part);
        const std::vector<THeaderEntry> reset = HeaderEntries(*defaults, part);
        for (std::size_t i = 0; i < have.size(); ++i)
            if (have[i].Value != reset[i].Value) {
                lost.append(*text);
                break;
            }
    }
    if (names)
        lost.append(T::LostNames);
    return lost;
}

} // namespace

QStringList HeaderToOldLines(const QStringList &headerText, QStringList &messages)
{
    QStringList out;
    QStringList collected;
    TPart part = TPart::None;
    bool headingWritten = false;
    const qsizetype n = headerText.size();
    for (qsizetype i = 0; i <= n; ++i) {
        // One extra "/" after the last line writes the last part.
        const QString line = i < n ? ControllerUpper(headerText[i]) : QStringLiteral("/");
        if (line.isEmpty())
            continue;
        if (line[0] != u'/') {
            if (part == TPart::None)
                out.append(u' ' + line);
            else
                collected.append(StripComment(line));
            continue;
        }
        WritePart(part, headingWritten, collected, out);
        // A lone "/" goes on with the same part; its lines are written already.
        collected.clear();
        headingWritten = true;
        if (line == u"/")
            continue;
        headingWritten = false;
        int pos = 2;
        const QString first = NextWord(line, pos);
        if (first == HeadingWord::TechPlural || first == HeadingWord::TechSingular) {
            part = TPart::Other;
        } else if (first == HeadingWord::Order) {
            const QString second = NextWord(line, pos);
            if (second == HeadingWord::Variables)
                part = TPart::Variables;
            else if (second == ClassWord(ClassIV) || second == HeadingWord::Impulse)
                part = TPart::Impulse;
            else if (second == HeadingWord::Inputs || second == HeadingWord::TimeGen)
                part = TPart::Other;
        } else {
            messages.append(T::BadPartInLine + QString::number(i + 1));
            return out;
        }
    }
    return out;
}

QStringList ExportOldFormat(TZentorCompiler &compiler, TZentorProgram &program, TProgress &progress,
                            int *problems)
{
    int present = 0;
    for (const TZentorSection &s : program.Sections)
        present += s.Present ? 1 : 0;
    progress.SetCaption(T::ProgressCaption);
    progress.SetMaximum(present);
    progress.SetPosition(0);
    progress.Show();
    progress.SetAction(T::ProgressHeader);

    const qsizetype before = compiler.Messages->size();
    QStringList result = HeaderToOldLines(program.Header.Text, *compiler.Messages);
    program.Header.Compile(*compiler.Messages, compiler.Macros);
    const QStringList notKept = HeaderPartsNotKept(program.Header, compiler.Macros.Count() > 0);

    int done = 0;
    for (int n = 0; n < TZentorProgram::SectionCount; ++n) {
        const TZentorSection &section = program.Sections[n];
        if (!section.Present)
            continue;
        QStringList lines = OldSectionLines(compiler, n, section.Text);
        if (lines.isEmpty())
            continue;
        progress.SetPosition(++done);
        progress.SetAction(T::ProgressSection + SectionNumberText(n));
        result.append(QString());
        result.append(SectionNumberText(n) + u'.');
        result.append(lines);
    }
    for (QString &line : result)
        line = ControllerLower(line);
    if (problems)
        *problems = static_cast<int>(compiler.Messages->size() - before);
    if (!notKept.isEmpty())
        compiler.Messages->append(T::HeaderNotKept + notKept.join(QStringLiteral(", ")));
    progress.Hide();
    return result;
}

int ConvertOldFormatSections(TZentorCompiler &compiler, TZentorProgram &program,
                             TProgress &progress)
{
    compiler.Messages->append(T::Converting);
    int present = 0;
    const int limit =
        std::min(program.SectionLimit(), static_cast<int>(TZentorProgram::SectionCount));
    for (int s = 0; s < limit; ++s)
        present += program.Sections[s].Present ? 1 : 0;
    progress.SetCaption(T::ProgressCaption);
    progress.SetMaximum(1 + present);
    progress.SetPosition(0);
    progress.Show();
    progress.SetPosition(1);

    // This program's technological names, and no one else's. A copy of the header is
    // compiled: the names part alone must not change the header's fields or its flag.
    compiler.Macros.Clear();
    {
        auto names = std::make_unique<TPRPHeader>();
        names->Text = program.Header.Text;
        QStringList ignored; // the names part is checked again when the program is compiled
        names->Compile(ignored, compiler.Macros);
    }

    int troubled = 0;
    int count = 0;
    for (int s = 0; s < TZentorProgram::SectionCount; ++s) {
        TZentorSection &section = program.Sections[s];
        if (!section.Present)
            continue;
        progress.SetAction(T::ProgressSection + SectionNumberText(s));
        progress.SetPosition(count++);
        const qsizetype before = compiler.Messages->size();
        QStringList lines;
        // Laid out up to a syntax error, or not at all: the messages say which.
        if (!RelayoutSection(compiler, s, section.Text, lines, RelayoutCurrent) ||
            compiler.Messages->size() != before)
            ++troubled;
        section.Text = lines;
        section.NeedsCompile = 1;
        section.Modified = 1;
    }
    progress.Hide();
    return troubled;
}
