#pragma once
// The section code generator: the hook set of the LL(1) walk that turns each recognised
// statement piece into controller instructions in the section's code block, checks the
// block's size and fragment limits and reports every failure with its position tag.

#include "compiler/instructionset.h"
#include "compiler/ll1.h"

#include <QStringList>

#include <cstdint>
#include <vector>

class TAlgBase;
class TAlgMemoryMap;
struct TZentorSection;

// Limits of a code block: fragments are numbered with two octal digits (the bytes in
// front of the terminator are bounded by PrpLayout::MaxBlockBody).
constexpr int MaxFragments = 64;
constexpr int MaxTextBytes = 64;
constexpr int MaxComparisonTerms = 15;
constexpr int AlgMemoryLimit = 65535;

// Sees every statement piece as the generator takes it, before its code is written (the
// cross-reference of the program's variables listens here).
class TStatementObserver
{
public:
    virtual ~TStatementObserver() = default;
    virtual void OnStatement(const TLexemeContainer &statement) = 0;
};

class TSectionCodeGenerator : public TLL1Hooks
{
public:
    // The section's Code[2] must hold the section number; CodeLength and FragmentCount are
    // set up by the caller (5 and 0). Calls with own memory take theirs from algMemory.
    TSectionCodeGenerator(TZentorSection &section, int sectionNumber, const TAlgBase *base,
                          TAlgMemoryMap &algMemory, QStringList &messages);

    TStatementObserver *Observer = nullptr;

    [[nodiscard]] bool OnStep(int appliedRow, bool accepted, int newRow,
                              TLexemeContainer &statement) override;
    [[nodiscard]] bool OnStepEnd(const TLexeme &lookahead) override;
    void OnSyntaxError(const TLexeme &lookahead) override;

private:
    TZentorSection &Section;
    int SectionNumber;
    const TAlgBase *Base;
    TAlgMemoryMap &AlgMemory;
    QStringList &Messages;
    std::vector<std::uint8_t> Bytes; // the instruction being made, before it is written

    [[nodiscard]] bool Generate(int appliedRow, int newRow, const TLexemeContainer &statement);
    [[nodiscard]] bool Skip(const TLexemeContainer &s);
    [[nodiscard]] bool Switch(const TLexemeContainer &s);
    [[nodiscard]] bool Analog(const TLexemeContainer &s);
    [[nodiscard]] bool Timer(const TLexemeContainer &s);
    [[nodiscard]] bool Bit(const TLexemeContainer &s);
    [[nodiscard]] bool Text(const TLexemeContainer &s);
    [[nodiscard]] bool Call(const TLexemeContainer &raw);
    // One parameter of a call by its kind, its bytes appended; value is its lexeme and k the
    // lexeme after it (the analog input reads its operand there and moves k on). False after
    // the failure was reported.
    [[nodiscard]] bool Param(const TLexeme &head, int kind, const TLexeme &value,
                             const TLexemeContainer &raw, int &k, std::vector<std::uint8_t> &bytes);
    [[nodiscard]] bool OnOffParam(const TLexeme &head, const TLexeme &value,
                                  std::vector<std::uint8_t> &bytes);
    [[nodiscard]] bool DiscreteParam(int kind, const TLexeme &value,
                                     std::vector<std::uint8_t> &bytes);
    [[nodiscard]] bool AnalogInParam(const TLexeme &value, const TLexemeContainer &raw, int &k,
                                     std::vector<std::uint8_t> &bytes);

    // Instruction bytes go through here so that nothing lands outside the code area; the
    // size check after the step rejects a block that grew too long.
    void Put(std::uint8_t byte);
    void Report(const TLexeme &at, const QString &text);
};

// The block frame of a section whose instructions are in place (CodeLength = L): bytes 0
// and 1 = L, checksum in byte 4, terminator at L, CodeLength = L + 1.
void FinishBlock(TZentorSection &section);
