#include "compiler/lexer.h"

#include "compiler/compilertexts.h"
#include "core/cp1251.h"
#include "core/textutils.h"
#include "prp/macrostable.h"
#include "prp/variableclass.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The word characters of upper-cased text (IsLexerWordStart, IsLexerWordChar).
bool WordStart(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'А' && c <= u'Я') || c == u'_';
}

bool WordChar(QChar c)
{
    return WordStart(c) || IsDigit(c);
}

bool IsQuote(QChar c)
{
    return c == u'"' || c == u'\'';
}

// The keywords with their one-letter forms, the lexeme each gives and the text it carries:
// ЕСЛИ, ТОГДА and ИНАЧЕ their full form, the others the word as written.
struct TKeyword
{
    const QString *Word;
    const QString *Short; // nullptr: none
    int Code;
    int SubCode;
    bool Normalised;
};

const TKeyword kKeywords[] = {
    {&Keyword::If, &Keyword::IfShort, LxIf, SubIf, true},
    {&Keyword::Then, &Keyword::ThenShort, LxThenElse, SubThen, true},
    {&Keyword::Else, &Keyword::ElseShort, LxThenElse, SubElse, true},
    {&Keyword::Or, nullptr, LxOr, SubOr, false},
    {&Keyword::On, &Keyword::OnShort, LxOnOff, SubOn, false},
    {&Keyword::Off, &Keyword::OffShort, LxOnOff, SubOff, false},
    {&Keyword::Bit, nullptr, LxBit, SubBit, false},
    {&Keyword::Skip, nullptr, LxSkip, SubSkip, false},
};

