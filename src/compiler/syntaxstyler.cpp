#include "compiler/syntaxstyler.h"

#include "compiler/compilertexts.h"
#include "compiler/lexer.h"
#include "core/cp1251.h"
#include "core/textutils.h"
#include "prp/macrostable.h"
#include "prp/prpheader.h"
#include "prp/variableclass.h"

#include <QStringList>

namespace {

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

const QStringList &VariableClasses()
{
    static const QStringList classes = VariableClassWords();
    return classes;
}

bool IsVariableWord(const QString &upper)
{
    if (upper.size() < 3)
        return false;
    return VariableClasses().contains(upper.left(2)) && IsOctalText(QStringView(upper).mid(2));
}

class TRunList
{
public:
    void Add(int start, int length, int style)
    {
        if (length <= 0)
            return;
        if (!Runs.isEmpty() && Runs.back().Style == style &&
            Runs.back().Start + Runs.back().Length == start) {
            Runs.back().Length += length;
            return;
        }
        Runs.append({start, length, style});
    }
    QVector<TStyleRun> Runs;
};

// The style of a piece the lexer found.
int PieceStyle(const TLinePiece &piece)
{
    switch (piece.Kind) {
    case TLinePiece::TechName:
        return StyleTechName;
    case TLinePiece::BadWord:
        return StyleDefault; // a word that may yet become a name of the header
    case TLinePiece::BadCharacter:
    case TLinePiece::BadNumber:
        return StyleBadChar;
    case TLinePiece::Lexeme:
        break;
    }
    switch (piece.Code) {
    case LxSign:
    case LxOpen:
    case LxClose:
    case LxEquals:
    case LxRelation:
        return StyleOperator;
    case LxInteger:
    case LxReal:
        return StyleNumber;
    case LxTime:
        return StyleTime;
    case LxTextWord:
        return StyleTextWord;
    case LxTextString:
        return StyleTextString;
    case LxAlgorithm:
        return StyleAlgorithm;
    case LxDiscrete:
    case LxTimer:
    case LxAnalog:
        return StyleVariable;
    case LxColumnOne:
        return StyleFragment;
    case LxLineNumber:
    case LxParamName:
        return StyleParameter;
    case LxComment:
        return StyleComment;
    default: // ЕСЛИ, ТОГДА, ИНАЧЕ, ИЛИ, ВКЛ, ОТКЛ, ВСК, Б
        return StyleKeyword;
    }
}

} // namespace

QVector<TStyleRun> StyleSectionLine(const QString &line, bool textLine,
                                    const QSet<QString> &techNames, bool *endsWithTextWord)
{
    TRunList out;
    int at = 0;
    int previousCode = 0;
    for (const TLinePiece &piece : ScanLinePieces(line, textLine, techNames, endsWithTextWord)) {
        // A parameter's number and name are one run, blanks between them included.
        const bool parameterGap = previousCode == LxLineNumber && piece.Code == LxParamName;
        out.Add(at, piece.Start - at, parameterGap ? StyleParameter : StyleDefault);
        out.Add(piece.Start, piece.Length, PieceStyle(piece));
        at = piece.Start + piece.Length;
        previousCode = piece.Kind == TLinePiece::Lexeme ? piece.Code : 0;
    }
    out.Add(at, static_cast<int>(line.size()) - at, StyleDefault);
    return out.Runs;
}

QVector<TStyleRun> StyleHeaderLine(const QString &line)
{
    TRunList out;
    const int n = static_cast<int>(line.size());
    if (line.startsWith(u'/')) {
        out.Add(0, n, StyleHeading);
        return out.Runs;
    }
    int i = 0;
    bool firstWord = true;
    while (i < n) {
        const QChar c = line[i];
        const int start = i;
        if (c == u' ' || c == u'\t') {
            out.Add(i, 1, StyleDefault);
            ++i;
            continue;
        }
        if (c == u'!' || c == u';') {
            out.Add(i, n - i, StyleComment);
            break;
        }
        while (i < n && line[i] != u' ' && line[i] != u'\t' && line[i] != u'!' && line[i] != u';')
            ++i;
        const QString word = line.mid(start, i - start);
        const QString upper = ControllerUpper(word);
        int style = StyleDefault;
        bool allDigits = true;
        for (QChar ch : word)
            if (!IsDigit(ch) && ch != u',' && ch != u'-' && ch != u'+')
                allDigits = false;
        if (word == u"-" || word == u"=")
            style = StyleOperator;
        else if (allDigits && word != u"-")
            style = StyleNumber;
        else if (VariableClasses().contains(upper) || IsVariableWord(upper) ||
                 (upper.size() > 1 && (upper[0] == u'+' || upper[0] == u'-') &&
                  IsVariableWord(upper.mid(1))))
            style = StyleVariable;
        else if (upper == Keyword::On || upper == Keyword::Off)
            style = StyleKeyword;
        else if (firstWord)
            style = StyleTechName;
        out.Add(start, i - start, style);
        firstWord = false;
    }
    return out.Runs;
}

QVector<int> StylesOfLine(const QVector<TStyleRun> &runs, int length)
{
    QVector<int> styles(length, StyleDefault);
    for (const TStyleRun &r : runs)
        for (int k = r.Start; k < r.Start + r.Length && k < length; ++k)
            if (k >= 0)
                styles[k] = r.Style;
    return styles;
}

QSet<QString> TechNamesOfHeader(const QStringList &headerLines)
{
    // The names the section lexer will know: those the header compiler takes from the text.
    TPRPHeader header;
    header.Text = headerLines;
    TMacrosTable names;
    QStringList ignored;
    header.Compile(ignored, names);
    QSet<QString> set;
    for (const TMacrosTableRec &r : names.Entries())
        set.insert(r.Name);
    return set;
}

QStringList SectionKeywords()
{
    return {Keyword::If,
            Keyword::Then,
            Keyword::Else,
            Keyword::Or,
            Keyword::On,
            Keyword::Off,
            Keyword::Skip,
            Keyword::Bit,
            Keyword::TextOff + QStringLiteral(".0.0"),
            Keyword::TextOn + QStringLiteral(".0.0")};
}
