#pragma once
// The instruction decoder: a section's code block as the sequence of typed instructions the
// controller executes. Every instruction is measured by its shape (compiler/instructionset.h)
// before any of its operands is read, so no byte past the block's CodeLength is ever read;
// the block's last byte is its terminator. The decompiler writes its text from these
// instructions and the scan engine executes them.

#include "compiler/instructionset.h"

#include <cstdint>
#include <vector>

class TAlgBase;
struct TAlgInfo;
struct TZentorSection;

// A variable as an instruction names it: a class code (prp/variableclass.h) and the index
// byte; the full index adds 256 for the second codes of ДВ and ВД.
struct TCodedVariable
{
    std::uint8_t Class = 0;
    std::uint8_t Byte = 0;
    int Index() const;
};

// An analog term: a constant word 2c, or a signed analog input or variable (low byte 2i).
struct TAnalogTerm
{
    enum TKind : std::uint8_t { Constant, VA, AV };
    std::uint8_t Low = 0;
    std::uint8_t High = 0;
    TKind Kind = Constant;
    bool Minus = false;
    int Index = 0;    // VA, AV: low / 2
    int Value = 0;    // Constant: the word as a signed number halved, truncated toward zero
    bool Odd = false; // Constant: the word is odd, its lowest bit is lost in Value
};

enum class TRelation : std::uint8_t { Equal, Greater, Less, None };

// One item of a ТС text.
struct TTextItem
{
    enum TKind : std::uint8_t {
        Character, // outside a field: a controller character code
        Star,
        Field,   // opens or closes a field
        InField, // inside a field: a variable, its class code and index byte
        Format,  // inside a field: a number format
        Skipped, // inside a field: a byte that means nothing there
    };
    TKind Kind = Character;
    std::uint8_t Byte = 0;   // Character, Skipped: the byte; Format: its number
    TCodedVariable Variable; // Variable
};

// One parameter of an algorithm call, read by its kind from the algorithm base.
struct TCallParam
{
    std::uint8_t Kind = 0;
    bool Present = false; // the kind takes bytes and they lie inside the call
    std::uint8_t Lo = 0;
    std::uint8_t Hi = 0;
    // Kinds 1 and 2 (Hi 0): ВКЛ or ОТКЛ.
    bool IsOnOff = false;
    bool On = false;
    // Kinds 2, 3, 4 (a reference), 6 (АВ), 7 (ТМ): the variable; Class 0 when the reference
    // byte names no class the kind accepts.
    TCodedVariable Variable;
    TAnalogTerm Term; // kind 5
};

struct TInstruction
{
    int Offset = 0; // of the opcode in the block
    int Length = 0;
    std::uint8_t Opcode = 0;
    TInstructionKind Kind = TInstructionKind::Unknown;
    std::uint8_t Mark = 0; // statements: 0, Instruction::MarkThen or MarkElse

    // Switches, tests, Б: the variable. Analog sum and comparison: the АВ or ВА (Byte is the
    // index; Class 0 when the relation byte names neither). Timer instructions: the timer.
    TCodedVariable Variable;
    TRelation Relation = TRelation::None;
    std::vector<TAnalogTerm> Terms;
    // Timer instructions: the time (seconds, minutes, hours as stored) or the other timer.
    bool OtherTimer = false;
    std::uint8_t Timer2 = 0;
    std::uint8_t Seconds = 0;
    std::uint8_t Minutes = 0;
    std::uint8_t Hours = 0;
    // ТС: the flags byte and the items of the text.
    std::uint8_t TextFlags = 0;
    std::vector<TTextItem> TextItems;
    // Calls: the algorithm (byte 1 / 2), its base entry when described, the own-memory
    // address when it has own memory, its parameters in order, and every byte of the call.
    int Algorithm = 0;
    const TAlgInfo *Alg = nullptr;
    bool HasAddress = false;
    int Address = 0;
    std::vector<TCallParam> Params;
    std::vector<std::uint8_t> Bytes;
};

struct TDecodedBlock
{
    // How the instructions end: at the terminator (or the end of the block), at an
    // instruction that runs past the block, or at a byte that begins no instruction.
    enum TEnd : std::uint8_t { Complete, Truncated, Unknown };

    std::vector<TInstruction> Instructions;
    TEnd End = Complete;
    int EndOffset = 0;          // Truncated, Unknown: where the instruction begins
    std::uint8_t EndOpcode = 0; // Unknown: the byte
};

// The instructions of a block; base (may be null) describes the calls' parameters.
TDecodedBlock DecodeBlock(const TZentorSection &section, const TAlgBase *base);
// The same over codeLength bytes of code (the caller's array holds at least that many).
TDecodedBlock DecodeBlock(const std::uint8_t *code, int codeLength, const TAlgBase *base);

// An analog term from its two bytes.
TAnalogTerm DecodeTerm(std::uint8_t low, std::uint8_t high);
