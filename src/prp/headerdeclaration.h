#pragma once
// What the header text orders and names, and where each item stands in the text: the
// header compiler reports them as it accepts them, for the cross-reference of the
// program's variables.

#include <QString>

#include <vector>

enum class THeaderDeclKind {
    Order,         // a variable order line: Word is the class, First..Last the ordered indexes
    AdcInputs,     // an ADC order line: Word is the module number, First..Last the ВА indexes
    ImpulseOutput, // an impulse output line: Word is "ИВ" and the output's number as written
    ImpulseSource, // the ВА or АВ variable an impulse output takes its pulses from
    Key,           // a technological key's variable: Number is the key 0..63, Value its name
    Name,          // a technological name: Word the name, Value what it stands for
};

struct THeaderDeclaration
{
    THeaderDeclKind Kind = THeaderDeclKind::Order;
    int Line = 0;   // 0-based line of the header text
    int Column = 1; // 1-based column of Word in that line as written
    QString Word;
    QString Value;
    int Number = 0; // ADC module, impulse output or key number
    int First = 0;
    int Last = 0;
};

using THeaderDeclarations = std::vector<THeaderDeclaration>;
