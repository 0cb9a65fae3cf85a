// The re-layout is one more hook set of the LL(1) walk: at the rows where compilation hands a
// statement piece to a code generator, it writes the piece as a fragment line instead.

#include "compiler/relayout.h"

#include "compiler/algbase.h"
#include "compiler/codegen.h"
#include "compiler/compilertexts.h"
#include "compiler/lexer.h"
#include "compiler/ll1.h"
#include "compiler/zentorcompiler.h"
#include "core/textutils.h"

#include <algorithm>
#include <climits>

namespace {

// Octal digits of an index, at least width of them.
QString IndexText(int index, int width)
{
    const QString digits = QString::number(static_cast<unsigned>(index), 8);
    return OctalText(index, std::max(width, static_cast<int>(digits.size())));
}

// The text a lexeme gets when it becomes the lookahead; a text made for it is kept in texts.
void Normalise(TLexeme &lx, TLexemeContainer &texts)
{
    switch (lx.Code) {
    case LxInteger: {
        qsizetype zeros = 0;
        while (zeros + 1 < lx.Text.size() && lx.Text[zeros] == u'0')
            ++zeros;
        lx.Text = lx.Text.mid(zeros);
        break;
    }
    case LxReal:
        if (lx.Text.startsWith(u'.'))
            lx.Text = texts.Keep(u'0' + lx.Text.toString());
        break;
    case LxTimer:
        lx.Text = texts.Keep(QStringLiteral("тм") + IndexText(OctalValue(lx.Text.mid(2)), 2));
        break;
    case LxAnalog:
        lx.Text = texts.Keep(lx.Text.left(2).toString() + IndexText(OctalValue(lx.Text.mid(2)), 3));
        break;
    default:
        break;
    }
}

bool IsQuote(QChar c)
{
    return c == u'\'' || c == u'"';
}

// The lexer drops one quote at each end of a text string, and on the ТС line itself the
// blanks before it: a text that begins or ends with a quote, or on the ТС line begins with a
// blank or is empty, is written between quotes.
QString TextString(const QString &s, bool onTextLine)
{
    const bool quote = (!s.isEmpty() && (IsQuote(s.front()) || IsQuote(s.back()))) ||
                       (onTextLine && (s.isEmpty() || s.front() == u' '));
    return quote ? u'\'' + s + u'\'' : s;
}

// Output lines that came from the source lines First..Last.
struct TEntry
{
    QStringList Lines;
    int First;
    int Last;
};

class TRelayout : public TLL1Hooks
{
public:
    TRelayout(TZentorCompiler &compiler, int mode) : Compiler(compiler), Mode(mode) {}

    std::vector<TEntry> Entries;
    bool TooManyFragments = false;
    bool SyntaxError = false;
    int ErrorLine = 0;         // the lookahead's line at a syntax error (INT_MAX at the end)
    int PendingLine = INT_MAX; // first line of the statement piece not yet written

    void OnLookahead(TLexeme &lx) override { Normalise(lx, Normalised); }

    void OnPassed(const TLexeme &lx, bool) override
    {
        if (lx.Code == LxComment)
            Entries.push_back({{u' ' + lx.Text.toString()}, lx.Line, lx.Line});
        else if (lx.Code == LxLineNumber || lx.Code == LxParamName)
            PendingLine = std::min(PendingLine, lx.Line);
    }

    bool OnStep(int appliedRow, bool accepted, int newRow, TLexemeContainer &statement) override
    {
        const bool moment =
            (accepted && LL1IsAcceptMoment(appliedRow)) || LL1IsArrivalMoment(newRow);
        if (moment) {
            Write(LL1IsArrivalMoment(newRow) ? newRow : appliedRow, statement);
            statement.Clear();
            ++Fragments;
        }
        PendingLine = statement.IsEmpty() ? INT_MAX : statement.At(0).Line;
        return true;
    }

    // The fragment limit is checked where compilation checks it, at the end of the step,
    // so that both report the same lookahead.
    bool OnStepEnd(const TLexeme &lookahead) override
    {
        Lookahead = lookahead;
        if (Fragments <= MaxFragments)
            return true;
        TooManyFragments = true;
        return false;
    }

    void OnSyntaxError(const TLexeme &lookahead) override
    {
        SyntaxError = true;
        // The end of the text stands where the last lexeme stands: no source line remains
        // behind it but those of the unfinished statement.
        ErrorLine = lookahead.Code == LxEnd ? INT_MAX : lookahead.Line;
        Compiler.Messages->append(CompilerText::SyntaxErrorInLine +
                                  QString::number(lookahead.Line) + CompilerText::InPosition +
                                  QString::number(lookahead.Column));
    }

    int Fragments = 0;
    TLexeme Lookahead; // after the last step

private:
    TZentorCompiler &Compiler;
    const int Mode;
    TLexemeContainer Normalised; // keeps the texts the lookaheads were given

    static bool IsCondition(const TLexeme &lx) { return lx.Code == LxIf; }
    static bool IsThenElse(const TLexeme &lx) { return lx.Code == LxThenElse; }

