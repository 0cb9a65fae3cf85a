#pragma once
// The cross-reference of a program: every use of every variable (ВД, ДВ, ВА, АВ, ТМ, КС, КБ,
// ИВ) and technological name, in the header and in every section that compiles, with its
// place in the text as written and how it is used; and two checks that the compile list
// does not make: section variables beyond what the header orders, and variables the header
// names that no section uses. The uses come from the compiler's own lexer, syntax walk and
// header compiler, on copies: the program itself is not changed.

#include <QString>
#include <QStringList>
#include <QVector>

class TAlgBase;
class TZentorProgram;

enum class TCrossRefKind {
    Written,  // switched on or off, assigned
    Read,     // in a condition or on the right side
    Passed,   // a parameter of an algorithm call
    Declared, // ordered or named in the header
};

enum class TCrossRefCheck {
    None,
    OutsideOrder, // a section uses it beyond the range the header orders
    Unused,       // the header names it and no section uses it
};

struct TCrossRefUse
{
    QString Variable; // "ДВ012", a range "ДВ000-077", or "" for a name of no variable
    QString Name;     // the technological name it is written as (or the name declared)
    int Section = -1; // -1: the header
    QString Where;    // "заголовок" or "секция 001 «Режимы работы»"
    int Line = 0;     // 0-based, as the compiler counts
    int Column = 1;   // 1-based, in the text as written
    TCrossRefKind Kind = TCrossRefKind::Read;
    QString Detail; // "ВКЛ", "условие", "АЛГ012, параметр 1 ВХОД", "заказ переменных", ...
    TCrossRefCheck Check = TCrossRefCheck::None;
    QString CheckText; // what the check compared it with (the ordered range)
    // Sort keys: the variable's class in the order of the class list, its index (-1 for a
    // range), and the place.
    int ClassRank = 0;
    qint64 Index = 0;
};

Q_DECLARE_TYPEINFO(TCrossRefUse, Q_RELOCATABLE_TYPE);

// A part of the program that failed to compile: its messages, as the compile list gives
// them; a section's uses are left out.
struct TCrossRefFailure
{
    int Section = -1; // -1: the header
    QString Where;
    QStringList Messages;
};

struct TCrossReference
{
    QVector<TCrossRefUse> Uses; // by variable, then place
    QVector<TCrossRefFailure> Failures;
    int OutsideOrder = 0; // uses flagged by each check
    int Unused = 0;

    bool Failed() const { return !Failures.isEmpty(); }
    bool Found() const { return OutsideOrder + Unused > 0; }
};

// Compiles copies of the header and of every present section (as "compile all" would)
// with the given base and gathers the uses and the checks.
TCrossReference BuildCrossReference(const TZentorProgram &program, const TAlgBase *base);

QString CrossRefKindText(TCrossRefKind kind);
QString CrossRefCheckText(TCrossRefCheck check);
// The check's column of a use: what flagged it and against what; "" when nothing did.
QString CrossRefCheckColumn(const TCrossRefUse &use);
// A use as the texts of the table's columns (CrossRefText::Columns).
QStringList CrossRefCells(const TCrossRefUse &use);
// Whether the use's variable or name begins with the text (any letter case); an empty
// text matches everything.
bool CrossRefMatches(const TCrossRefUse &use, const QString &prefix);
