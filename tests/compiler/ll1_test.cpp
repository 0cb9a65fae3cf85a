#include "compiler/lexer.h"
#include "compiler/ll1.h"
#include "prp/macrostable.h"

#include "compilertest.h"

#include <gtest/gtest.h>

namespace {

// Records the statement pieces the walk hands on, as the generator would receive them.
class TRecorder : public TLL1Hooks
{
public:
    QStringList Pieces;
    QStringList Errors;
    QStringList Passed;
    int Steps = 0;

    bool OnStep(int appliedRow, bool accepted, int newRow, TLexemeContainer &statement) override
    {
        ++Steps;
        const bool moment =
            (accepted && LL1IsAcceptMoment(appliedRow)) || LL1IsArrivalMoment(newRow);
        if (!moment)
            return true;
        QStringList texts;
        for (int i = 0; i < statement.Count(); ++i)
            texts.append(statement.At(i).Text.toString());
        Pieces.append(QString::number(LL1IsArrivalMoment(newRow) ? newRow : appliedRow) + u':' +
                      texts.join(u' '));
        statement.Clear();
        return true;
    }
    void OnPassed(const TLexeme &lx, bool leading) override
    {
        Passed.append((leading ? QStringLiteral("lead ") : QString()) + lx.Text.toString());
    }
    void OnSyntaxError(const TLexeme &lx) override
    {
        Errors.append(QStringLiteral("%1:%2:%3").arg(lx.Line).arg(lx.Column).arg(lx.Text));
    }
};

struct TWalkResult
{
    int Result = 0;
    QStringList Pieces;
    QStringList Errors;
    QStringList Passed;
};

TWalkResult Walk(const QStringList &lines, int capacity = LL1CompileStackCapacity)
{
    TLexemeContainer lexemes;
    QStringList messages;
    TIndexMaxima maxima;
    EXPECT_TRUE(ScanSection(lines, 0, TMacrosTable(), lexemes, messages, maxima));
    TRecorder recorder;
    TWalkResult r;
    r.Result = LL1Walk(lexemes, recorder, capacity);
    r.Pieces = recorder.Pieces;
    r.Errors = recorder.Errors;
    r.Passed = recorder.Passed;
    return r;
}

} // namespace

TEST(LL1Table, IsTheGrammarsTable)
{
    // Spot checks of rows that the generator moments and the re-layout rely on.
    EXPECT_TRUE(LL1Table[3].Contains(LL1AnyCode));
    EXPECT_TRUE(LL1Table[3].Accept && LL1Table[3].Return && LL1Table[3].Error);
    EXPECT_TRUE(LL1Table[31].Contains(LxSkip) && LL1Table[31].Accept && LL1Table[31].Return);
    EXPECT_EQ(LL1Table[41].Next, 45);
    EXPECT_EQ(LL1Table[55].Next, 59);
    EXPECT_TRUE(LL1Table[89].Push);
    EXPECT_EQ(LL1Table[89].Next, 83);
    EXPECT_EQ(LL1Table[124].Terminals[0], LxAnalog);
    EXPECT_EQ(LL1Table[124].Terminals[1], 0);
    EXPECT_FALSE(LL1Table[86].Contains(LxDiscrete));
    EXPECT_TRUE(LL1Table[57].Contains(LxReal));
    // Rows that push never accept: a failed push always stops at an unconsumed lookahead.
    int pushes = 0;
    for (int r = 1; r <= LL1RowCount; ++r) {
        if (LL1Table[r].Push) {
            ++pushes;
            EXPECT_FALSE(LL1Table[r].Accept) << r;
        }
        EXPECT_LE(LL1Table[r].Next, LL1RowCount) << r;
    }
    EXPECT_EQ(pushes, 13);
}

TEST(LL1Stack, BoundedBothWays)
{
    TLL1Stack stack(2);
    int row = -5;
    EXPECT_FALSE(stack.Pop(row));
    EXPECT_EQ(row, -5);
    EXPECT_TRUE(stack.Push(0));
    EXPECT_TRUE(stack.Push(7));
    EXPECT_FALSE(stack.Push(9));
    EXPECT_TRUE(stack.Pop(row));
    EXPECT_EQ(row, 7);
    EXPECT_TRUE(stack.Pop(row));
    EXPECT_EQ(row, 0);
    EXPECT_FALSE(stack.Pop(row));
}