    void Write(int row, const TLexemeContainer &statement)
    {
        TEntry entry{{}, INT_MAX, -1};
        TLexemeContainer s; // the piece without parameter numbers and names
        for (int i = 0; i < statement.Count(); ++i) {
            const TLexeme &lx = statement.At(i);
            entry.First = std::min(entry.First, lx.Line);
            entry.Last = std::max(entry.Last, lx.Line);
            if (row == LL1RowParamsEnd || (lx.Code != LxLineNumber && lx.Code != LxParamName))
                s.Add(lx);
        }
        if (entry.Last < 0)
            entry.First = entry.Last = Lookahead.Line;
        QString line = OctalText(Fragments, 2) + u' ';
        const QString t0 = s.Get(0).Text.toString();
        const QString t1 = s.Get(1).Text.toString();
        const bool marked = IsThenElse(s.Get(0));
        switch (row) {
        case LL1RowSkip:
            line += (marked ? t0 + u' ' : QString()) + Keyword::Skip;
            break;
        case LL1RowTextString: {
            line += t0 + u' ' + (marked ? t1 + u' ' : QString());
            const QString text =
                TextString(s.Get(marked ? 2 : 1).Text.toString(), Mode == RelayoutOld);
            if (Mode == RelayoutOld) {
                line += text;
            } else {
                entry.Lines.append(line);
                line = text;
            }
            break;
        }
        case LL1RowSwitchDiscrete:
        case LL1RowSwitchTimer:
            line += t0 + u' ' + t1 + u' ';
            if (IsCondition(s.Get(0)) || marked) {
                line += s.Get(2).Text;
                line += u' ';
            }
            break;
        case LL1RowTimeConstant:
        case LL1RowTimerOperand: {
            const int k = IsCondition(s.Get(0)) || marked ? 2 : 1;
            line += t0 + (k == 2 ? u' ' + t1 : QString());
            line += s.Get(k).Text;
            line += s.Get(k + 1).Text;
            break;
        }
        case LL1RowOpen:
            line += u'(';
            break;
        case LL1RowClose:
            line += u')';
            break;
        case LL1RowOr:
            line += Keyword::Or;
            break;
        case LL1RowParamsEnd:
            Call(s, line, entry.Lines);
            break;
        default: // the end of a sum or comparison, a Б item
            for (int i = 0; i < s.Count(); ++i) {
                line += s.At(i).Text;
                line += u' ';
            }
            break;
        }
        entry.Lines.append(line);
        Entries.push_back(entry);
    }

    // The call line and one line per parameter value.
    void Call(const TLexemeContainer &s, QString &line, QStringList &lines)
    {
        int i = 0;
        while (i < s.Count() && (s.At(i).Code == LxLineNumber || s.At(i).Code == LxParamName))
            ++i;
        if (IsThenElse(s.Get(i))) {
            line += s.At(i++).Text;
            line += u' ';
        }
        while (i < s.Count() && s.At(i).Code != LxAlgorithm)
            ++i;
        const QString word = s.Get(i++).Text.toString();
        line += word + u' ';
        const TAlgInfo *alg =
            Compiler.AlgBase ? Compiler.AlgBase->Find(ParseOctal(word.mid(3, 3))) : nullptr;
        for (int p = 1; i < s.Count(); ++p) {
            lines.append(line);
            line = Mode == RelayoutOld ? QString::number(p) + u' '
                                       : QStringLiteral("  ") + QString::number(p) + u' ';
            if (s.Get(i).Code == LxLineNumber)
                ++i;
            if (s.Get(i).Code == LxParamName)
                ++i;
            ++i; // "="
            if (Mode == RelayoutOld)
                line += u'=';
            else
                line += (alg && p <= std::min<int>(alg->ParamCount, TAlgInfo::MaxParams)
                             ? alg->Params[p].Name
                             : QString()) +
                        QStringLiteral(" = ");
            if (s.Get(i).Code == LxSign)
                line += s.Get(i++).Text;
            line += s.Get(i++).Text;
        }
    }
};

// Drops the entries written from lines at or after start (and from the lines of any entry
// dropped on the way); returns the first source line that the output does not hold.
int KeepBefore(std::vector<TEntry> &entries, int start)
{
    for (bool changed = true; changed;) {
        changed = false;
        for (auto it = entries.begin(); it != entries.end();) {
            if (it->Last >= start) {
                start = std::min(start, it->First);
                it = entries.erase(it);
                changed = true;
            } else {
                ++it;
            }
        }
    }
    return start;
}

} // namespace

bool RelayoutSection(TZentorCompiler &compiler, int sectionNumber, const QStringList &text,
                     QStringList &output, int mode)
{
    output.clear();
    TIndexMaxima maxima; // the re-layout does not count for the compile summary
    if (!ScanSection(text, sectionNumber, compiler.Macros, compiler.Lexemes, *compiler.Messages,
                     maxima)) {
        output = text;
        return false;
    }
    TRelayout relayout(compiler, mode);
    // A failed walk has said why: too many fragments, or a syntax error after which the
    // lines from the unfinished statement on stay as written.
    const bool walked = LL1Walk(compiler.Lexemes, relayout, LL1RelayoutStackCapacity) == 0;
    if (!walked && relayout.TooManyFragments) {
        const TLexeme &at = relayout.Lookahead;
        compiler.Messages->append(PositionTag(sectionNumber, at.Line, at.Column) +
                                  CompilerText::TooManyFragments +
                                  QString::number(relayout.Fragments) + CompilerText::Fragments);
        output = text;
        return false;
    }
    int rest = static_cast<int>(text.size());
    const int unfinished = std::min(relayout.ErrorLine, relayout.PendingLine);
    if (!walked && relayout.SyntaxError && unfinished != INT_MAX)
        rest = KeepBefore(relayout.Entries, unfinished);
    for (const TEntry &e : relayout.Entries)
        output.append(e.Lines);
    for (int i = std::max(rest, 0); i < text.size(); ++i)
        output.append(text[i]);
    return true;
}
