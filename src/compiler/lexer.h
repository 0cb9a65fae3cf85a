#pragma once
// The section lexer: section lines -> lexemes, with keyword abbreviations, variables,
// numbers in their three shapes, the ТС text, parameter-line numbers and names, comments
// and the technological names of the header replaced by what they stand for. The editor's
// colouring runs the same lexer line by line, so that what is coloured is what compiles.

#include "compiler/lexeme.h"
#include "core/cp1251.h" // ControllerUpper, the lexer's upper case
#include "prp/variableclass.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

class TMacrosTable;

// Highest index of each variable class met while scanning (for the compile summary).
struct TIndexMaxima
{
    int VD = 0;
    int DV = 0;
    int VA = 0;
    int AV = 0;
    int TM = 0;

    // Each maximum raised to the other's.
    void Raise(const TIndexMaxima &other);
    bool operator==(const TIndexMaxima &) const = default;
};

// At most this many technological names are replaced in one line; the next one is an error.
constexpr int MaxMacroReplacementsPerLine = 64;

// Scans the section's lines into lexemes (the container is emptied first). On the first
// lexical error two lines go to messages ("[SSS.L:P] Ошибка в строке L в позиции P" and
// the error text) and the result is false.
[[nodiscard]] bool ScanSection(const QStringList &lines, int sectionNumber,
                               const TMacrosTable &macros, TLexemeContainer &lexemes,
                               QStringList &messages, TIndexMaxima &maxima);

// One piece of a line as the colouring sees it: a lexeme (Code), a technological name, or
// the piece where the compiler would stop with a lexical error.
struct TLinePiece
{
    enum TKind : std::uint8_t {
        Lexeme,
        TechName,     // a name of names (the compiler puts its value in its place)
        BadWord,      // "Недопустимое слово"
        BadCharacter, // "Недопустимый символ"
        BadNumber,    // a point or comma without digits, a time constant of two fields
    };
    int Start = 0; // character index in the line
    int Length = 0;
    TKind Kind = Lexeme;
    int Code = 0; // Lexeme: its TLexemeCode
};

// One section line scanned by the lexer's rules for the editor's colouring: the same upper
// case, words, numbers, comments, parameter lines and ТС texts. The names (upper-cased) are
// marked rather than replaced, and the scan goes on after an error. textLine: a bare ТС word
// ended the line before, so this whole line is its text; *endsWithTextWord (when given) is
// set when this line ends with one.
QVector<TLinePiece> ScanLinePieces(const QString &line, bool textLine, const QSet<QString> &names,
                                   bool *endsWithTextWord);

// "[" + SSS + "." + line + ":" + column: the position tag that compiler messages start with.
QString PositionTag(int sectionNumber, int line, int column);

// The index that a variable word stands for: the octal number after its two letters; for
// КС the section number of the three characters after them.
[[nodiscard]] int VariableIndex(QStringView word);
// The value of octal digits as ParseOctal reads them (wrapping), without copying them.
int OctalValue(QStringView digits);
// The class of a variable lexeme (its first code: ClassDV for every ДВ); ClassNone for any
// other lexeme.
TVariableClassCode LexemeClass(const TLexeme &lx);

// The lexer's word characters, of upper-cased text: a word starts with A…Z, А…Я or "_" and
// goes on with those and digits.
bool IsLexerWordStart(QChar upper);
bool IsLexerWordChar(QChar upper);
