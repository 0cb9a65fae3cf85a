#pragma once
// Lexemes of a section text as the lexer makes them and the LL(1) walk and the code
// generators read them. A lexeme's texts are views: into the scanned lines that the
// container it was scanned into keeps (TLexemeContainer::Keep), or into constant texts.
// They stay valid while that container lives and is not cleared; a copy of a lexeme in
// another container still reads the first container's texts.

#include <QString>
#include <QStringView>

#include <utility>
#include <vector>

// Terminal codes of the statement language.
enum TLexemeCode : int {
    LxSign = 1,         // "+" "-"
    LxOpen = 2,         // "("
    LxClose = 3,        // ")"
    LxEquals = 4,       // "="
    LxRelation = 5,     // "<" ">"
    LxInteger = 6,      // integer constant
    LxReal = 7,         // real constant
    LxTime = 8,         // time constant
    LxIf = 9,           // ЕСЛИ
    LxThenElse = 10,    // ТОГДА, ИНАЧЕ
    LxOr = 11,          // ИЛИ
    LxOnOff = 12,       // ВКЛ, ОТКЛ
    LxSkip = 13,        // ВСК
    LxTextWord = 14,    // ТС1.0.1
    LxAlgorithm = 15,   // АЛГ012
    LxDiscrete = 16,    // КБ, КС, ВД, ДВ
    LxTimer = 17,       // ТМ
    LxAnalog = 18,      // АВ, ВА
    LxTextString = 19,  // the text after a ТС word
    LxBit = 20,         // Б
    LxColumnOne = 100,  // number at column 1 (fragment number)
    LxLineNumber = 101, // number that is the first lexeme of its line (parameter number)
    LxParamName = 102,  // parameter name
    LxComment = 103,
    LxEnd = 255, // end of text, made by the container
};

enum TLexemeSubCode : int {
    SubPlus = 1,
    SubMinus = 2,
    SubOpen = 3,
    SubClose = 4,
    SubEquals = 5,
    SubGreater = 6,
    SubLess = 7,
    SubInteger = 8,
    SubReal = 9,
    SubTime = 10,
    SubIf = 11,
    SubThen = 12,
    SubElse = 13,
    SubOr = 14,
    SubOn = 15,
    SubOff = 16,
    SubSkip = 17,
    SubTextWord = 18,
    SubAlgorithm = 19,
    SubKB = 20,
    SubKS = 21,
    SubVD = 22,
    SubDV = 23,
    SubTM = 24,
    SubAV = 25,
    SubVA = 26,
    SubTextString = 27,
    SubBit = 28,
    SubNone = -1,
};

struct TLexeme
{
    QStringView Text;
    int Code = LxEnd;
    int SubCode = SubNone;
    int Line = 0;   // 0-based line of the section text
    int Column = 1; // 1-based column in the line as scanned (after macro replacement)
    // Where the lexeme stands in the line as written: the column of its first character, or
    // of the technological name whose value it comes from (Name is then that name).
    int SourceColumn = 1;
    QStringView Name;
};

// An ordered list of lexemes. Reading past the end gives an end lexeme that stands where
// the last lexeme of the list stands, so messages about a missing lexeme point there.
class TLexemeContainer
{
public:
    void Add(const TLexeme &lexeme) { Items.push_back(lexeme); }
    void Add(TLexeme &&lexeme) { Items.push_back(std::move(lexeme)); }
    void Reserve(int count) { Items.reserve(static_cast<std::size_t>(count)); }
    void Clear()
    {
        Items.clear();
        Texts.clear();
    }
    // Keeps a text for the lexemes that read it, until the container is cleared or
    // destroyed; the view reads the kept text (whose characters do not move).
    QStringView Keep(QString text)
    {
        Texts.push_back(std::move(text));
        return Texts.back();
    }
    int Count() const { return static_cast<int>(Items.size()); }
    bool IsEmpty() const { return Items.empty(); }

    // The reference to an end lexeme stays valid until the next Get past the end.
    const TLexeme &Get(int index) const
    {
        if (index >= 0 && index < Count())
            return Items[static_cast<std::size_t>(index)];
        End = TLexeme();
        if (!Items.empty()) {
            End.Line = Items.back().Line;
            End.Column = Items.back().Column;
            End.SourceColumn = Items.back().SourceColumn;
        }
        return End;
    }
    // Only for 0 <= index < Count().
    const TLexeme &At(int index) const { return Items[static_cast<std::size_t>(index)]; }
    TLexeme &At(int index) { return Items[static_cast<std::size_t>(index)]; }

private:
    std::vector<TLexeme> Items;
    std::vector<QString> Texts;
    mutable TLexeme End;
};
