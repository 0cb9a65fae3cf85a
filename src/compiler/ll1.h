#pragma once
// The table-driven LL(1) walk over a section's lexemes. The grammar lives entirely in the
// constant parse table; the walk is one loop with an explicit return stack. What happens
// at the table's rows (code generation, re-layout of the text) is given by a hook set.

#include "compiler/lexeme.h"

#include <vector>

// The lookahead code that makes a row apply to any lexeme.
constexpr int LL1AnyCode = 255;

struct TLL1Row
{
    int Terminals[16]; // codes for which the row applies; 0 after the last one
    int Next;          // row to go to when the row applies and does not return
    bool Accept;       // consume the lookahead (only when its code is literally in the set)
    bool Push;         // push this row + 1 before going on
    bool Return;       // pop the next row instead of using Next
    bool Error;        // a syntax error when the row does not apply

    constexpr bool Contains(int code) const
    {
        for (int t : Terminals) {
            if (t == 0)
                return false;
            if (t == code)
                return true;
        }
        return false;
    }
};

constexpr int LL1RowCount = 124;

// The rows where the code generator and the re-layout act.
enum TLL1ActionRow : int {
    LL1RowSkip = 31,           // ВСК
    LL1RowTextString = 33,     // the text string after a ТС word
    LL1RowSwitchDiscrete = 38, // discrete variable after ВКЛ/ОТКЛ
    LL1RowSwitchTimer = 39,    // timer after ВКЛ/ОТКЛ
    LL1RowSumEnd = 45,         // arrival: the end of a sum of terms or of a comparison
    LL1RowTimeConstant = 52,   // time constant of a timer setting or comparison
    LL1RowTimerOperand = 53,   // timer of a timer setting or comparison
    LL1RowParamsEnd = 59,      // arrival: the end of an algorithm's parameter list
    LL1RowOpen = 88,           // "("
    LL1RowClose = 90,          // ")"
    LL1RowOr = 96,             // ИЛИ
    LL1RowBitDiscrete = 122,   // discrete variable after Б
    LL1RowBitTimer = 123,      // timer after Б
    LL1RowBitAnalog = 124,     // analog variable after Б
};
// Rows 1..124; row 0 is never visited.
extern const TLL1Row LL1Table[LL1RowCount + 1];

// Capacities of the return stack: compilation and the re-layout of section texts.
constexpr int LL1CompileStackCapacity = 200;
constexpr int LL1RelayoutStackCapacity = 1000;

// The walk's return stack of row numbers. Push past the capacity and pop of an empty stack
// fail instead of touching memory outside it.
class TLL1Stack
{
public:
    explicit TLL1Stack(int capacity) : Capacity(capacity > 0 ? capacity : 0)
    {
        Items.reserve(static_cast<std::size_t>(Capacity));
    }
    [[nodiscard]] bool Push(int row)
    {
        if (Count() >= Capacity)
            return false;
        Items.push_back(row);
        return true;
    }
    [[nodiscard]] bool Pop(int &row)
    {
        if (Items.empty())
            return false;
        row = Items.back();
        Items.pop_back();
        return true;
    }
    int Count() const { return static_cast<int>(Items.size()); }
    int Capacity;

private:
    std::vector<int> Items;
};

// What the walk does besides recognising the grammar.
class TLL1Hooks
{
public:
    virtual ~TLL1Hooks() = default;

    // A lexeme becomes the lookahead (the re-layout normalises its text here).
    virtual void OnLookahead(TLexeme &) {}
    // A lexeme of code 100..103 is passed over while advancing; leading is true for those
    // before the first lookahead.
    virtual void OnPassed(const TLexeme &, bool /*leading*/) {}
    // After a step that consumed the lookahead (accepted: it is then already in the
    // statement) or that arrived at an arrival moment newRow; appliedRow is the row that
    // applied (0 when none applied and the walk only moved on). The other steps change
    // nothing a hook sees and are not reported. The hook may take the statement (and clear
    // it). False ends the walk with failure: the hook has reported why.
    [[nodiscard]] virtual bool OnStep(int appliedRow, bool accepted, int newRow,
                                      TLexemeContainer &statement) = 0;
    // At the end of a reported step that did not fail, after the lookahead advanced. False
    // ends the walk with failure.
    [[nodiscard]] virtual bool OnStepEnd(const TLexeme &) { return true; }
    // A syntax error at the lookahead; the walk ends with failure.
    virtual void OnSyntaxError(const TLexeme &lookahead) = 0;
};

// The generator moments: rows after which the statement is handed on when they accepted,
// and rows whose arrival hands it on.
constexpr bool LL1IsAcceptMoment(int row)
{
    switch (row) {
    case LL1RowSkip:
    case LL1RowTextString:
    case LL1RowSwitchDiscrete:
    case LL1RowSwitchTimer:
    case LL1RowTimeConstant:
    case LL1RowTimerOperand:
    case LL1RowOpen:
    case LL1RowClose:
    case LL1RowOr:
    case LL1RowBitDiscrete:
    case LL1RowBitTimer:
    case LL1RowBitAnalog:
        return true;
    default:
        return false;
    }
}

constexpr bool LL1IsArrivalMoment(int row)
{
    return row == LL1RowSumEnd || row == LL1RowParamsEnd;
}

// Walks the lexemes: 0 when the text is a well-formed section to its end, -1 on a syntax
// error (reported through the hooks) or when a hook failed. Text after a lexeme that can
// begin nothing at statement level is a syntax error at that lexeme, and so is nesting
// deeper than the stack holds.
[[nodiscard]] int LL1Walk(const TLexemeContainer &lexemes, TLL1Hooks &hooks, int stackCapacity);
