#include "compiler/syntaxstyler.h"

#include "prp/variableclass.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

bool IsWordChar(QChar c)
{
    return c.isLetter() || c.isDigit() || c == u'_';
}

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool IsOctal(const QString &s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < u'0' || c > u'7')
            return false;
    return true;
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
    return VariableClasses().contains(upper.left(2)) && IsOctal(upper.mid(2));
}

bool IsKeyword(const QString &upper)
{
    static const QSet<QString> words{
        QStringLiteral("ЕСЛИ"), QStringLiteral("Е"),     QStringLiteral("ТОГДА"),
        QStringLiteral("Т"),    QStringLiteral("ИНАЧЕ"), QStringLiteral("И"),
        QStringLiteral("ИЛИ"),  QStringLiteral("ВКЛ"),   QStringLiteral("В"),
        QStringLiteral("ОТКЛ"), QStringLiteral("О"),     QStringLiteral("Б"),
        QStringLiteral("ВСК")};
    return words.contains(upper);
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

// Digits, then an optional "," or "." part and an optional third "." part; returns the end.
int ScanNumber(const QString &line, int i, bool *isTime)
{
    const int n = static_cast<int>(line.size());
    int points = 0;
    while (i < n && IsDigit(line[i]))
        ++i;
    while (i + 1 < n && (line[i] == u'.' || (line[i] == u',' && points == 0)) &&
           IsDigit(line[i + 1]) && points < 2) {
        ++points;
        ++i;
        while (i < n && IsDigit(line[i]))
            ++i;
    }
    *isTime = points == 2;
    return i;
}

// A number from start (a fragment number, a parameter line's number and name, a number or a
// time); returns where it ends.
int StyleNumberLexeme(const QString &line, int start, bool firstLexeme, TRunList &out)
{
    const int n = static_cast<int>(line.size());
    const QChar c = line[start];
    bool isTime = false;
    int i = ScanNumber(line, c == u'.' ? start + 1 : start, &isTime);
    if (c == u'.')
        isTime = isTime || line.mid(start).count(u'.') >= 3;
    if (start == 0 && !isTime) {
        out.Add(start, i - start, StyleFragment);
    } else if (firstLexeme && !isTime) {
        // An indented parameter line: number and name up to the "=".
        int eq = static_cast<int>(line.indexOf(u'=', i));
        if (eq < 0)
            eq = i; // a parameter number alone
        int k = i;
        while (k < eq && line[k] == u' ')
            ++k;
        if (k < n && line[k] == u'=')
            out.Add(start, i - start, StyleParameter);
        else {
            out.Add(start, eq - start, StyleParameter);
            i = eq;
        }
    } else {
        out.Add(start, i - start, isTime ? StyleTime : StyleNumber);
    }
    return i;
}

// A word from start; returns where it ends, or -1 for a text word ("ТС1.0.1"), which styles
// the rest of the line as its text (*bareText: the text is still to come on the next line).
int StyleWordLexeme(const QString &line, int start, const QSet<QString> &techNames, TRunList &out,
                    bool *bareText)
{
    const int n = static_cast<int>(line.size());
    int i = start;
    while (i < n && IsWordChar(line[i]))
        ++i;
    const QString upper = line.mid(start, i - start).toUpper();
    const bool textWord = (upper == u"ТС1" || upper == u"ТС0") && i + 3 < n && line[i] == u'.' &&
                          (line[i + 1] == u'0' || line[i + 1] == u'1') && line[i + 2] == u'.' &&
                          (line[i + 3] == u'0' || line[i + 3] == u'1');
    if (textWord) {
        i += 4;
        out.Add(start, i - start, StyleTextWord);
        int k = i;
        while (k < n && (line[k] == u' ' || line[k] == u'\t'))
            ++k;
        out.Add(i, k - i, StyleDefault);
        if (k < n)
            out.Add(k, n - k, StyleTextString);
        else
            *bareText = true;
        return -1;
    }
    int style = StyleDefault;
    if (IsKeyword(upper))
        style = StyleKeyword;
    else if (upper.startsWith(u"АЛГ"))
        style = StyleAlgorithm;
    else if (IsVariableWord(upper))
        style = StyleVariable;
    else if (techNames.contains(upper))
        style = StyleTechName;
    out.Add(start, i - start, style);
    return i;
}

} // namespace

QVector<TStyleRun> StyleSectionLine(const QString &line, bool textLine,
                                    const QSet<QString> &techNames, bool *endsWithTextWord)
{
    TRunList out;
    const int n = static_cast<int>(line.size());
    bool bareText = false;
    if (textLine) {
        out.Add(0, n, StyleTextString);
        if (endsWithTextWord)
            *endsWithTextWord = false;
        return out.Runs;
    }
    bool firstLexeme = true;
    int i = 0;
    while (i < n) {
        const QChar c = line[i];
        if (c == u' ' || c == u'\t') {
            out.Add(i, 1, StyleDefault);
            ++i;
            continue;
        }
        const int start = i;
        if (c == u'!' || c == u';') {
            out.Add(i, n - i, StyleComment);
            break;
        }
        if (QStringLiteral("+-()=<>").contains(c)) {
            out.Add(i, 1, StyleOperator);
            ++i;
        } else if (IsDigit(c) || (c == u'.' && i + 1 < n && IsDigit(line[i + 1]))) {
            i = StyleNumberLexeme(line, start, firstLexeme, out);
        } else if (c.isLetter() || c == u'_') {
            i = StyleWordLexeme(line, start, techNames, out, &bareText);
            if (i < 0)
                break; // a text word: the rest of the line is its text
        } else {
            out.Add(i, 1, StyleBadChar);
            ++i;
        }
        firstLexeme = false;
    }
    if (endsWithTextWord)
        *endsWithTextWord = bareText;
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
        const QString upper = word.toUpper();
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
        else if (upper == u"ВКЛ" || upper == u"ОТКЛ")
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
    QSet<QString> names;
    bool inNames = false;
    for (const QString &raw : headerLines) {
        const QString line = raw.toUpper();
        if (line.startsWith(u'/')) {
            const QStringList words = line.mid(1).split(u' ', Qt::SkipEmptyParts);
            inNames =
                words.size() >= 2 && words[0] == u"ТЕХНОЛОГИЧЕСКИЕ" && words[1] == u"НАЗВАНИЯ";
            continue;
        }
        if (!inNames)
            continue;
        QString text = line;
        const qsizetype cut = text.indexOf(QRegularExpression(QStringLiteral("[!;]")));
        if (cut >= 0)
            text = text.left(cut);
        const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
        if (words.size() >= 2)
            names.insert(words[0]);
    }
    return names;
}

QStringList SectionKeywords()
{
    return {QStringLiteral("ЕСЛИ"),   QStringLiteral("ТОГДА"), QStringLiteral("ИНАЧЕ"),
            QStringLiteral("ИЛИ"),    QStringLiteral("ВКЛ"),   QStringLiteral("ОТКЛ"),
            QStringLiteral("ВСК"),    QStringLiteral("Б"),     QStringLiteral("ТС0.0.0"),
            QStringLiteral("ТС1.0.0")};
}
