#include "compiler/ll1.h"

// The parse table of the statement language. Columns: lookahead codes, next row, accept,
// push, return, error. Rule groups:
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
const TLL1Row LL1Table[LL1RowCount + 1] = {
    {{}, 0, false, false, false, false}, // row 0 is never visited
    {{2, 9, 12, 13, 14, 15, 17, 18, 255}, 2, false, false, false, true}, // 1
    {{2, 9, 12, 13, 14, 15, 17, 18, 255}, 4, false, true, false, true}, // 2
    {{255}, 0, true, false, true, true}, // 3
    {{12, 13, 14, 15, 17, 18}, 7, false, false, false, false}, // 4
    {{2, 9}, 9, false, false, false, false}, // 5
    {{255}, 14, false, false, false, true}, // 6
    {{12, 13, 14, 15, 17, 18}, 15, false, true, false, true}, // 7
    {{2, 9, 12, 13, 14, 15, 17, 18, 255}, 4, false, false, false, true}, // 8
    {{2, 9}, 83, false, true, false, true}, // 9
    {{10}, 11, true, false, false, true}, // 10
    {{12, 13, 14, 15, 17, 18}, 15, false, true, false, true}, // 11
    {{2, 9, 10, 12, 13, 14, 15, 17, 18, 255}, 77, false, true, false, true}, // 12
    {{2, 9, 12, 13, 14, 15, 17, 18, 255}, 4, false, false, false, true}, // 13
    {{255}, 0, false, false, true, true}, // 14
    {{12}, 21, false, false, false, false}, // 15
    {{18}, 23, false, false, false, false}, // 16
    {{17}, 28, false, false, false, false}, // 17
    {{13}, 31, false, false, false, false}, // 18
    {{14}, 32, false, false, false, false}, // 19
    {{15}, 34, false, false, false, true}, // 20
    {{12}, 22, true, false, false, true}, // 21
    {{16, 17}, 36, false, false, false, true}, // 22
    {{18}, 24, true, false, false, true}, // 23
    {{4}, 25, true, false, false, true}, // 24
    {{1}, 26, true, false, false, true}, // 25
    {{6, 18}, 46, false, true, false, true}, // 26
    {{1, 2, 3, 9, 10, 11, 12, 13, 14, 15, 17, 18, 255}, 40, false, false, false, true}, // 27
    {{17}, 29, true, false, false, true}, // 28
    {{4}, 30, true, false, false, true}, // 29
    {{8, 17}, 50, false, false, false, true}, // 30
    {{13}, 0, true, false, true, true}, // 31
    {{14}, 33, true, false, false, true}, // 32
    {{19}, 0, true, false, true, true}, // 33
    {{15}, 35, true, false, false, true}, // 34
    {{2, 4, 9, 10, 12, 13, 14, 15, 17, 18, 255}, 54, false, false, false, true}, // 35
    {{16}, 38, false, false, false, false}, // 36
    {{17}, 39, false, false, false, true}, // 37
    {{16}, 0, true, false, true, true}, // 38
    {{17}, 0, true, false, true, true}, // 39
    {{1}, 42, false, false, false, false}, // 40
    {{2, 3, 9, 10, 11, 12, 13, 14, 15, 17, 18, 255}, 45, false, false, false, true}, // 41
    {{1}, 43, true, false, false, true}, // 42
    {{6, 18}, 46, false, true, false, true}, // 43
    {{1, 2, 3, 9, 10, 11, 12, 13, 14, 15, 17, 18, 255}, 40, false, false, false, true}, // 44
    {{2, 3, 9, 10, 11, 12, 13, 14, 15, 17, 18, 255}, 0, false, false, true, true}, // 45
    {{6}, 48, false, false, false, false}, // 46
    {{18}, 49, false, false, false, true}, // 47
    {{6}, 0, true, false, true, true}, // 48
    {{18}, 0, true, false, true, true}, // 49
    {{8}, 52, false, false, false, false}, // 50
    {{17}, 53, false, false, false, true}, // 51
    {{8}, 0, true, false, true, true}, // 52
    {{17}, 0, true, false, true, true}, // 53
    {{4}, 56, false, false, false, false}, // 54
    {{2, 9, 10, 12, 13, 14, 15, 17, 18, 255}, 59, false, false, false, true}, // 55
    {{4}, 57, true, false, false, true}, // 56
    {{1, 6, 7, 8, 12, 16, 17, 18}, 60, false, true, false, true}, // 57
    {{2, 4, 9, 10, 12, 13, 14, 15, 17, 18, 255}, 54, false, false, false, true}, // 58
    {{2, 9, 10, 12, 13, 14, 15, 17, 18, 255}, 0, false, false, true, true}, // 59
    {{1}, 68, false, false, false, false}, // 60
    {{6}, 70, false, false, false, false}, // 61
    {{18}, 71, false, false, false, false}, // 62
    {{8}, 72, false, false, false, false}, // 63
    {{12}, 73, false, false, false, false}, // 64
    {{16}, 74, false, false, false, false}, // 65
    {{17}, 75, false, false, false, false}, // 66
    {{7}, 76, false, false, false, true}, // 67
    {{1}, 69, true, false, false, true}, // 68
    {{6, 18}, 46, false, false, false, true}, // 69
    {{6}, 0, true, false, true, true}, // 70
    {{18}, 0, true, false, true, true}, // 71
    {{8}, 0, true, false, true, true}, // 72
    {{12}, 0, true, false, true, true}, // 73
    {{16}, 0, true, false, true, true}, // 74
    {{17}, 0, true, false, true, true}, // 75
    {{7}, 0, true, false, true, true}, // 76
    {{10}, 79, false, false, false, false}, // 77
    {{2, 9, 12, 13, 14, 15, 17, 18, 255}, 82, false, false, false, true}, // 78
    {{10}, 80, true, false, false, true}, // 79
    {{12, 13, 14, 15, 17, 18}, 15, false, true, false, true}, // 80
    {{2, 9, 10, 12, 13, 14, 15, 17, 18, 255}, 77, false, false, false, true}, // 81
    {{2, 9, 12, 13, 14, 15, 17, 18, 255}, 0, false, false, true, true}, // 82
    {{9}, 85, false, false, false, false}, // 83
    {{2}, 88, false, false, false, true}, // 84
    {{9}, 86, true, false, false, true}, // 85
    {{12, 17, 18, 20}, 99, false, true, false, true}, // 86
    {{2, 3, 9, 10, 11}, 92, false, false, false, true}, // 87
    {{2}, 89, true, false, false, true}, // 88
    {{2, 9}, 83, false, true, false, true}, // 89
    {{3}, 91, true, false, false, true}, // 90
    {{2, 3, 9, 10, 11}, 92, false, false, false, true}, // 91
    {{2, 9}, 95, false, false, false, false}, // 92
    {{11}, 96, false, false, false, false}, // 93
    {{3, 10}, 98, false, false, false, true}, // 94
    {{2, 9}, 83, false, false, false, true}, // 95
    {{11}, 97, true, false, false, true}, // 96
    {{2, 9}, 83, false, false, false, true}, // 97
    {{3, 10}, 0, false, false, true, true}, // 98
    {{12}, 103, false, false, false, false}, // 99
    {{20}, 105, false, false, false, false}, // 100
    {{18}, 107, false, false, false, false}, // 101
    {{17}, 112, false, false, false, true}, // 102
    {{12}, 104, true, false, false, true}, // 103
    {{16, 17}, 36, false, false, false, true}, // 104
    {{20}, 106, true, false, false, true}, // 105
    {{16, 17, 18}, 119, false, false, false, true}, // 106
    {{18}, 108, true, false, false, true}, // 107
    {{4, 5}, 115, false, true, false, true}, // 108
    {{1}, 110, true, false, false, true}, // 109
    {{6, 18}, 46, false, true, false, true}, // 110
    {{1, 2, 3, 9, 10, 11, 12, 13, 14, 15, 17, 18, 255}, 40, false, false, false, true}, // 111
    {{17}, 113, true, false, false, true}, // 112
    {{5}, 114, true, false, false, true}, // 113
    {{8, 17}, 50, false, false, false, true}, // 114
    {{4}, 117, false, false, false, false}, // 115
    {{5}, 118, false, false, false, true}, // 116
    {{4}, 0, true, false, true, true}, // 117
    {{5}, 0, true, false, true, true}, // 118
    {{16}, 122, false, false, false, false}, // 119
    {{17}, 123, false, false, false, false}, // 120
    {{18}, 124, false, false, false, true}, // 121
    {{16}, 0, true, false, true, true}, // 122
    {{17}, 0, true, false, true, true}, // 123
    {{18}, 0, true, false, true, true}, // 124
};
// clang-format on

bool LL1IsAcceptMoment(int row)
{
    switch (row) {
    case 31:  // ВСК
    case 33:  // text string after a ТС word
    case 38:  // discrete variable after ВКЛ/ОТКЛ
    case 39:  // timer after ВКЛ/ОТКЛ
    case 52:  // time constant of a timer assignment or comparison
    case 53:  // timer of a timer assignment or comparison
    case 88:  // "("
    case 90:  // ")"
    case 96:  // ИЛИ
    case 122: // discrete variable after Б
    case 123: // timer after Б
    case 124: // analog variable after Б
        return true;
    default:
        return false;
    }
}

bool LL1IsArrivalMoment(int row)
{
    return row == 45     // end of a sum of terms
           || row == 59; // end of an algorithm's parameter list
}

namespace {

class TWalk
{
public:
    TWalk(const TLexemeContainer &lexemes, TLL1Hooks &hooks, int capacity)
        : Lexemes(lexemes), Hooks(hooks), Stack(capacity)
    {
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
            const bool literal = row.Contains(Lookahead.Code);
            int applied = 0;
            bool accepted = false;
            if (literal || row.Contains(LL1AnyCode)) {
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
            if (accepted && Lookahead.Code != LxEnd)
                Statement.Add(Lookahead);
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
