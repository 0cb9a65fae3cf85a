#pragma once
// The section decompiler: a section's code block back into the text lines that the section
// compiler reads, one line per fragment (parameter lines and the text of a ТС instruction
// on lines of their own), and the driver that decompiles a whole program after it came from
// an image: the header first, then every present section.
//
// Decoding never reads past the block's CodeLength: instructions lie between the block's
// five frame bytes and its terminator, the last of its CodeLength bytes. A block that ends
// inside an instruction or holds an opcode the controller does not know stops that
// section's text there, with a message; the code block itself is left as it was.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class TAlgBase;
struct TAlgMemoryRange;
struct TCallSite;
class TProgress;
class TZentorCompiler;
class TZentorProgram;
struct TZentorSection;

// Replaces the section's text by its decoded block and sets FragmentCount, Modified := 1,
// NeedsCompile := 0. True when the block was read to its end; otherwise the reason is added
// to messages. base may be null (every call then shows its bytes).
[[nodiscard]] bool DecompileSection(TZentorSection &section, int sectionNumber,
                                    const TAlgBase *base, QStringList &messages);
// One instruction of a block as the decompiler reads it: where it stands in the block and
// which lines of the text it gives (its fragment line first).
struct TDecodedInstruction
{
    int Offset = 0;
    int Length = 0;
    int FirstLine = 0;
    int LineCount = 0;
};
// The text DecompileSection would give, without changing the section, and its instructions.
[[nodiscard]] bool DecodeSectionText(const TZentorSection &section, int sectionNumber,
                                     const TAlgBase *base, QStringList &text,
                                     std::vector<TDecodedInstruction> &instructions,
                                     QStringList &messages);
// One instruction's lines as the decompiler writes them, its fragment line first, with its
// condition word ("Тогда ", "Если " ...) when asked, without its fragment number.
struct TInstruction;
QStringList InstructionText(const TInstruction &x, bool conditionWord = true);
// The same with the compiler's algorithm base and message list.
[[nodiscard]] bool DecompileSection(TZentorCompiler &compiler, TZentorSection &section,
                                    int sectionNumber);
// The own-memory ranges of the section's calls, read from their address bytes (algorithms
// the base does not describe are left out).
std::vector<TAlgMemoryRange> CallMemoryRanges(const TZentorSection &section, const TAlgBase *base);

// The calls of the section's code, read without the base.
std::vector<TCallSite> CallSites(const TZentorSection &section);
// The own-memory ranges of those calls whose algorithm the base describes with own memory.
std::vector<TAlgMemoryRange> CallMemoryRanges(const std::vector<TCallSite> &calls,
                                              const TAlgBase *base);

// "Декомпиляция ПрП": the header text from the header fields, then every present section,
// each announced by the line "Декомпиляция секции " + its number in the compiler's message
// list; CompiledOk of a section tells whether its block was read to its end. Returns the
// number of sections that could not be read to their end plus the number of header values
// the header text cannot carry (each named by a line of its own).
[[nodiscard]] int DecompileProgram(TZentorCompiler &compiler, TZentorProgram &program,
                                   TProgress &progress);

// Value texts of the decoder, shared with its tests.
// An analog term: "+ВА001", "-АВ002", "+100", "-5".
QString TermText(std::uint8_t low, std::uint8_t high);
// A time parameter (kind 10): mantissa and binary exponent as "HH.MM.SS".
QString TimeParameterText(std::uint8_t mantissa, std::uint8_t exponent);
// A proportional coefficient (kind 11, sixteenths) and a scale factor (kind 12, 128ths): one
// or two decimals as the controller world writes them, more where that text would compile
// to another value.
QString CoefficientText(std::uint16_t word);
QString ScaleText(std::uint8_t value);
