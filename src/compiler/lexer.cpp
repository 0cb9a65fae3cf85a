#include "compiler/lexer.h"

#include "compiler/compilertexts.h"
#include "core/cp1251.h"
#include "core/textutils.h"
#include "prp/macrostable.h"

#include <numeric>
#include <vector>

namespace {

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool IsWordStart(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'А' && c <= u'Я') || c == u'_';
}

bool IsWordChar(QChar c)
{
    return IsWordStart(c) || IsDigit(c);
}

bool IsQuote(QChar c)
{
    return c == u'"' || c == u'\'';
}

struct TVariableClass
{
    const QString &Letters;
    int Code;
    int SubCode;
};

const TVariableClass kVariableClasses[] = {
    {Keyword::KB, LxDiscrete, SubKB}, {Keyword::KS, LxDiscrete, SubKS},
    {Keyword::VD, LxDiscrete, SubVD}, {Keyword::DV, LxDiscrete, SubDV},
    {Keyword::TM, LxTimer, SubTM},    {Keyword::AV, LxAnalog, SubAV},
    {Keyword::VA, LxAnalog, SubVA},
};

class TLexer
{
public:
    TLexer(const QStringList &lines, int section, const TMacrosTable &macros, TLexemeContainer &out,
           QStringList &messages, TIndexMaxima &maxima)
        : Lines(lines), Section(section), Macros(macros), Out(out), Messages(messages),
          Maxima(maxima)
    {
    }

    bool Run()
    {
        Out.Clear();
        for (LineIndex = 0; LineIndex < Lines.size(); ++LineIndex) {
            if (!ScanLine())
                return false;
        }
        return true;
    }

private:
    const QStringList &Lines;
    int Section;
    const TMacrosTable &Macros;
    TLexemeContainer &Out;
    QStringList &Messages;
    TIndexMaxima &Maxima;

    qsizetype LineIndex = 0;
    QString S;       // the line being scanned, upper-cased, with names replaced
    qsizetype R = 0; // 0-based scan position
    // For each character of S: its 0-based column in the line as written, and the index in
    // Names of the technological name it was written as (-1: written as it stands).
    std::vector<int> Origin;
    std::vector<int> OriginName;
    QStringList Names;

    QChar At(qsizetype i) const { return i < S.size() ? S[i] : QChar(); }
    bool DigitAt(qsizetype i) const { return i < S.size() && IsDigit(S[i]); }
    qsizetype SkipDigits(qsizetype i) const
    {
        while (DigitAt(i))
            ++i;
        return i;
    }

    bool Fail(const TLexeme &at, const QString &text)
    {
        const QString l = QString::number(at.Line);
        const QString p = QString::number(at.Column);
        Messages.append(PositionTag(Section, at.Line, at.Column) + CompilerText::LexErrorAt + l +
                        CompilerText::InPosition + p);
        Messages.append(text);
        return false;
    }

    TLexeme Start() const
    {
        TLexeme lx;
        lx.Line = static_cast<int>(LineIndex);
        lx.Column = static_cast<int>(R + 1);
        if (R < static_cast<qsizetype>(Origin.size())) {
            lx.SourceColumn = Origin[static_cast<std::size_t>(R)] + 1;
            const int name = OriginName[static_cast<std::size_t>(R)];
            if (name >= 0)
                lx.Name = Names[name];
        } else {
            lx.SourceColumn = static_cast<int>(Lines[LineIndex].size() + 1);
        }
        return lx;
    }

    void TrackLine()
    {
        Origin.resize(static_cast<std::size_t>(S.size()));
        std::iota(Origin.begin(), Origin.end(), 0);
        OriginName.assign(static_cast<std::size_t>(S.size()), -1);
        Names.clear();
    }

    // The name at [R, e) gave way to its value: the value's characters stand where the name
    // (or the outer name it came from) stands in the line as written.
    void TrackReplacement(qsizetype e, const QString &word, qsizetype valueLength)
    {
        const auto at = static_cast<std::size_t>(R);
        const int origin = Origin[at];
        int name = OriginName[at];
        if (name < 0) {
            Names.append(word);
            name = static_cast<int>(Names.size() - 1);
        }
        const auto from = Origin.begin() + static_cast<std::ptrdiff_t>(R);
        Origin.erase(from, Origin.begin() + static_cast<std::ptrdiff_t>(e));
        Origin.insert(Origin.begin() + static_cast<std::ptrdiff_t>(R),
                      static_cast<std::size_t>(valueLength), origin);
        const auto nameFrom = OriginName.begin() + static_cast<std::ptrdiff_t>(R);
        OriginName.erase(nameFrom, OriginName.begin() + static_cast<std::ptrdiff_t>(e));
        OriginName.insert(OriginName.begin() + static_cast<std::ptrdiff_t>(R),
                          static_cast<std::size_t>(valueLength), name);
    }

    void Emit(TLexeme &lx, int code, int subCode, const QString &text, qsizetype end)
    {
        lx.Code = code;
        lx.SubCode = subCode;
        lx.Text = text;
        Out.Add(lx);
        R = end;
    }

