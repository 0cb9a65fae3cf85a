#pragma once
// Colouring of the two languages of a program's text, line by line: the section language
// (keywords with their one-letter forms, variables, numbers, time constants, ТС texts,
// algorithm calls, parameter lines) and the header language (headings, orders, names).
// A section line is coloured from what the compiler's lexer makes of it (compiler/lexer.h),
// and the technological names are those the header compiler takes, so the colours never
// promise what the compiler refuses. Pure functions, so that the editor's lexer and the
// tests share them.

#include <QSet>
#include <QString>
#include <QVector>

enum TSyntaxStyle : int {
    StyleDefault = 0,
    StyleComment = 1,
    StyleKeyword = 2,
    StyleVariable = 3,
    StyleNumber = 4,
    StyleTime = 5,
    StyleTextWord = 6,   // ТС1.0.1
    StyleTextString = 7, // the text a ТС word shows
    StyleAlgorithm = 8,  // АЛГ012
    StyleHeading = 9,    // "/ ..." lines
    StyleOperator = 10,
    StyleFragment = 11,  // number at column 1
    StyleParameter = 12, // number and name that open a parameter line
    StyleTechName = 13,  // a technological name of the header
    StyleBadChar = 14,   // a character that begins no lexeme
    StyleCount = 15
};

struct TStyleRun
{
    int Start = 0; // character index in the line
    int Length = 0;
    int Style = StyleDefault;
};

// Which part of the program the text is.
enum class TTextKind { Section, Header };

// Runs of one section line, covering it from start to end. textLine: the previous line
// ended with a bare ТС word, so this whole line is its text. *endsWithTextWord is set when
// this line ends with one.
QVector<TStyleRun> StyleSectionLine(const QString &line, bool textLine,
                                    const QSet<QString> &techNames, bool *endsWithTextWord);
QVector<TStyleRun> StyleHeaderLine(const QString &line);

// The style of every character of a line, from its runs (for the tests and the editor).
QVector<int> StylesOfLine(const QVector<TStyleRun> &runs, int length);

// The technological names of a header text as the header compiler takes them (upper-cased
// first words of its names part; none when the header compiler stops before that part).
QSet<QString> TechNamesOfHeader(const QStringList &headerLines);

// The keywords offered by completion, full forms first.
QStringList SectionKeywords();