TEST(LL1Walk, StatementPieces)
{
    EXPECT_EQ(Walk({"ВКЛ ДВ001 ВКЛ ДВ002"}).Pieces, (QStringList{"38:ВКЛ ДВ001", "38:ВКЛ ДВ002"}));
    EXPECT_EQ(Walk({"ЕСЛИ ВКЛ ВД001 ТОГДА ВКЛ ДВ001 ВКЛ ДВ002"}).Pieces,
              (QStringList{"38:ЕСЛИ ВКЛ ВД001", "38:ТОГДА ВКЛ ДВ001", "38:ВКЛ ДВ002"}));
    EXPECT_EQ(Walk({"ЕСЛИ АВ001 > +ВА002 -10 ИЛИ ЕСЛИ ТМ01 < 00.00.30 ТОГДА ВСК"}).Pieces,
              (QStringList{"45:ЕСЛИ АВ001 > + ВА002 - 10", "96:ИЛИ", "52:ЕСЛИ ТМ01 < 00.00.30",
                           "31:ТОГДА ВСК"}));
    EXPECT_EQ(Walk({"( ЕСЛИ ВКЛ ВД001 ИЛИ ЕСЛИ ВКЛ ВД002 ) ЕСЛИ Б ДВ003 ТОГДА ВКЛ ДВ004"}).Pieces,
              (QStringList{"88:(", "38:ЕСЛИ ВКЛ ВД001", "96:ИЛИ", "38:ЕСЛИ ВКЛ ВД002", "90:)",
                           "122:ЕСЛИ Б ДВ003", "38:ТОГДА ВКЛ ДВ004"}));
    EXPECT_EQ(Walk({"ТМ04 = ТМ02 АВ1 = +5 -АВ2 ТС1.0.1 Т Е Б ТМ1 И ВСК Е Б ВА1 Т ВСК"}).Pieces,
              (QStringList{"53:ТМ04 = ТМ02", "45:АВ1 = + 5 - АВ2",
                           "33:ТС1.0.1 Т Е Б ТМ1 И ВСК Е Б ВА1 Т ВСК"}));
    EXPECT_EQ(Walk({"Е Б ТМ1 И ВСК Е Б ВА1 Т ВСК"}).Pieces,
              (QStringList{"123:ЕСЛИ Б ТМ1", "31:ИНАЧЕ ВСК", "124:ЕСЛИ Б ВА1", "31:ТОГДА ВСК"}));
}

TEST(LL1Walk, ParameterLinesFallIntoTheCall)
{
    const TWalkResult r = Walk({"03 АЛГ012", "   1  ВХОД=+ВА001", "   2  ВЫХ = ДВ005", "04 ВСК"});
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(r.Pieces, (QStringList{"59:АЛГ012 1 ВХОД = + ВА001 2 ВЫХ  = ДВ005", "31:ВСК"}));
    EXPECT_EQ(r.Passed, (QStringList{"lead 03", "1", "ВХОД", "2", "ВЫХ ", "04"}));
    // A value without its "=" ends the list: the call has no values.
    EXPECT_EQ(Walk({"АЛГ012 = 1 ДВ001"}).Errors, (QStringList{"0:12:ДВ001"}));
    EXPECT_EQ(Walk({"АЛГ012 = 1 ДВ001"}).Pieces, (QStringList{"59:АЛГ012 = 1"}));
}

