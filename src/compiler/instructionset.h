#pragma once
// The controller's section instructions: one name per byte and one shape per instruction,
// for the code generator that writes them and the decoder that reads them back.
//
// A statement's opcode is written as below, plus MarkThen or MarkElse when it stands in a
// ТОГДА or ИНАЧЕ group. Switch statements and discrete tests add the variable's class
// offset (SwitchOffset) to their first opcode.

#include "prp/variableclass.h"

#include <array>
#include <cstdint>
#include <iterator>

// Offset of the first instruction in a block (after the two length bytes, the two section
// number bytes and the checksum byte); the instructions end with a 0.
constexpr int BlockHeaderLength = 5;

namespace Instruction {

// Condition marks added to a statement's opcode.
constexpr std::uint8_t MarkThen = 0x20;
constexpr std::uint8_t MarkElse = 0x40;

// Statements.
constexpr std::uint8_t OffFirst = 0x02; // ОТКЛ, + class offset
constexpr std::uint8_t OnFirst = 0x0C;  // ВКЛ, + class offset
constexpr std::uint8_t SwitchLast = 0x14;
constexpr std::uint8_t AnalogSum = 0x16;
constexpr std::uint8_t TimerConst = 0x18;
constexpr std::uint8_t TimerTimer = 0x1A;
constexpr std::uint8_t Text = 0x1C;
constexpr std::uint8_t Skip = 0x1E;
constexpr std::uint8_t Call = 0x20;

// Condition items.
constexpr std::uint8_t TestOffFirst = 0x62; // ЕСЛИ ОТКЛ, + class offset
constexpr std::uint8_t TestOnFirst = 0x70;  // ЕСЛИ ВКЛ, + class offset
constexpr std::uint8_t TestLast = 0x7C;
constexpr std::uint8_t Bit = 0x7E;
constexpr std::uint8_t AnalogCompare = 0x80;
constexpr std::uint8_t TimerCompare = 0x82;
constexpr std::uint8_t Or = 0x84;
constexpr std::uint8_t Open = 0x86;
constexpr std::uint8_t Close = 0x88;

// The opcode ranges the decompiler names by their condition word; a byte that is no
// instruction is named by the range it falls in as well.
constexpr std::uint8_t ThenFirst = Call + 2;
constexpr std::uint8_t ThenLast = Call + MarkThen;
constexpr std::uint8_t ElseFirst = ThenLast + 2;
constexpr std::uint8_t ElseLast = Call + MarkElse;

// Class offsets of a switch statement or discrete test.
enum SwitchOffset : std::uint8_t {
    SwitchDV = 0,
    SwitchDVHigh = 2, // ДВ from 256
    SwitchKB = 4,
    SwitchKS = 6,
    SwitchTM = 8,
    SwitchVD = 10,
    SwitchVDHigh = 12, // ВД from 256 (tests only: an input is not switched)
};

// The class of each class offset, in offset order (offset = 2 × place).
inline constexpr TVariableClassCode SwitchClasses[] = {ClassDV, ClassDVHigh, ClassKB,    ClassKS,
                                                       ClassTM, ClassVD,     ClassVDHigh};
static_assert(SwitchClasses[SwitchDVHigh / 2] == ClassDVHigh &&
              SwitchClasses[SwitchVDHigh / 2] == ClassVDHigh);

// The class offset of a class code (the code of its full index); 0xFF for a class that is
// neither switched nor tested.
constexpr std::uint8_t SwitchOffsetOfClass(TVariableClassCode code)
{
    for (std::uint8_t place = 0; place < std::size(SwitchClasses); ++place)
        if (SwitchClasses[place] == code)
            return static_cast<std::uint8_t>(2 * place);
    return 0xFF;
}

// Relation bits of a comparison (analog: high nibble of the count byte; timer: the
// relation byte), and the timer comparison against another timer.
constexpr std::uint8_t RelationEqual = 0x00;
constexpr std::uint8_t RelationGreater = 0x20;
constexpr std::uint8_t RelationLess = 0x40;
constexpr std::uint8_t CompareAV = 0x80;    // analog: the compared variable is an АВ
constexpr std::uint8_t CompareTimer = 0x80; // timer: the operand is a timer, not a time

// High bytes of an analog term (low byte 2 × index); any other high byte makes the word a
// constant 2c.
constexpr std::uint8_t TermPlusVA = 0x40;
constexpr std::uint8_t TermPlusAV = 0x41;
constexpr std::uint8_t TermMinusVA = 0x80;
constexpr std::uint8_t TermMinusAV = 0x81;

// Bytes of a ТС text.
constexpr std::uint8_t TextNumber = 0x9B;   // a number format follows: its octal value
constexpr std::uint8_t TextField = 0xA3;    // opens and closes a field
constexpr std::uint8_t TextStar = 0xAA;     // "*"
constexpr std::uint8_t TextVariable = 0xFF; // a variable follows: class code, index byte

// Algorithm parameters: the ВКЛ/ОТКЛ values and the high bytes of references.
constexpr std::uint8_t ParamOn = 0x43;
constexpr std::uint8_t ParamOff = 0x44;
constexpr std::uint8_t RefVD = 0xE1;
constexpr std::uint8_t RefDV = 0xE5;
constexpr std::uint8_t RefDVHigh = 0xE6;
constexpr std::uint8_t RefKS = 0xE7;
constexpr std::uint8_t RefAnalog = 0xED;
constexpr std::uint8_t RefTM = 0xEE;
constexpr std::uint8_t RefKB = 0xEF;
// The low byte of a ТМ or КБ reference: the index plus its base.
constexpr unsigned RefTMBase = 192;
constexpr unsigned RefKBBase = 104;
// An output parameter's tail after its reference: the index byte (КБ: plus TailKBBase),
// then three bytes by class.
constexpr unsigned TailKBBase = 96;
constexpr std::uint8_t TailDV[3] = {0xE8, 0xA6, 0xEF};
constexpr std::uint8_t TailKS[3] = {0xEA, 0xA8, 0xEF};
constexpr std::uint8_t TailTM[3] = {0xEF, 0xA9, 0xEF};
constexpr std::uint8_t TailKB[3] = {0xEF, 0xA7, 0xEF};

// The discrete reference of each class: its high byte and what the low byte adds to the index
// byte. ВД has no second code here: its references name ВД000 .. ВД377 only.
struct TReference
{
    TVariableClassCode Class;
    std::uint8_t High;
    unsigned LowBase;
};
inline constexpr TReference References[] = {
    {ClassVD, RefVD, 0}, {ClassDV, RefDV, 0},         {ClassDVHigh, RefDVHigh, 0},
    {ClassKS, RefKS, 0}, {ClassTM, RefTM, RefTMBase}, {ClassKB, RefKB, RefKBBase},
};

} // namespace Instruction

