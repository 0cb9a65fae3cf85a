#include "compiler/sectioncompare.h"

#include "compiler/codegen.h"
#include "compiler/decompiler.h"
#include "compiler/statementlines.h"
#include "compiler/zentorcompiler.h"
#include "model/comparetexts.h"
#include "model/prpcomparison.h"
#include "model/zentorprogram.h"

#include <algorithm>
#include <cstring>

namespace {

struct TDecoded
{
    QStringList Text;
    std::vector<TDecodedInstruction> Instructions;
    QStringList Messages;
};

TDecoded Decode(const TZentorSection &section, int n, const TAlgBase *base)
{
    TDecoded d;
    // A block that cannot be read to its end says why in d.Messages, which the view shows
    // with the lines read up to there.
    static_cast<void>(DecodeSectionText(section, n, base, d.Text, d.Instructions, d.Messages));
    return d;
}

bool SameInstruction(const TZentorSection &a, const TDecodedInstruction &x, const TZentorSection &b,
                     const TDecodedInstruction &y)
{
    return x.Length == y.Length &&
           std::memcmp(a.Code + x.Offset, b.Code + y.Offset, static_cast<size_t>(x.Length)) == 0;
}

// Which instructions have a partner on the other side: the longest run of equal
// instructions that both blocks hold in the same order.
void Match(const TZentorSection &p, const TDecoded &dp, const TZentorSection &c, const TDecoded &dc,
           std::vector<bool> &matchedP, std::vector<bool> &matchedC)
{
    const size_t n = dp.Instructions.size();
    const size_t m = dc.Instructions.size();
    std::vector<std::vector<int>> run(n + 1, std::vector<int>(m + 1, 0));
    for (size_t i = n; i-- > 0;)
        for (size_t j = m; j-- > 0;)
            run[i][j] = SameInstruction(p, dp.Instructions[i], c, dc.Instructions[j])
                            ? run[i + 1][j + 1] + 1
                            : std::max(run[i + 1][j], run[i][j + 1]);
    matchedP.assign(n, false);
    matchedC.assign(m, false);
    for (size_t i = 0, j = 0; i < n && j < m;) {
        if (SameInstruction(p, dp.Instructions[i], c, dc.Instructions[j])) {
            matchedP[i++] = true;
            matchedC[j++] = true;
        } else if (run[i + 1][j] >= run[i][j + 1]) {
            ++i;
        } else {
            ++j;
        }
    }
}

// The lines of a decompiled text that no matched instruction gave.
QList<int> UnmatchedLines(const TDecoded &d, const std::vector<bool> &matched)
{
    std::vector<bool> covered(static_cast<size_t>(d.Text.size()), false);
    for (size_t i = 0; i < d.Instructions.size(); ++i) {
        if (!matched[i])
            continue;
        const TDecodedInstruction &x = d.Instructions[i];
        for (int l = x.FirstLine; l < x.FirstLine + x.LineCount && l < d.Text.size(); ++l)
            covered[static_cast<size_t>(l)] = true;
    }
    QList<int> lines;
    for (size_t l = 0; l < covered.size(); ++l)
        if (!covered[l])
            lines.append(static_cast<int>(l));
    return lines;
}

// The texts of the instructions without a partner, their fragment numbers left out.
QStringList UnmatchedTexts(const TDecoded &d, const std::vector<bool> &matched)
{
    QStringList texts;
    for (size_t i = 0; i < d.Instructions.size(); ++i) {
        if (matched[i])
            continue;
        const TDecodedInstruction &x = d.Instructions[i];
        QStringList lines = d.Text.mid(x.FirstLine, x.LineCount);
        if (!lines.isEmpty())
            lines[0] = lines[0].mid(3); // "NN "
        texts.append(lines.join(u'\n'));
    }
    return texts;
}

QList<int> AllLines(const QStringList &text)
{
    QList<int> lines;
    for (int l = 0; l < text.size(); ++l)
        lines.append(l);
    return lines;
}

// The lines of the program's text that each of its block's instructions was compiled
// from. False when compiling the text again does not give the block's instructions (a
// text changed since its compile, or one that does not compile).
bool ProgramLinesOf(TZentorCompiler &compiler, const TZentorProgram &program, int n,
                    const TDecoded &block, std::vector<std::pair<int, int>> &lines)
{
    const TAlgBase *base = compiler.AlgBase;
    TZentorSection copy;
    std::vector<TStatementPlace> statements;
    if (!CompileWithPlaces(compiler, program.Sections[n], n, statements, copy))
        return false;
    const TDecoded again = Decode(copy, n, base);
    const auto sameShape = [](const TDecodedInstruction &a, const TDecodedInstruction &b) {
        return a.Offset == b.Offset && a.Length == b.Length;
    };
    // The same instructions, up to the bytes their text does not show (a call's own memory
    // is handed out afresh here).
    if (again.Text != block.Text ||
        !std::equal(again.Instructions.begin(), again.Instructions.end(),
                    block.Instructions.begin(), block.Instructions.end(), sameShape))
        return false;
    lines.clear();
    for (const TDecodedInstruction &x : block.Instructions) {
        const TStatementPlace place = PlaceOf(statements, x.Offset);
        lines.push_back({place.First, place.Last});
    }
    return true;
}

TSideBySide DifferingSection(TZentorCompiler &compiler, const TZentorProgram &program,
                             const TZentorProgram &controller, int n)
{
    const TAlgBase *base = compiler.AlgBase;
    const TZentorSection &ps = program.Sections[n];
    const TZentorSection &cs = controller.Sections[n];
    const TDecoded p = Decode(ps, n, base);
    const TDecoded c = Decode(cs, n, base);
    std::vector<bool> matchedP, matchedC;
    Match(ps, p, cs, c, matchedP, matchedC);

    TSideBySide view;
    view.ControllerLines = c.Text;
    view.ControllerMarked = UnmatchedLines(c, matchedC);
    std::vector<std::pair<int, int>> lines;
    if (ProgramLinesOf(compiler, program, n, p, lines)) {
        view.ProgramLines = ps.Text;
        QList<int> &marked = view.ProgramMarked;
        for (size_t i = 0; i < lines.size(); ++i)
            for (int l = lines[i].first; !matchedP[i] && l >= 0 && l <= lines[i].second; ++l)
                if (!marked.contains(l))
                    marked.append(l);
        std::sort(marked.begin(), marked.end());
    } else {
        view.ProgramLines = p.Text;
        view.ProgramMarked = UnmatchedLines(p, matchedP);
        view.Notes.append(CompareText::ProgramLinesUnmatched);
    }
    const bool allMatched =
        std::all_of(matchedP.begin(), matchedP.end(), [](bool b) { return b; }) &&
        std::all_of(matchedC.begin(), matchedC.end(), [](bool b) { return b; });
    if (allMatched && view.ControllerMarked.isEmpty())
        view.Notes.append(CompareText::FrameOnly);
    const QStringList unmatched = UnmatchedTexts(p, matchedP);
    if (!unmatched.isEmpty() && unmatched == UnmatchedTexts(c, matchedC))
        view.Notes.append(CompareText::HiddenBytes);
    view.Notes.append(p.Messages);
    view.Notes.append(c.Messages);
    return view;
}

} // namespace

void AddSectionViews(TPrpComparison &comparison, const TZentorProgram &program,
                     const TZentorProgram &controller, const TAlgBase *base)
{
    // The program's sections are compiled again with its own names, on copies.
    TZentorCompiler compiler;
    compiler.AlgBase = base;
    QStringList messages;
    compiler.Messages = &messages;
    TPRPHeader header = program.Header;
    header.Compile(messages, compiler.Macros);
    for (TCompareRow &row : comparison.Rows) {
        if (!row.IsSection || row.State == TCompareState::Same)
            continue;
        const int n = row.Section;
        TSideBySide &view = row.View;
        switch (row.State) {
        case TCompareState::OnlyProgram:
            view.ProgramLines = program.Sections[n].Text;
            view.ProgramMarked = AllLines(view.ProgramLines);
            break;
        case TCompareState::OnlyController: {
            const TDecoded c = Decode(controller.Sections[n], n, base);
            view.ControllerLines = c.Text;
            view.ControllerMarked = AllLines(c.Text);
            view.Notes = c.Messages;
            break;
        }
        default:
            view = DifferingSection(compiler, program, controller, n);
            break;
        }
    }
}
