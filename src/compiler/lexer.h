#pragma once
// The section lexer: section lines -> lexemes, with keyword abbreviations, variables,
// numbers in their three shapes, the ТС text, parameter-line numbers and names, comments
// and the technological names of the header replaced by what they stand for.

#include "compiler/lexeme.h"
#include "core/cp1251.h" // ControllerUpper, the lexer's upper case

#include <QString>
#include <QStringList>

class TMacrosTable;

// Highest index of each variable class met while scanning (for the compile summary).
struct TIndexMaxima
{
    int VD = 0;
    int DV = 0;
    int VA = 0;
    int AV = 0;
    int TM = 0;
};

// At most this many technological names are replaced in one line; the next one is an error.
constexpr int MaxMacroReplacementsPerLine = 64;

// Scans the section's lines into lexemes (the container is emptied first). On the first
// lexical error two lines go to messages ("[SSS.L:P] Ошибка в строке L в позиции P" and
// the error text) and the result is false.
bool ScanSection(const QStringList &lines, int sectionNumber, const TMacrosTable &macros,
                 TLexemeContainer &lexemes, QStringList &messages, TIndexMaxima &maxima);

// "[" + SSS + "." + line + ":" + column: the position tag that compiler messages start with.
QString PositionTag(int sectionNumber, int line, int column);

// The index that a variable word stands for: the octal number after its two letters; for
// КС the section number of the three characters after them.
int VariableIndex(const QString &word);
// Whether the variable word (or class text) is of class КС, ВД, ...
bool IsClass(const QString &word, const QString &classLetters);