// The shapes of the instructions: one row per instruction kind with its opcodes and the rule
// its length follows. The code generator takes its opcodes from here and the decoder reads
// every block by it, so an instruction's bytes and its length are written down once.
enum class TInstructionKind : std::uint8_t {
    Unknown, // a byte that begins no instruction
    Off,     // ОТКЛ of a discrete or a timer
    On,      // ВКЛ
    AnalogSum,
    TimerSet,  // ТМ = time
    TimerCopy, // ТМ = ТМ
    Text,
    Skip,
    Call,
    TestOff, // ЕСЛИ ОТКЛ
    TestOn,  // ЕСЛИ ВКЛ
    Bit,     // ЕСЛИ Б
    AnalogCompare,
    TimerCompare,
    Or,
    Open,
    Close,
};

// How an instruction's length follows from its bytes. The rules other than Fixed read a byte
// of the instruction: its first HeadLength bytes must be in the block before it is read.
enum class TLengthRule : std::uint8_t {
    Fixed,        // HeadLength bytes
    SumTerms,     // 3 + 2 × byte 2 (the term count)
    CompareTerms, // 3 + 2 × (byte 2 & 0x0F) (relation bits and the term count)
    TimerOperand, // byte 2 with CompareTimer: 4 (another timer), else 6 (a time)
    TextBytes,    // 4 + (byte 2 + 1): the text's bytes follow its count, stored as n - 1
    CallLength,   // 3 + byte 2 (the algorithm's PrpMemory)
};

struct TInstructionShape
{
    TInstructionKind Kind;
    std::uint8_t First;    // the opcode of the first class offset, unmarked
    std::uint8_t Variants; // opcodes First, First + 2, ...: one per class offset
    bool Statement;        // a statement: also First + MarkThen and First + MarkElse
    TLengthRule Rule;
    std::uint8_t HeadLength; // Fixed: the length; otherwise the bytes read for the length
};