TEST(LL1Walk, ThingsThatBeginNothingAreSyntaxErrors)
{
    // Text after a lexeme that can begin nothing is not dropped: the walk stops there.
    TWalkResult r = Walk({"ТОГДА ВКЛ ДВ001"});
    EXPECT_EQ(r.Result, -1);
    EXPECT_EQ(r.Errors, (QStringList{"0:1:ТОГДА"}));
    EXPECT_TRUE(r.Pieces.isEmpty());
    r = Walk({"ВКЛ ДВ001", "  ) ВКЛ ДВ002"});
    EXPECT_EQ(r.Errors, (QStringList{"1:3:)"}));
    EXPECT_EQ(r.Pieces, (QStringList{"38:ВКЛ ДВ001"}));
    EXPECT_EQ(Walk({"ВСК 5"}).Errors, (QStringList{"0:5:5"}));
    EXPECT_EQ(Walk({"ВСК =", "ВСК"}).Errors, (QStringList{"0:5:="}));
    // A parameter number at the very start is a lookahead too.
    EXPECT_EQ(Walk({"  1 ВСК"}).Errors, (QStringList{"0:3:1"}));
    // Comments and fragment numbers alone make an empty, well-formed section.
    r = Walk({"! пусто", "00", "; тоже"});
    EXPECT_EQ(r.Result, 0);
    EXPECT_TRUE(r.Errors.isEmpty());
    EXPECT_EQ(Walk({}).Result, 0);
}

TEST(LL1Walk, SyntaxErrorsAtTheLookahead)
{
    EXPECT_EQ(Walk({"ЕСЛИ АВ001 > 5 ТОГДА ВСК"}).Errors, (QStringList{"0:14:5"}));
    EXPECT_EQ(Walk({"ЕСЛИ ТМ01 = 00.00.10 ТОГДА ВСК"}).Errors, (QStringList{"0:11:="}));
    EXPECT_EQ(Walk({"ЕСЛИ ВКЛ ВД1"}).Errors, (QStringList{"0:10:"})); // end: at the last lexeme
    EXPECT_EQ(Walk({"ВКЛ ВА1"}).Errors, (QStringList{"0:5:ВА1"}));
    EXPECT_EQ(Walk({"ЕСЛИ Б 5"}).Errors, (QStringList{"0:8:5"}));
    EXPECT_EQ(Walk({"ТС1.0.1"}).Errors, (QStringList{"0:1:"})); // no text at all
    EXPECT_EQ(Walk({"( ЕСЛИ ВКЛ ВД1 ТОГДА ВСК"}).Errors, (QStringList{"0:16:ТОГДА"}));
    EXPECT_EQ(Walk({"АВ1 = 5"}).Errors, (QStringList{"0:7:5"}));
    EXPECT_EQ(Walk({"ЕСЛИ ВКЛ ДВ1 ТОГДА ! x", "ТОГДА ВСК"}).Errors, (QStringList{"1:1:ТОГДА"}));
}

TEST(LL1Walk, NestingDeeperThanTheStackIsASyntaxError)
{
    // Stack: 0, row 3, row 10, then one entry per "(": the fourth entry does not fit.
    TWalkResult r = Walk({"( ( ( ЕСЛИ ВКЛ ВД1 ) ) ) ТОГДА ВСК"}, 5);
    EXPECT_EQ(r.Result, -1);
    EXPECT_EQ(r.Errors, (QStringList{"0:7:ЕСЛИ"}));
    r = Walk({"( ( ( ЕСЛИ ВКЛ ВД1 ) ) ) ТОГДА ВСК"}, 7);
    EXPECT_EQ(r.Result, 0);
    EXPECT_TRUE(r.Errors.isEmpty());
    r = Walk({"( ( ( ЕСЛИ ВКЛ ВД1 ) ) ) ТОГДА ВСК"}, 6);
    EXPECT_EQ(r.Errors, (QStringList{"0:12:ВКЛ"})); // the primary's own push
}

// The compiler's form of the syntax error.
TEST_F(CompilerTest, SyntaxErrorMessage)
{
    TSectionResult r = Compile(QStringList{"ВСК", "ЕСЛИ АВ001 > 5 ТОГДА ВСК"}, 255);
    EXPECT_EQ(r.Result, -1);
    EXPECT_EQ(r.Messages,
              (QStringList{"[737.1:14] Синтаксическая ошибка в строке 1 в позиции 14"}));
    EXPECT_EQ(Section.CodeLength, 0);
    EXPECT_EQ(Failure("ТОГДА ВКЛ ДВ001"), "[000.0:1] Синтаксическая ошибка в строке 0 в позиции 1");
}