    bool ScanLine()
    {
        S = ControllerUpper(Lines[LineIndex]);
        R = 0;
        TrackLine();
        int replacements = 0;
        while (R < S.size()) {
            const QChar c = S[R];
            if (c == u' ' || c == u'\t') {
                ++R;
                continue;
            }
            TLexeme lx = Start();
            switch (c.unicode()) {
            case u'!':
            case u';':
                if (R + 1 < S.size())
                    Emit(lx, LxComment, SubNone, S.mid(R), S.size());
                return true;
            case u'+':
                Emit(lx, LxSign, SubPlus, S.mid(R, 1), R + 1);
                continue;
            case u'-':
                Emit(lx, LxSign, SubMinus, S.mid(R, 1), R + 1);
                continue;
            case u'(':
                Emit(lx, LxOpen, SubOpen, S.mid(R, 1), R + 1);
                continue;
            case u')':
                Emit(lx, LxClose, SubClose, S.mid(R, 1), R + 1);
                continue;
            case u'=':
                Emit(lx, LxEquals, SubEquals, S.mid(R, 1), R + 1);
                continue;
            case u'<':
                Emit(lx, LxRelation, SubLess, S.mid(R, 1), R + 1);
                continue;
            case u'>':
                Emit(lx, LxRelation, SubGreater, S.mid(R, 1), R + 1);
                continue;
            case u'.':
                if (!ScanPointConstant(lx))
                    return false;
                continue;
            default:
                break;
            }
            if (IsDigit(c)) {
                if (!ScanNumber(lx))
                    return false;
                continue;
            }
            if (!IsWordStart(c))
                return Fail(lx, CompilerText::BadCharacter + c);
            bool lineEnds = false;
            if (!ScanWord(lx, replacements, lineEnds))
                return false;
            if (lineEnds)
                return true;
        }
        return true;
    }

    // ".5" (real, text "0.5") or ".HH.MM.SS" (time constant, leading point kept).
    bool ScanPointConstant(TLexeme &lx)
    {
        if (R + 1 >= S.size())
            return Fail(lx, CompilerText::PointAtLineEnd);
        if (!DigitAt(R + 1))
            return Fail(lx, CompilerText::PointWithoutDigit);
        qsizetype e = SkipDigits(R + 1);
        if (At(e) != u'.') {
            Emit(lx, LxReal, SubReal, QStringLiteral("0") + S.mid(R, e - R), e);
            return true;
        }
        e = SkipDigits(e + 1);
        if (At(e) != u'.')
            return Fail(lx, CompilerText::BadTimeConstant);
        e = SkipDigits(e + 1);
        Emit(lx, LxTime, SubTime, S.mid(R, e - R), e);
        return true;
    }

    bool ScanNumber(TLexeme &lx)
    {
        qsizetype e = SkipDigits(R);
        const QChar after = At(e);
        if (after != u'.' && after != u',')
            return ScanInteger(lx, e);
        if (after == u',') {
            if (!DigitAt(e + 1))
                return Fail(lx, CompilerText::CommaWithoutDigit);
            e = SkipDigits(e + 1);
            if (At(e) != u'.') {
                QString text = S.mid(R, e - R);
                text.replace(u',', u'.');
                Emit(lx, LxReal, SubReal, text, e);
                return true;
            }
        }
        // A point follows the digits read so far.
        if (!DigitAt(e + 1))
            return Fail(lx, CompilerText::PointWithoutDigit);
        e = SkipDigits(e + 1);
        if (At(e) != u'.') {
            Emit(lx, LxReal, SubReal, S.mid(R, e - R), e);
            return true;
        }
        if (!DigitAt(e + 1))
            return Fail(lx, CompilerText::PointWithoutDigit);
        e = SkipDigits(e + 1);
        Emit(lx, LxTime, SubTime, S.mid(R, e - R), e);
        return true;
    }

    bool ScanInteger(TLexeme &lx, qsizetype e)
    {
        const QString digits = S.mid(R, e - R);
        if (R == 0) {
            Emit(lx, LxColumnOne, SubNone, digits, e);
            return true;
        }
        if (!Out.IsEmpty() && Out.At(Out.Count() - 1).Line == LineIndex) {
            Emit(lx, LxInteger, SubInteger, digits, e);
            return true;
        }
        // The first lexeme of an indented line: a parameter number, and the parameter's
        // name up to the line's first "=" when the "=" does not follow at once.
        Emit(lx, LxLineNumber, SubNone, digits, e);
        while (R < S.size() && S[R] == u' ')
            ++R;
        if (R >= S.size() || S[R] == u'=')
            return true;
        const qsizetype equals = S.indexOf(u'=', R);
        if (equals < 0)
            return true;
        TLexeme name = Start();
        Emit(name, LxParamName, SubNone, S.mid(R, equals - R), equals);
        return true;
    }