namespace Instruction {

// Switch statements take ДВ, ДВ from 256, КБ, КС and ТМ; tests also ВД and ВД from 256.
constexpr int SwitchVariants = SwitchTM / 2 + 1;
constexpr int TestVariants = SwitchVDHigh / 2 + 1;

inline constexpr TInstructionShape Shapes[] = {
    {TInstructionKind::Off, OffFirst, SwitchVariants, true, TLengthRule::Fixed, 2},
    {TInstructionKind::On, OnFirst, SwitchVariants, true, TLengthRule::Fixed, 2},
    {TInstructionKind::AnalogSum, AnalogSum, 1, true, TLengthRule::SumTerms, 3},
    {TInstructionKind::TimerSet, TimerConst, 1, true, TLengthRule::Fixed, 5},
    {TInstructionKind::TimerCopy, TimerTimer, 1, true, TLengthRule::Fixed, 3},
    {TInstructionKind::Text, Text, 1, true, TLengthRule::TextBytes, 4},
    {TInstructionKind::Skip, Skip, 1, true, TLengthRule::Fixed, 1},
    {TInstructionKind::Call, Call, 1, true, TLengthRule::CallLength, 3},
    {TInstructionKind::TestOff, TestOffFirst, TestVariants, false, TLengthRule::Fixed, 2},
    {TInstructionKind::TestOn, TestOnFirst, TestVariants, false, TLengthRule::Fixed, 2},
    {TInstructionKind::Bit, Bit, 1, false, TLengthRule::Fixed, 3},
    {TInstructionKind::AnalogCompare, AnalogCompare, 1, false, TLengthRule::CompareTerms, 3},
    {TInstructionKind::TimerCompare, TimerCompare, 1, false, TLengthRule::TimerOperand, 3},
    {TInstructionKind::Or, Or, 1, false, TLengthRule::Fixed, 1},
    {TInstructionKind::Open, Open, 1, false, TLengthRule::Fixed, 1},
    {TInstructionKind::Close, Close, 1, false, TLengthRule::Fixed, 1},
};

constexpr bool ShapesInKindOrder()
{
    int k = 1;
    for (const TInstructionShape &shape : Shapes)
        if (static_cast<int>(shape.Kind) != k++)
            return false;
    return true;
}
static_assert(ShapesInKindOrder());

// The row of a kind (Unknown has none).
constexpr const TInstructionShape &ShapeOfKind(TInstructionKind kind)
{
    return Shapes[static_cast<int>(kind) - 1];
}

// The opcode of an instruction: its kind's first opcode, the class offset of a switch or
// test (SwitchOffset) and the mark of a statement in a ТОГДА or ИНАЧЕ group.
constexpr std::uint8_t Opcode(TInstructionKind kind, std::uint8_t offset = 0, std::uint8_t mark = 0)
{
    return static_cast<std::uint8_t>(ShapeOfKind(kind).First + offset + mark);
}

// What one byte at an instruction's start means.
struct TOpcodeInfo
{
    TInstructionKind Kind = TInstructionKind::Unknown;
    std::uint8_t Offset = 0; // the class offset (SwitchOffset)
    std::uint8_t Mark = 0;   // 0, MarkThen or MarkElse
};

constexpr std::array<TOpcodeInfo, 256> OpcodeTable()
{
    std::array<TOpcodeInfo, 256> table{};
    for (const TInstructionShape &shape : Shapes) {
        for (int v = 0; v < shape.Variants; ++v) {
            for (int mark : {0, int(MarkThen), int(MarkElse)}) {
                if (mark != 0 && !shape.Statement)
                    continue;
                const int op = shape.First + 2 * v + mark;
                table[op] = {shape.Kind, static_cast<std::uint8_t>(2 * v),
                             static_cast<std::uint8_t>(mark)};
            }
        }
    }
    return table;
}

inline constexpr std::array<TOpcodeInfo, 256> Opcodes = OpcodeTable();

// Every row's opcodes are its own: no two rows claim a byte, and 0 ends a block.
constexpr bool OpcodesDistinct()
{
    int claimed = 0;
    for (const TInstructionShape &shape : Shapes)
        claimed += shape.Variants * (shape.Statement ? 3 : 1);
    int known = 0;
    for (const TOpcodeInfo &info : Opcodes)
        known += info.Kind != TInstructionKind::Unknown ? 1 : 0;
    return known == claimed && Opcodes[0].Kind == TInstructionKind::Unknown;
}
static_assert(OpcodesDistinct());
static_assert(Opcodes[ElseLast].Kind == TInstructionKind::Call &&
              Opcodes[TestLast].Kind == TInstructionKind::TestOn);

} // namespace Instruction
