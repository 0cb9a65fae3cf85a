// The program's PRP against a controller's: the controller's side is another program sent,
// its image taken apart as a read takes it, so every row is what a real read would give.

#include "model/comparetexts.h"
#include "model/prpcomparison.h"
#include "model/zentorprogram.h"

#include "../utf8text.h"
#include "testblocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

// A program with a name, two sections in group 0 and one in group 1, a key and an output.
void Fill(TZentorProgram &p)
{
    p.Sections[0].Present = 0;
    PutTestBlock(p, 0, 4);
    p.Sections[0].Name = S("Пуск");
    PutTestBlock(p, 1, 6);
    PutTestBlock(p, 33, 3);
    p.Header.TechKeys[17] = {1, 10, S("НАСОС   ")};
    EXPECT_EQ(p.Header.SetImpulseSource(5, S("-АВ012")), 0);
    p.Header.SetImpulseTickCode(5, 1);
}

// What a controller sent the program holds, as a read gives it back.
std::unique_ptr<TZentorProgram> Read(const TZentorProgram &p)
{
    const auto sent = ProgramAsSent(p);
    auto read = std::make_unique<TZentorProgram>();
    std::copy(sent->Image, sent->Image + sent->ImageLength, read->Image);
    read->ImageLength = sent->ImageLength;
    EXPECT_TRUE(read->SplitImage());
    return read;
}

struct TRowSeen
{
    QString Title;
    TCompareState State;
    QString Detail;
    bool operator==(const TRowSeen &) const = default;
};

void PrintTo(const TRowSeen &r, std::ostream *os)
{
    *os << r.Title.toStdString() << " / " << CompareStateText(r.State).toStdString() << " / "
        << r.Detail.toStdString();
}

std::vector<TRowSeen> NotSame(const TPrpComparison &r)
{
    std::vector<TRowSeen> rows;
    for (const TCompareRow &row : r.Rows)
        if (row.State != TCompareState::Same)
            rows.push_back({row.Title, row.State, row.Detail});
    return rows;
}

struct TCase
{
    const char *What;
    // Changes the controller's program, then the program's own.
    std::function<void(TZentorProgram &)> Controller;
    std::function<void(TZentorProgram &)> Program;
    std::vector<TRowSeen> Expected;
};

} // namespace

TEST(PrpComparison, NamesExactlyThePartsThatDiffer)
{
    const auto none = [](TZentorProgram &) {};
    const std::vector<TCase> cases = {
        {"the same program", none, none, {}},
        {"an order",
         [](TZentorProgram &c) { c.Header.OrderDV = 15; },
         none,
         {{S("Заказ переменных"), TCompareState::Differs, S("ДВ")}}},
        {"an ADC module and a timer-generator",
         [](TZentorProgram &c) {
             c.Header.AdcOrder[1] = 15;
             c.Header.TimeGen[3][0] = 30;
         },
         none,
         {{S("Входы АЦП"), TCompareState::Differs, S("модуль 1")},
          {S("Таймер-генераторы"), TCompareState::Differs, S("ТМГ 3")}}},
        {"an output's source, and the tick of an output nobody uses",
         [](TZentorProgram &c) {
             EXPECT_EQ(c.Header.SetImpulseSource(5, S("+ВА003")), 0);
             c.Header.SetImpulseTickCode(9, 3);
         },
         none,
         {{S("Импульсные выходы"), TCompareState::Differs, S("ИВ05")}}},
        {"a key's name, and a key of the controller alone",
         [](TZentorProgram &c) {
             c.Header.TechKeys[17].Name = S("НАСОС2  ");
             c.Header.TechKeys[0] = {6, 3, S("ПУСК    ")};
         },
         none,
         {{S("Технологические клавиши"), TCompareState::Differs,
           S("клавиатура 1, клавиша 1, клавиатура 2, клавиша 2")}}},
        {"a name the controller keeps in its own letters is the same name",
         [](TZentorProgram &c) { c.Header.TechKeys[17].Name = S("НАСОС   "); },
         [](TZentorProgram &p) { p.Header.TechKeys[17].Name = S("НАСОС"); },
         {}},
        {"sections on one side, a changed byte and a changed length",
         [](TZentorProgram &c) {
             PutTestBlock(c, 2, 2);
             ++c.Sections[1].Code[7]; // two bytes changed, the block's sum still holding
             --c.Sections[1].Code[8];
             PutTestBlock(c, 33, 5);
         },
         [](TZentorProgram &p) { PutTestBlock(p, 40, 1); },
         {{S("Секция 001"), TCompareState::Differs, S("различаются байты: 2")},
          {S("Секция 002"), TCompareState::OnlyController, S("8 байт")},
          {S("Секция 101"), TCompareState::Differs,
           S("длина в программе 9 байт, в контроллере 11 байт")},
          {S("Секция 110"), TCompareState::OnlyProgram, S("7 байт")}}},
    };
    for (const TCase &c : cases) {
        TZentorProgram program, other;
        Fill(program);
        Fill(other);
        c.Controller(other);
        c.Program(program);
        const auto controller = Read(other);
        const auto sent = ProgramAsSent(program);
        const TPrpComparison r = ComparePrp(*sent, *controller);
        EXPECT_EQ(NotSame(r), c.Expected) << c.What;
        EXPECT_EQ(r.Differences(), static_cast<int>(c.Expected.size())) << c.What;
        // The header parts are always listed, in their order, then the sections.
        ASSERT_GE(r.Rows.size(), 5) << c.What;
        EXPECT_EQ(r.Rows[0].Title, S("Заказ переменных"));
        EXPECT_EQ(r.Rows[4].Title, S("Технологические клавиши"));
        EXPECT_EQ(r.Rows[5].Title, S("Секция 000 «Пуск»"));
    }
}

TEST(PrpComparison, ShowsTheEntriesSideBySideAndKeepsEveryHeaderByte)
{
    TZentorProgram program, other;
    Fill(program);
    Fill(other);
    other.Header.OrderDV = 15;
    other.Header.TechKeys[17] = {};
    const auto controller = Read(other);
    const TPrpComparison r = ComparePrp(*ProgramAsSent(program), *controller);

    const TSideBySide &orders = r.Rows[0].View;
    EXPECT_EQ(orders.ProgramLines.value(2), S("ДВ 000 - 017"));
    EXPECT_EQ(orders.ControllerLines.value(2), S("ДВ 000 - 177"));
    EXPECT_EQ(orders.ProgramMarked, QList<int>{2});
    EXPECT_EQ(orders.ControllerMarked, QList<int>{2});
    // Only keys set on either side stand in the view.
    const TSideBySide &keys = r.Rows[4].View;
    EXPECT_EQ(keys.ProgramLines, QStringList{S("клавиатура 2, клавиша 2: ДВ012 «НАСОС   »")});
    EXPECT_EQ(keys.ControllerLines, QStringList{S("клавиатура 2, клавиша 2: нет")});

    // Byte by byte the header differs in the order, the length word and the checksums.
    EXPECT_EQ(r.Header.ProgramLength, 173);
    EXPECT_EQ(r.Header.ControllerLength, 162);
    std::vector<int> offsets;
    for (const TByteDifference &d : r.Header.Bytes)
        offsets.push_back(d.Offset);
    EXPECT_NE(std::find(offsets.begin(), offsets.end(), 2), offsets.end());
    EXPECT_NE(std::find(offsets.begin(), offsets.end(), 141), offsets.end());
    // The program itself is not touched by what is sent.
    EXPECT_EQ(program.ImageLength, 0);
}