bool Same(QStringView a, const QString &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

// The keyword a word is, and the text its lexeme carries (the keyword's own string); nullptr
// for any other word.
const TKeyword *FindKeyword(QStringView word, const QString **text)
{
    for (const TKeyword &k : kKeywords) {
        if (Same(word, *k.Word)) {
            *text = k.Word;
            return &k;
        }
        if (k.Short && Same(word, *k.Short)) {
            *text = k.Normalised ? k.Word : k.Short;
            return &k;
        }
    }
    return nullptr;
}

// The variable classes a section text names (prp/variableclass.h), the lexeme each gives and
// the compile summary's maximum it raises.
struct TLexemeClass
{
    TVariableClassCode Class;
    int Code;
    int SubCode;
    int TIndexMaxima::*Maximum;
};

const TLexemeClass kLexemeClasses[] = {
    {ClassKB, LxDiscrete, SubKB, nullptr},
    {ClassKS, LxDiscrete, SubKS, nullptr},
    {ClassVD, LxDiscrete, SubVD, &TIndexMaxima::VD},
    {ClassDV, LxDiscrete, SubDV, &TIndexMaxima::DV},
    {ClassTM, LxTimer, SubTM, &TIndexMaxima::TM},
    {ClassAV, LxAnalog, SubAV, &TIndexMaxima::AV},
    {ClassVA, LxAnalog, SubVA, &TIndexMaxima::VA},
};

const TLexemeClass *LexemeClassOfWord(QStringView word)
{
    const TVariableClassCode code = ClassOfWord(word);
    for (const TLexemeClass &c : kLexemeClasses)
        if (c.Class == code)
            return &c;
    return nullptr;
}

// The lexer of one section text. It compiles (lexemes and messages, names replaced by their
// values, the first error ends the scan) or, for the colouring of one line, marks pieces
// (names marked, every error marked and passed over).
class TLexer
{
public:
    // Compiling.
    TLexer(const QStringList &lines, int section, const TMacrosTable &macros, TLexemeContainer &out,
           QStringList &messages, TIndexMaxima &maxima)
        : Lines(lines), Section(section), Macros(&macros), Out(&out), Messages(&messages),
          Maxima(&maxima)
    {
    }

    // Colouring.
    TLexer(const QStringList &lines, const QSet<QString> &names, QVector<TLinePiece> &pieces)
        : Lines(lines), Names(&names), Pieces(&pieces)
    {
    }

    bool Run()
    {
        Out->Clear();
        for (LineIndex = 0; LineIndex < Lines.size(); ++LineIndex) {
            if (!ScanLine())
                return false;
        }
        return true;
    }

    // Colouring: the first line; true when it ends with a bare ТС word.
    bool RunLine()
    {
        LineIndex = 0;
        ScanLine();
        return BareTextWord;
    }

private:
    const QStringList &Lines;
    int Section = 0;
    // Compiling.
    const TMacrosTable *Macros = nullptr;
    TLexemeContainer *Out = nullptr;
    QStringList *Messages = nullptr;
    TIndexMaxima *Maxima = nullptr;
    // Colouring.
    const QSet<QString> *Names = nullptr;
    QVector<TLinePiece> *Pieces = nullptr;
    bool BareTextWord = false;

    qsizetype LineIndex = 0;
    QString S;       // the line being scanned, upper-cased, with names replaced
    qsizetype R = 0; // 0-based scan position
    // Once a name of the line was replaced: for each character of S its 0-based column in
    // the line as written, and the index in Replaced of the technological name it was
    // written as (-1: written as it stands). Until then every character stands where it is.
    bool Tracked = false;
    std::vector<int> Origin;
    std::vector<int> OriginName;
    std::vector<QStringView> Replaced; // views into the kept versions of S
    int LineLexemes = 0;               // lexemes (pieces) of this line so far

    // The characters [from, end) of S. Compiling, every version of S is kept by the lexeme
    // container before a lexeme reads it, so the view lives as long as the lexemes.
    QStringView TextOf(qsizetype from, qsizetype end) const
    {
        return QStringView(S).mid(from, end - from);
    }

    // S takes a new text; compiling, the container keeps it for the lexemes made from it.
    void SetScanned(QString text)
    {
        S = std::move(text);
        if (Out)
            Out->Keep(S);
    }

    bool Colouring() const { return Pieces != nullptr; }

    // A text made for a lexeme (not a piece of S), kept with the lexemes; colouring makes
    // no lexemes and keeps nothing.
    QStringView Keep(QString text) { return Out ? Out->Keep(std::move(text)) : QStringView(); }

    QChar At(qsizetype i) const { return i < S.size() ? S[i] : QChar(); }
    bool DigitAt(qsizetype i) const { return i < S.size() && IsDigit(S[i]); }
    qsizetype SkipDigits(qsizetype i) const
    {
        while (DigitAt(i))
            ++i;
        return i;
    }

    // A lexical error at lx. Compiling: the two message lines and the end of the scan
    // (false). Colouring: the piece up to end is marked and the scan goes on after it.
    bool Fail(const TLexeme &at, const QString &text, qsizetype end,
              TLinePiece::TKind kind = TLinePiece::BadNumber)
    {
        if (Colouring()) {
            Mark(kind, 0, std::max(end, R + 1));
            return true;
        }
        const QString l = QString::number(at.Line);
        const QString p = QString::number(at.Column);
        Messages->append(PositionTag(Section, at.Line, at.Column) + CompilerText::LexErrorAt + l +
                         CompilerText::InPosition + p);
        Messages->append(text);
        return false;
    }

    void Mark(TLinePiece::TKind kind, int code, qsizetype end)
    {
        Pieces->append({static_cast<int>(R), static_cast<int>(end - R), kind, code});
        ++LineLexemes;
        R = end;
    }

    TLexeme Start() const
    {
        TLexeme lx;
        lx.Line = static_cast<int>(LineIndex);
        lx.Column = static_cast<int>(R + 1);
        if (!Tracked) {
            lx.SourceColumn =
                R < S.size() ? lx.Column : static_cast<int>(Lines[LineIndex].size() + 1);
        } else if (R < static_cast<qsizetype>(Origin.size())) {
            lx.SourceColumn = Origin[static_cast<std::size_t>(R)] + 1;
            const int name = OriginName[static_cast<std::size_t>(R)];
            if (name >= 0)
                lx.Name = Replaced[static_cast<std::size_t>(name)];
        } else {
            lx.SourceColumn = static_cast<int>(Lines[LineIndex].size() + 1);
        }
        return lx;
    }

    // The name at [R, e) gave way to its value: the value's characters stand where the name
    // (or the outer name it came from) stands in the line as written.
    void TrackReplacement(qsizetype e, QStringView word, qsizetype valueLength)
    {
        if (!Tracked) {
            Origin.resize(static_cast<std::size_t>(S.size()));
            std::iota(Origin.begin(), Origin.end(), 0);
            OriginName.assign(static_cast<std::size_t>(S.size()), -1);
            Replaced.clear();
            Tracked = true;
        }
        const auto at = static_cast<std::size_t>(R);
        const int origin = Origin[at];
        int name = OriginName[at];
        if (name < 0) {
            Replaced.push_back(word);
            name = static_cast<int>(Replaced.size() - 1);
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

    void Emit(TLexeme &lx, int code, int subCode, QStringView text, qsizetype end)
    {
        if (Colouring()) {
            Mark(TLinePiece::Lexeme, code, end);
            return;
        }
        lx.Code = code;
        lx.SubCode = subCode;
        lx.Text = text;
        Out->Add(std::move(lx));
        ++LineLexemes;
        R = end;
    }

    bool ScanLine()
    {
        SetScanned(ControllerUpper(Lines[LineIndex]));
        R = 0;
        Tracked = false;
        LineLexemes = 0;
        int replacements = 0;
        while (R < S.size()) {
            const QChar c = S.at(R);
            if (c == u' ' || c == u'\t') {
                ++R;
                continue;
            }
            TLexeme lx = Start();
            switch (c.unicode()) {
            case u'!':
            case u';':
                // A comment char alone at the end of a line makes no lexeme; the colouring
                // shows it as the comment it is.
                if (R + 1 < S.size() || Colouring())
                    Emit(lx, LxComment, SubNone, TextOf(R, S.size()), S.size());
                return true;
            case u'+':
                Emit(lx, LxSign, SubPlus, TextOf(R, R + 1), R + 1);
                continue;
            case u'-':
                Emit(lx, LxSign, SubMinus, TextOf(R, R + 1), R + 1);
                continue;
            case u'(':
                Emit(lx, LxOpen, SubOpen, TextOf(R, R + 1), R + 1);
                continue;
            case u')':
                Emit(lx, LxClose, SubClose, TextOf(R, R + 1), R + 1);
                continue;
            case u'=':
                Emit(lx, LxEquals, SubEquals, TextOf(R, R + 1), R + 1);
                continue;
            case u'<':
                Emit(lx, LxRelation, SubLess, TextOf(R, R + 1), R + 1);
                continue;
            case u'>':
                Emit(lx, LxRelation, SubGreater, TextOf(R, R + 1), R + 1);
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
            if (!WordStart(c)) {
                if (!Fail(lx, CompilerText::BadCharacter + c, R + 1, TLinePiece::BadCharacter))
                    return false;
                continue;
            }
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
            return Fail(lx, CompilerText::PointAtLineEnd, R + 1);
        if (!DigitAt(R + 1))
            return Fail(lx, CompilerText::PointWithoutDigit, R + 1);
        qsizetype e = SkipDigits(R + 1);
        if (At(e) != u'.') {
            Emit(lx, LxReal, SubReal, Keep(u'0' + TextOf(R, e).toString()), e);
            return true;
        }
        e = SkipDigits(e + 1);
        if (At(e) != u'.')
            return Fail(lx, CompilerText::BadTimeConstant, e);
        e = SkipDigits(e + 1);
        Emit(lx, LxTime, SubTime, TextOf(R, e), e);
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
                return Fail(lx, CompilerText::CommaWithoutDigit, e + 1);
            e = SkipDigits(e + 1);
            if (At(e) != u'.') {
                QString text = TextOf(R, e).toString();
                text.replace(u',', u'.');
                Emit(lx, LxReal, SubReal, Keep(std::move(text)), e);
                return true;
            }
        }
        // A point follows the digits read so far.
        if (!DigitAt(e + 1))
            return Fail(lx, CompilerText::PointWithoutDigit, e + 1);
        e = SkipDigits(e + 1);
        if (At(e) != u'.') {
            Emit(lx, LxReal, SubReal, TextOf(R, e), e);
            return true;
        }
        if (!DigitAt(e + 1))
            return Fail(lx, CompilerText::PointWithoutDigit, e + 1);
        e = SkipDigits(e + 1);
        Emit(lx, LxTime, SubTime, TextOf(R, e), e);
        return true;
    }

    bool ScanInteger(TLexeme &lx, qsizetype e)
    {
        const QStringView digits = TextOf(R, e);
        if (R == 0) {
            Emit(lx, LxColumnOne, SubNone, digits, e);
            return true;
        }
        if (LineLexemes > 0) {
            Emit(lx, LxInteger, SubInteger, digits, e);
            return true;
        }
        // The first lexeme of an indented line: a parameter number, and the parameter's
        // name up to the line's first "=" when the "=" does not follow at once.
        Emit(lx, LxLineNumber, SubNone, digits, e);
        while (R < S.size() && S.at(R) == u' ')
            ++R;
        if (R >= S.size() || S.at(R) == u'=')
            return true;
        const qsizetype equals = S.indexOf(u'=', R);
        if (equals < 0)
            return true;
        TLexeme name = Start();
        Emit(name, LxParamName, SubNone, TextOf(R, equals), equals);
        return true;
    }

    bool ScanWord(TLexeme &lx, int &replacements, bool &lineEnds)
    {
        qsizetype e = R;
        while (e < S.size() && WordChar(S.at(e)))
            ++e;
        const QString *keywordText = nullptr;
        if (const TKeyword *k = FindKeyword(QStringView(S).mid(R, e - R), &keywordText)) {
            Emit(lx, k->Code, k->SubCode, *keywordText, e);
            return true;
        }
        const QStringView word = TextOf(R, e);
        if (IsTextWord(word, e)) {
            Emit(lx, LxTextWord, SubTextWord, TextOf(R, e + 4), e + 4);
            ScanTextString();
            lineEnds = true;
        } else if (word.startsWith(Keyword::Algorithm)) {
            Emit(lx, LxAlgorithm, SubAlgorithm, word, e);
        } else if (ScanVariable(lx, word, e)) {
        } else if (Colouring()) {
            Mark(Names->contains(word.toString()) ? TLinePiece::TechName : TLinePiece::BadWord, 0,
                 e);
        } else {
            const QString name = word.toString();
            const QString value = Macros->Find(name);
            if (value.isEmpty() || replacements >= MaxMacroReplacementsPerLine)
                return Fail(lx, CompilerText::BadWord + name, e, TLinePiece::BadWord);
            // The value is scanned as if it had been written in place of the name.
            TrackReplacement(e, word, value.size());
            SetScanned(S.left(R) + value + S.mid(e));
            ++replacements;
        }
        return true;
    }

    bool IsTextWord(QStringView word, qsizetype e) const
    {
        if (!Same(word, Keyword::TextOn) && !Same(word, Keyword::TextOff))
            return false;
        auto bit = [](QChar c) { return c == u'0' || c == u'1'; };
        return At(e) == u'.' && bit(At(e + 1)) && At(e + 2) == u'.' && bit(At(e + 3));
    }

    // The text after a ТС word: the rest of its line, or the whole next line when nothing
    // follows; one leading and one trailing quote are dropped.
    void ScanTextString()
    {
        while (R < S.size() && S.at(R) == u' ')
            ++R;
        if (Colouring()) {
            if (R < S.size())
                Mark(TLinePiece::Lexeme, LxTextString, S.size());
            else
                BareTextWord = true;
            return;
        }
        TLexeme text = Start();
        if (R < S.size()) {
            text.Text = TextOf(R, S.size());
        } else {
            if (LineIndex + 1 >= Lines.size())
                return; // nothing to take: the walk reports the missing text
            text.Column = static_cast<int>(S.size() + 1);
            ++LineIndex;
            text.Line = static_cast<int>(LineIndex);
            text.SourceColumn = 1;
            text.Name = QStringView();
            text.Text = Out->Keep(ControllerUpper(Lines[LineIndex]));
        }
        if (!text.Text.isEmpty() && IsQuote(text.Text.front()))
            text.Text = text.Text.mid(1);
        if (!text.Text.isEmpty() && IsQuote(text.Text.back()))
            text.Text.chop(1);
        text.Code = LxTextString;
        text.SubCode = SubTextString;
        Out->Add(std::move(text));
        R = S.size();
    }

    bool ScanVariable(TLexeme &lx, QStringView word, qsizetype e)
    {
        const QStringView digits = word.mid(2);
        if (!IsOctalText(digits))
            return false;
        const TLexemeClass *cls = LexemeClassOfWord(word);
        if (!cls)
            return false;
        if (cls->Class == ClassKS && digits.size() < 3)
            return false; // a section number has three digits
        if (cls->Maximum && Maxima) {
            const int index = OctalValue(digits);
            if (index > Maxima->*cls->Maximum)
                Maxima->*cls->Maximum = index;
        }
        Emit(lx, cls->Code, cls->SubCode, word, e);
        return true;
    }
};

} // namespace

void TIndexMaxima::Raise(const TIndexMaxima &other)
{
    VD = std::max(VD, other.VD);
    DV = std::max(DV, other.DV);
    VA = std::max(VA, other.VA);
    AV = std::max(AV, other.AV);
    TM = std::max(TM, other.TM);
}

bool IsLexerWordStart(QChar upper)
{
    return WordStart(upper);
}

bool IsLexerWordChar(QChar upper)
{
    return WordChar(upper);
}

QString PositionTag(int sectionNumber, int line, int column)
{
    return QStringLiteral("[") + SectionNumberText(sectionNumber) + u'.' + QString::number(line) +
           u':' + QString::number(column);
}

int VariableIndex(QStringView word)
{
    // As ParseSectionNumber and ParseOctal read the characters after the class word, without
    // copying them.
    const char16_t *c = word.utf16();
    const qsizetype n = word.size();
    if (ClassOfWord(word) == ClassKS) {
        if (n < 5)
            return -1;
        return 32 * (c[2] - u'0') + 8 * (c[3] - u'0') + (c[4] - u'0');
    }
    return OctalValue(word.mid(2));
}

int OctalValue(QStringView digits)
{
    std::uint32_t r = 0; // wraps as ParseOctal does
    for (QChar c : digits)
        r = 8u * r + static_cast<std::uint32_t>(c.unicode() - u'0');
    return static_cast<int>(r);
}

TVariableClassCode LexemeClass(const TLexeme &lx)
{
    for (const TLexemeClass &c : kLexemeClasses)
        if (c.SubCode == lx.SubCode)
            return c.Class;
    return ClassNone;
}

bool ScanSection(const QStringList &lines, int sectionNumber, const TMacrosTable &macros,
                 TLexemeContainer &lexemes, QStringList &messages, TIndexMaxima &maxima)
{
    TLexer lexer(lines, sectionNumber, macros, lexemes, messages, maxima);
    return lexer.Run();
}

QVector<TLinePiece> ScanLinePieces(const QString &line, bool textLine, const QSet<QString> &names,
                                   bool *endsWithTextWord)
{
    QVector<TLinePiece> pieces;
    bool bare = false;
    if (textLine) {
        if (!line.isEmpty())
            pieces.append({0, static_cast<int>(line.size()), TLinePiece::Lexeme, LxTextString});
    } else {
        const QStringList lines{line};
        TLexer lexer(lines, names, pieces);
        bare = lexer.RunLine();
    }
    if (endsWithTextWord)
        *endsWithTextWord = bare;
    return pieces;
}