    bool ScanWord(TLexeme &lx, int &replacements, bool &lineEnds)
    {
        qsizetype e = R;
        while (e < S.size() && IsWordChar(S[e]))
            ++e;
        const QString word = S.mid(R, e - R);
        if (word == Keyword::If || word == Keyword::IfShort) {
            Emit(lx, LxIf, SubIf, Keyword::If, e);
        } else if (word == Keyword::Then || word == Keyword::ThenShort) {
            Emit(lx, LxThenElse, SubThen, Keyword::Then, e);
        } else if (word == Keyword::Else || word == Keyword::ElseShort) {
            Emit(lx, LxThenElse, SubElse, Keyword::Else, e);
        } else if (word == Keyword::Or) {
            Emit(lx, LxOr, SubOr, word, e);
        } else if (word == Keyword::On || word == Keyword::OnShort) {
            Emit(lx, LxOnOff, SubOn, word, e);
        } else if (word == Keyword::Off || word == Keyword::OffShort) {
            Emit(lx, LxOnOff, SubOff, word, e);
        } else if (word == Keyword::Bit) {
            Emit(lx, LxBit, SubBit, word, e);
        } else if (word == Keyword::Skip) {
            Emit(lx, LxSkip, SubSkip, word, e);
        } else if (IsTextWord(word, e)) {
            Emit(lx, LxTextWord, SubTextWord, word + S.mid(e, 4), e + 4);
            ScanTextString();
            lineEnds = true;
        } else if (word.startsWith(Keyword::Algorithm)) {
            Emit(lx, LxAlgorithm, SubAlgorithm, word, e);
        } else if (!ScanVariable(lx, word, e)) {
            const QString value = Macros.Find(word);
            if (value.isEmpty() || replacements >= MaxMacroReplacementsPerLine)
                return Fail(lx, CompilerText::BadWord + word);
            // The value is scanned as if it had been written in place of the name.
            TrackReplacement(e, word, value.size());
            S = S.left(R) + value + S.mid(e);
            ++replacements;
        }
        return true;
    }

    bool IsTextWord(const QString &word, qsizetype e) const
    {
        if (word != Keyword::TextOn && word != Keyword::TextOff)
            return false;
        auto bit = [](QChar c) { return c == u'0' || c == u'1'; };
        return At(e) == u'.' && bit(At(e + 1)) && At(e + 2) == u'.' && bit(At(e + 3));
    }

    // The text after a ТС word: the rest of its line, or the whole next line when nothing
    // follows; one leading and one trailing quote are dropped.
    void ScanTextString()
    {
        while (R < S.size() && S[R] == u' ')
            ++R;
        TLexeme text = Start();
        if (R < S.size()) {
            text.Text = S.mid(R);
        } else {
            if (LineIndex + 1 >= Lines.size())
                return; // nothing to take: the walk reports the missing text
            text.Column = static_cast<int>(S.size() + 1);
            ++LineIndex;
            text.Line = static_cast<int>(LineIndex);
            text.SourceColumn = 1;
            text.Name.clear();
            text.Text = ControllerUpper(Lines[LineIndex]);
        }
        if (!text.Text.isEmpty() && IsQuote(text.Text.front()))
            text.Text.remove(0, 1);
        if (!text.Text.isEmpty() && IsQuote(text.Text.back()))
            text.Text.chop(1);
        text.Code = LxTextString;
        text.SubCode = SubTextString;
        Out.Add(text);
        R = S.size();
    }

    bool ScanVariable(TLexeme &lx, const QString &word, qsizetype e)
    {
        const QString letters = word.left(2);
        const QString digits = word.mid(2);
        if (!IsOctalText(digits))
            return false;
        for (const TVariableClass &cls : kVariableClasses) {
            if (letters != cls.Letters)
                continue;
            if (cls.SubCode == SubKS && digits.size() < 3)
                return false; // a section number has three digits
            const int index = ParseOctal(digits);
            int *maximum = nullptr;
            switch (cls.SubCode) {
            case SubVD:
                maximum = &Maxima.VD;
                break;
            case SubDV:
                maximum = &Maxima.DV;
                break;
            case SubTM:
                maximum = &Maxima.TM;
                break;
            case SubAV:
                maximum = &Maxima.AV;
                break;
            case SubVA:
                maximum = &Maxima.VA;
                break;
            default:
                break;
            }
            if (maximum && index > *maximum)
                *maximum = index;
            Emit(lx, cls.Code, cls.SubCode, word, e);
            return true;
        }
        return false;
    }
};

} // namespace

QString PositionTag(int sectionNumber, int line, int column)
{
    return QStringLiteral("[") + SectionNumberText(sectionNumber) + u'.' + QString::number(line) +
           u':' + QString::number(column);
}

int VariableIndex(const QString &word)
{
    if (IsClass(word, Keyword::KS))
        return ParseSectionNumber(word.mid(2, 3));
    return ParseOctal(word.mid(2));
}

bool IsClass(const QString &word, const QString &classLetters)
{
    return word.startsWith(classLetters);
}

bool ScanSection(const QStringList &lines, int sectionNumber, const TMacrosTable &macros,
                 TLexemeContainer &lexemes, QStringList &messages, TIndexMaxima &maxima)
{
    TLexer lexer(lines, sectionNumber, macros, lexemes, messages, maxima);
    return lexer.Run();
}
