#include "compiler/ll1.h"

#include <array>
#include <bit>
#include <cstdint>
#include <utility>

// The parse table of the statement language. Columns: lookahead codes (LL1AnyCode: any
// lexeme, the end of the text included), next row, accept, push, return, error. Rule groups:
//   1..3     section: statement list, then the end of the text
//   4..14    statement list: statement (4, 7, 8), conditional group (5, 9..13), end (6, 14)
//   15..20   statement: switch (21, 22), analog sum (23..27), timer setting (28..30),
//            ВСК (31), text (32, 33), algorithm call (34, 35)
//   36..39   switch target: discrete variable or timer
//   40..45   further terms of a sum
//   46..49   operand: integer constant or analog variable
//   50..53   timer operand: time constant or timer
//   54..59   parameter list: "=" and a value, repeated
//   60..76   parameter value
//   77..82   further ТОГДА/ИНАЧЕ statements of a conditional group
//   83..98   condition: ЕСЛИ and a primary, or a parenthesised condition, with or without ИЛИ
//   99..124  primary: ВКЛ/ОТКЛ test, Б test, analog comparison, timer comparison
// clang-format off
constexpr TLL1Row LL1Table[LL1RowCount + 1] = {
    {{}, 0, false, false, false, false}, // row 0 is never visited
    {{LxOpen, LxIf, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 2, false, false, false, true}, // 1
    {{LxOpen, LxIf, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 4, false, true, false, true}, // 2
    {{LL1AnyCode}, 0, true, false, true, true}, // 3
    {{LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog}, 7, false, false, false, false}, // 4
    {{LxOpen, LxIf}, 9, false, false, false, false}, // 5
    {{LL1AnyCode}, 14, false, false, false, true}, // 6
    {{LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog}, 15, false, true, false, true}, // 7
    {{LxOpen, LxIf, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 4, false, false, false, true}, // 8
    {{LxOpen, LxIf}, 83, false, true, false, true}, // 9
    {{LxThenElse}, 11, true, false, false, true}, // 10
    {{LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog}, 15, false, true, false, true}, // 11
    {{LxOpen, LxIf, LxThenElse, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 77, false, true, false, true}, // 12
    {{LxOpen, LxIf, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 4, false, false, false, true}, // 13
    {{LL1AnyCode}, 0, false, false, true, true}, // 14
    {{LxOnOff}, 21, false, false, false, false}, // 15
    {{LxAnalog}, 23, false, false, false, false}, // 16
    {{LxTimer}, 28, false, false, false, false}, // 17
    {{LxSkip}, 31, false, false, false, false}, // 18
    {{LxTextWord}, 32, false, false, false, false}, // 19
    {{LxAlgorithm}, 34, false, false, false, true}, // 20
    {{LxOnOff}, 22, true, false, false, true}, // 21
    {{LxDiscrete, LxTimer}, 36, false, false, false, true}, // 22
    {{LxAnalog}, 24, true, false, false, true}, // 23
    {{LxEquals}, 25, true, false, false, true}, // 24
    {{LxSign}, 26, true, false, false, true}, // 25
    {{LxInteger, LxAnalog}, 46, false, true, false, true}, // 26
    {{LxSign, LxOpen, LxClose, LxIf, LxThenElse, LxOr, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 40, false, false, false, true}, // 27
    {{LxTimer}, 29, true, false, false, true}, // 28
    {{LxEquals}, 30, true, false, false, true}, // 29
    {{LxTime, LxTimer}, 50, false, false, false, true}, // 30
    {{LxSkip}, 0, true, false, true, true}, // 31
    {{LxTextWord}, 33, true, false, false, true}, // 32
    {{LxTextString}, 0, true, false, true, true}, // 33
    {{LxAlgorithm}, 35, true, false, false, true}, // 34
    {{LxOpen, LxEquals, LxIf, LxThenElse, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 54, false, false, false, true}, // 35
    {{LxDiscrete}, 38, false, false, false, false}, // 36
    {{LxTimer}, 39, false, false, false, true}, // 37
    {{LxDiscrete}, 0, true, false, true, true}, // 38
    {{LxTimer}, 0, true, false, true, true}, // 39
    {{LxSign}, 42, false, false, false, false}, // 40
    {{LxOpen, LxClose, LxIf, LxThenElse, LxOr, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 45, false, false, false, true}, // 41
    {{LxSign}, 43, true, false, false, true}, // 42
    {{LxInteger, LxAnalog}, 46, false, true, false, true}, // 43
    {{LxSign, LxOpen, LxClose, LxIf, LxThenElse, LxOr, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 40, false, false, false, true}, // 44
    {{LxOpen, LxClose, LxIf, LxThenElse, LxOr, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 0, false, false, true, true}, // 45
    {{LxInteger}, 48, false, false, false, false}, // 46
    {{LxAnalog}, 49, false, false, false, true}, // 47
    {{LxInteger}, 0, true, false, true, true}, // 48
    {{LxAnalog}, 0, true, false, true, true}, // 49
    {{LxTime}, 52, false, false, false, false}, // 50
    {{LxTimer}, 53, false, false, false, true}, // 51
    {{LxTime}, 0, true, false, true, true}, // 52
    {{LxTimer}, 0, true, false, true, true}, // 53
    {{LxEquals}, 56, false, false, false, false}, // 54
    {{LxOpen, LxIf, LxThenElse, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 59, false, false, false, true}, // 55
    {{LxEquals}, 57, true, false, false, true}, // 56
    {{LxSign, LxInteger, LxReal, LxTime, LxOnOff, LxDiscrete, LxTimer, LxAnalog}, 60, false, true, false, true}, // 57
    {{LxOpen, LxEquals, LxIf, LxThenElse, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 54, false, false, false, true}, // 58
    {{LxOpen, LxIf, LxThenElse, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 0, false, false, true, true}, // 59
    {{LxSign}, 68, false, false, false, false}, // 60
    {{LxInteger}, 70, false, false, false, false}, // 61
    {{LxAnalog}, 71, false, false, false, false}, // 62
    {{LxTime}, 72, false, false, false, false}, // 63
    {{LxOnOff}, 73, false, false, false, false}, // 64
    {{LxDiscrete}, 74, false, false, false, false}, // 65
    {{LxTimer}, 75, false, false, false, false}, // 66
    {{LxReal}, 76, false, false, false, true}, // 67
    {{LxSign}, 69, true, false, false, true}, // 68
    {{LxInteger, LxAnalog}, 46, false, false, false, true}, // 69
    {{LxInteger}, 0, true, false, true, true}, // 70
    {{LxAnalog}, 0, true, false, true, true}, // 71
    {{LxTime}, 0, true, false, true, true}, // 72
    {{LxOnOff}, 0, true, false, true, true}, // 73
    {{LxDiscrete}, 0, true, false, true, true}, // 74
    {{LxTimer}, 0, true, false, true, true}, // 75
    {{LxReal}, 0, true, false, true, true}, // 76
    {{LxThenElse}, 79, false, false, false, false}, // 77
    {{LxOpen, LxIf, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 82, false, false, false, true}, // 78
    {{LxThenElse}, 80, true, false, false, true}, // 79
    {{LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog}, 15, false, true, false, true}, // 80
    {{LxOpen, LxIf, LxThenElse, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 77, false, false, false, true}, // 81
    {{LxOpen, LxIf, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 0, false, false, true, true}, // 82
    {{LxIf}, 85, false, false, false, false}, // 83
    {{LxOpen}, 88, false, false, false, true}, // 84
    {{LxIf}, 86, true, false, false, true}, // 85
    {{LxOnOff, LxTimer, LxAnalog, LxBit}, 99, false, true, false, true}, // 86
    {{LxOpen, LxClose, LxIf, LxThenElse, LxOr}, 92, false, false, false, true}, // 87
    {{LxOpen}, 89, true, false, false, true}, // 88
    {{LxOpen, LxIf}, 83, false, true, false, true}, // 89
    {{LxClose}, 91, true, false, false, true}, // 90
    {{LxOpen, LxClose, LxIf, LxThenElse, LxOr}, 92, false, false, false, true}, // 91
    {{LxOpen, LxIf}, 95, false, false, false, false}, // 92
    {{LxOr}, 96, false, false, false, false}, // 93
    {{LxClose, LxThenElse}, 98, false, false, false, true}, // 94
    {{LxOpen, LxIf}, 83, false, false, false, true}, // 95
    {{LxOr}, 97, true, false, false, true}, // 96
    {{LxOpen, LxIf}, 83, false, false, false, true}, // 97
    {{LxClose, LxThenElse}, 0, false, false, true, true}, // 98
    {{LxOnOff}, 103, false, false, false, false}, // 99
    {{LxBit}, 105, false, false, false, false}, // 100
    {{LxAnalog}, 107, false, false, false, false}, // 101
    {{LxTimer}, 112, false, false, false, true}, // 102
    {{LxOnOff}, 104, true, false, false, true}, // 103
    {{LxDiscrete, LxTimer}, 36, false, false, false, true}, // 104
    {{LxBit}, 106, true, false, false, true}, // 105
    {{LxDiscrete, LxTimer, LxAnalog}, 119, false, false, false, true}, // 106
    {{LxAnalog}, 108, true, false, false, true}, // 107
    {{LxEquals, LxRelation}, 115, false, true, false, true}, // 108
    {{LxSign}, 110, true, false, false, true}, // 109
    {{LxInteger, LxAnalog}, 46, false, true, false, true}, // 110
    {{LxSign, LxOpen, LxClose, LxIf, LxThenElse, LxOr, LxOnOff, LxSkip, LxTextWord, LxAlgorithm, LxTimer, LxAnalog, LL1AnyCode}, 40, false, false, false, true}, // 111
    {{LxTimer}, 113, true, false, false, true}, // 112
    {{LxRelation}, 114, true, false, false, true}, // 113
    {{LxTime, LxTimer}, 50, false, false, false, true}, // 114
    {{LxEquals}, 117, false, false, false, false}, // 115
    {{LxRelation}, 118, false, false, false, true}, // 116
    {{LxEquals}, 0, true, false, true, true}, // 117
    {{LxRelation}, 0, true, false, true, true}, // 118
    {{LxDiscrete}, 122, false, false, false, false}, // 119
    {{LxTimer}, 123, false, false, false, false}, // 120
    {{LxAnalog}, 124, false, false, false, true}, // 121
    {{LxDiscrete}, 0, true, false, true, true}, // 122
    {{LxTimer}, 0, true, false, true, true}, // 123
    {{LxAnalog}, 0, true, false, true, true}, // 124
};
// clang-format on

// The action rows accept (or, at an arrival, follow) what their names say: a change of the
// table that moves one of them fails here.
constexpr bool AcceptsOnly(int row, int code)
{
    return LL1Table[row].Accept && LL1Table[row].Return && LL1Table[row].Terminals[0] == code &&
           LL1Table[row].Terminals[1] == 0;
}
static_assert(AcceptsOnly(LL1RowSkip, LxSkip));
static_assert(AcceptsOnly(LL1RowTextString, LxTextString));
static_assert(AcceptsOnly(LL1RowSwitchDiscrete, LxDiscrete));
static_assert(AcceptsOnly(LL1RowSwitchTimer, LxTimer));
static_assert(AcceptsOnly(LL1RowTimeConstant, LxTime));
static_assert(AcceptsOnly(LL1RowTimerOperand, LxTimer));
static_assert(AcceptsOnly(LL1RowBitDiscrete, LxDiscrete));
static_assert(AcceptsOnly(LL1RowBitTimer, LxTimer));
static_assert(AcceptsOnly(LL1RowBitAnalog, LxAnalog));
static_assert(LL1Table[LL1RowOpen].Accept && LL1Table[LL1RowOpen].Terminals[0] == LxOpen);
static_assert(LL1Table[LL1RowClose].Accept && LL1Table[LL1RowClose].Terminals[0] == LxClose);
static_assert(LL1Table[LL1RowOr].Accept && LL1Table[LL1RowOr].Terminals[0] == LxOr);
static_assert(LL1Table[LL1RowSumEnd].Return && !LL1Table[LL1RowSumEnd].Accept);
static_assert(LL1Table[LL1RowParamsEnd].Return && !LL1Table[LL1RowParamsEnd].Accept);

namespace {

// Each row's lookahead codes as a set of bits, so that a step asks one question instead of
// reading the row's list.
struct TCodeSet
{
    std::uint64_t Bits[4] = {};
    bool Any = false; // the row applies to any lexeme

    constexpr bool Has(int code) const
    {
        return code >= 0 && code < 256 && ((Bits[code >> 6] >> (code & 63)) & 1u) != 0;
    }
};

constexpr std::array<TCodeSet, LL1RowCount + 1> RowCodeSets()
{
    std::array<TCodeSet, LL1RowCount + 1> sets{};
    for (int r = 0; r <= LL1RowCount; ++r) {
        for (int t : LL1Table[r].Terminals) {
            if (t == 0)
                break;
            sets[r].Bits[t >> 6] |= std::uint64_t(1) << (t & 63);
            if (t == LL1AnyCode)
                sets[r].Any = true;
        }
    }
    return sets;
}

constexpr std::array<TCodeSet, LL1RowCount + 1> kRowCodes = RowCodeSets();

// Each row's set holds its terminals and nothing else.
constexpr bool CodeSetsAgree()
{
    for (int r = 0; r <= LL1RowCount; ++r) {
        int terminals = 0;
        for (int t : LL1Table[r].Terminals) {
            if (t == 0)
                break;
            if (!kRowCodes[r].Has(t))
                return false;
            ++terminals;
        }
        int members = 0;
        for (std::uint64_t word : kRowCodes[r].Bits)
            members += std::popcount(word);
        if (members != terminals || kRowCodes[r].Any != LL1Table[r].Contains(LL1AnyCode))
            return false;
    }
    return true;
}
static_assert(CodeSetsAgree());

class TWalk
{
public:
    TWalk(const TLexemeContainer &lexemes, TLL1Hooks &hooks, int capacity)
        : Lexemes(lexemes), Hooks(hooks), Stack(capacity)
    {
        Statement.Reserve(64);
    }

    int Run()
    {
        if (!Stack.Push(0)) {
            SetLookahead();
            Hooks.OnSyntaxError(Lookahead);
            return -1;
        }
        while (Position < Lexemes.Count()) {
            const int code = Lexemes.At(Position).Code;
            if (code != LxColumnOne && code != LxComment)
                break;
            Hooks.OnPassed(Lexemes.At(Position), true);
            ++Position;
        }
        SetLookahead();
        int r = 1;
        while (r > 0) {
            if (r > LL1RowCount) { // cannot happen with the table; never read past it
                Hooks.OnSyntaxError(Lookahead);
                return -1;
            }
            const TLL1Row &row = LL1Table[r];
            const bool literal = kRowCodes[r].Has(Lookahead.Code);
            int applied = 0;
            bool accepted = false;
            if (literal || kRowCodes[r].Any) {
                applied = r;
                accepted = row.Accept && literal;
                if (row.Return) {
                    if (!Stack.Pop(r)) {
                        Hooks.OnSyntaxError(Lookahead);
                        return -1;
                    }
                } else {
                    if (row.Push && !Stack.Push(r + 1)) {
                        Hooks.OnSyntaxError(Lookahead);
                        return -1;
                    }
                    r = row.Next;
                }
            } else if (row.Error) {
                Hooks.OnSyntaxError(Lookahead);
                return -1;
            } else {
                ++r;
            }
            // A step that neither takes the lookahead nor arrives at a row whose arrival
            // hands the statement on changes nothing the hooks see.
            if (!accepted && !LL1IsArrivalMoment(r))
                continue;
            // The lookahead is taken: it moves into the statement and the next one follows.
            if (accepted && Lookahead.Code != LxEnd)
                Statement.Add(std::move(Lookahead));
            const bool ok = Hooks.OnStep(applied, accepted, r, Statement);
            if (accepted)
                Advance();
            if (!ok)
                return -1;
            if (!Hooks.OnStepEnd(Lookahead))
                return -1;
        }
        if (r == 0 && Lookahead.Code != LxEnd) {
            // Nothing at statement level can begin with this lexeme.
            Hooks.OnSyntaxError(Lookahead);
            return -1;
        }
        return r == 0 ? 0 : -1;
    }

private:
    const TLexemeContainer &Lexemes;
    TLL1Hooks &Hooks;
    TLL1Stack Stack;
    TLexemeContainer Statement;
    int Position = 0;
    TLexeme Lookahead;

    void SetLookahead()
    {
        Lookahead = Lexemes.Get(Position);
        Hooks.OnLookahead(Lookahead);
    }

    // Moves to the next lexeme the grammar sees; parameter numbers and names passed on
    // the way go into the statement.
    void Advance()
    {
        if (Position < Lexemes.Count())
            ++Position;
        while (Position < Lexemes.Count()) {
            const TLexeme &lx = Lexemes.At(Position);
            if (lx.Code < LxColumnOne || lx.Code > LxComment)
                break;
            Hooks.OnPassed(lx, false);
            if (lx.Code == LxLineNumber || lx.Code == LxParamName)
                Statement.Add(lx);
            ++Position;
        }
        SetLookahead();
    }
};

} // namespace

int LL1Walk(const TLexemeContainer &lexemes, TLL1Hooks &hooks, int stackCapacity)
{
    TWalk walk(lexemes, hooks, stackCapacity);
    return walk.Run();
}
