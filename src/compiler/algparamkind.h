#pragma once
// The kinds of algorithm parameters: what a call's parameter accepts, how many bytes it
// takes in the call, the type the controller gives it on the line and its "Тип" text.

#include <QString>

#include <cstdint>

enum TAlgParamKind : std::uint8_t {
    KindNone = 0,          // no kind: the generator does not know it
    KindOnOff = 1,         // ВКЛ, ОТКЛ
    KindLogic = 2,         // ВКЛ, ОТКЛ or a discrete reference
    KindDiscreteIn = 3,    // a discrete reference
    KindDiscreteOut = 4,   // a discrete reference with its output tail
    KindAnalogIn = 5,      // a signed analog term or constant
    KindAnalogOut = 6,     // АВ
    KindTimer = 7,         // ТМ
    KindConstant128 = 8,   // 1..128
    KindConstant7 = 9,     // 0..7, stored + 1
    KindTimeConstant = 10, // HH.MM.SS as mantissa and exponent
    KindCoefficient = 11,  // I.F × 16 in a word
    KindScale = 12,        // I.F × 128 in a byte
};

// Highest parameter kind the code generator knows.
constexpr int AlgParamKindCount = 12;

struct TAlgParamKindInfo
{
    int CallBytes;         // bytes of the parameter in a compiled call
    int RecordBytes;       // bytes the controller's algorithm record counts for it
    std::uint8_t WireType; // the type byte of the controller's algorithm description
    const char16_t *Text;  // the "Тип" text
};

// The row of a kind; kind 0 and unknown kinds give the row of KindNone (no bytes, wire
// type 12, no text).
const TAlgParamKindInfo &AlgParamKindInfo(int kind);

// The "Тип" text of a parameter kind; kind 0 and unknown kinds give "".
QString AlgParamKindText(int kind);

// The kind of a wire type of the controller's algorithm description; 0 for a type that
// names none.
std::uint8_t AlgParamKindOfWireType(int wireType);
