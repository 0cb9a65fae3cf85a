#pragma once
// The controller's variable classes, written down once: the class code that the Б
// condition item, the ТС text fields and the technological keys store, the class word, a
// second code for ДВ and ВД indexes from 256 (the byte then holds index - 256), how many
// variables of the class the controller has, and how many octal digits an index is written
// with, which depends on where the text stands. Everything that reads or writes a class
// word or code takes it from here.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>

enum TVariableClassCode : std::uint8_t {
    ClassNone = 0,
    ClassDV = 1,
    ClassDVHigh = 2, // ДВ from 256
    ClassKB = 3,
    ClassKS = 4,
    ClassTM = 5,
    ClassVD = 6,
    ClassVDHigh = 7, // ВД from 256
    ClassVA = 8,
    ClassAV = 9,
    ClassIV = 10,
};

// Where a variable given by its class code is written.
enum class TIndexUse {
    Item,  // Б items and technological keys in the header text
    Field, // ТС text fields
    Dump,  // the image description: every index with three digits
    List,  // the cross-reference's lists and the variable orders: as the section text writes
    Param, // algorithm parameters of a section text (КБ with two digits)
};
constexpr int IndexUseCount = 5;

struct TVariableClass
{
    TVariableClassCode Code;
    const char16_t *Word; // the class word, "ДВ"
    int IndexBase;        // 256 for the second codes, else 0
    int Count;            // variables of the class the controller has (both codes together)
    // Octal digits of the index per TIndexUse; 0: a section number (КС).
    int Digits[IndexUseCount];
};

// The row of a class code; nullptr for a code that names no class (0 included).
const TVariableClass *FindVariableClass(int code);

// The class word of a code ("ДВ" for ClassDV and ClassDVHigh); empty for a code that names
// no class.
QString ClassWord(int code);

// The first code of the class whose word the text begins with ("ДВ401" gives ClassDV);
// ClassNone when it begins with no class word.
TVariableClassCode ClassOfWord(QStringView text);

// The variable text of a class code and index byte ("ДВ401" for 2 and 1); empty for a code
// that names no class.
QString ClassVariableText(int code, int indexByte, TIndexUse use);

// The first code of a class (ClassDV for ClassDVHigh); the code itself for any other.
TVariableClassCode FirstClassCode(int code);
// The code a class's full index is kept under: the second code from 256 when the class has
// one, else the class's first code.
TVariableClassCode ClassCodeForIndex(TVariableClassCode first, unsigned index);
// The full index a class code and index byte stand for (the byte plus 256 for a second code).
int ClassIndex(int code, int indexByte);
// The index byte a full index is kept in under its class code (index - 256 for a second
// code), reduced to its low byte.
std::uint8_t ClassIndexByte(TVariableClassCode code, unsigned index);

// The class code of a variable whose text begins with its class word and whose full index
// is given (ДВ and ВД from 256 take their second code); ClassNone for any other word.
TVariableClassCode VariableClassCode(QStringView word, unsigned index);

// The class words, each once ("ДВ", "КБ", ...).
QStringList VariableClassWords();
