#pragma once
// A compiled program made ready to run: the code blocks of its present sections decoded
// (compiler/instructiondecoder.h) into steps the scan engine executes, each instruction's
// place (section, source line, text) for coverage, and what the run must say of it: the
// assumptions it rests on, what it does not simulate and the variables the algorithm calls
// write. Nothing here changes while the program runs; the state, coverage and log belong to
// the scan engine (runtime/scanengine.h), so one prepared program can serve several runs.

#include "compiler/instructiondecoder.h"
#include "prp/macrostable.h"
#include "runtime/variables.h"

#include <QString>
#include <QStringList>

#include <vector>

class TAlgBase;
class TZentorProgram;

// Where an instruction stands.
struct TInstructionPlace
{
    int Section = 0;
    int Offset = 0; // in the section's code block
    int Line = -1;  // the statement's first line in the section's text; -1 when not known
    QString Text;   // the instruction as the decompiler writes it (its first line)
    // The variables of the model it reads or writes, in the order it names them (a timer's
    // time as a variable of its own), for showing their values beside its line.
    std::vector<TVarRef> Variables;
    // "секция 000, строка 3" or, without a line, "секция 000, смещение 12".
    QString Where() const;
};

// A variable that an algorithm call names as an output: the engine leaves it as it is and
// the user sets it.
struct TAlgorithmOutput
{
    QString Variable; // as the language writes it
    bool InState = false;
    TVarRef Ref; // when InState
    int Algorithm = 0;
    int Place = 0; // the call
};

class TRunProgram
{
public:
    // Decodes every present section of a compiled program (its code blocks as they are)
    // with the algorithm base for the calls' parameters (may be null). The source lines of
    // the instructions come from compiling a copy of each section with the header's
    // technological names; a section whose text does not give its block has none.
    void Prepare(const TZentorProgram &program, const TAlgBase *base);

    const std::vector<TInstructionPlace> &Places() const { return InstructionPlaces; }
    // One line each.
    const QStringList &Assumptions() const { return AssumptionLines; }
    const QStringList &NotSimulated() const { return NotSimulatedLines; }
    const std::vector<TAlgorithmOutput> &AlgorithmOutputs() const { return Outputs; }
    // "ДВ047: записывается АЛГ032 (не моделируется)", one line per variable and algorithm.
    QStringList WrittenByLines() const;

    // The technological names of the program's header.
    const TMacrosTable &HeaderNames() const { return Names; }
    // A variable or a technological name of the program's header.
    [[nodiscard]] bool ParseVariable(const QString &word, TVarRef &v, QString &error) const;

    // The executable form, read by the scan engine.
    enum class TStepKind : std::uint8_t { Condition, SetBit, Sum, SetTime, CopyTime, Text, None };
    enum class TGuard : std::uint8_t { Always, IfTrue, IfFalse };
    struct TStep
    {
        TStepKind Kind = TStepKind::None;
        TGuard Guard = TGuard::Always;
        int Place = 0; // the instruction (a condition: its first item)
        int A = 0;     // slot, timer, item count of a condition
        int B = 0;     // value, source timer, first node, first term, text
        int C = 0;     // node count, term count
    };
    enum class TLeafKind : std::uint8_t { On, Off, Bad, Analog, Time, Timer };
    struct TLeaf
    {
        TLeafKind Kind = TLeafKind::On;
        TRelation Relation = TRelation::None;
        int Slot = 0;  // the bit, the analog value, the timer
        int Value = 0; // Time: the time; Timer: the other timer
        int FirstTerm = 0;
        int TermCount = 0;
        int Place = 0;
    };
    // A condition in postfix order: leaves, and And / Or of the two results before.
    struct TNode
    {
        enum TOp : std::uint8_t { Leaf, And, Or };
        TOp Op = Leaf;
        int Index = 0; // Leaf: the leaf
    };
    struct TTerm
    {
        int Slot = -1; // -1: a constant
        int Sign = 1;
        int Constant = 0;
    };
    struct TTextField
    {
        QString Variable; // as the text writes it
        bool InState = false;
        TVarRef Ref;
    };
    struct TText
    {
        QString Line; // "ТС1.0.0 'ДАВЛЕНИЕ #АВ002./002#'"
        std::vector<TTextField> Fields;
    };
    std::vector<TStep> Steps;
    std::vector<TLeaf> Leaves;
    std::vector<TNode> Nodes;
    std::vector<TTerm> Terms;
    std::vector<TText> Texts;
    // The АВ a Sum step writes, for the log.
    QString SumTarget(const TStep &step) const;

private:
    std::vector<TInstructionPlace> InstructionPlaces;
    QStringList AssumptionLines;
    QStringList NotSimulatedLines;
    std::vector<TAlgorithmOutput> Outputs;
    TMacrosTable Names;

    friend class TProgramBuilder;
};
