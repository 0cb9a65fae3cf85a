#pragma once
// The controller's section instructions: one name per byte, for the code generator that
// writes them and the decompiler that reads them back.
//
// A statement's opcode is written as below, plus MarkThen or MarkElse when it stands in a
// ТОГДА or ИНАЧЕ group. Switch statements and discrete tests add the variable's class
// offset (SwitchOffset) to their first opcode.

#include <cstdint>

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

// The opcode ranges the decompiler names by their condition word.
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

} // namespace Instruction
