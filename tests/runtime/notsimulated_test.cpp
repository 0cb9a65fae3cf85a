// What the engine does not simulate and says so: blocks that no text compiles to (read from a
// controller or an image), algorithm calls and the variables they write.

#include "runtimetest.h"

#include <cstring>

namespace {

struct TForeignCase
{
    const char *Name;
    TByteList Instructions;
    const char *Line;  // the report's line for it ("" none beyond the general ones)
    const char *Var;   // a variable the scan leaves ...
    int Value;         // ... at this value
    const char *Extra; // an assumption the report must list ("" none)
};

const TForeignCase kCases[] = {
    {"orphan",
     {0x2C, 0x01},
     "секция 000, смещение 5: оператор после ТОГДА или ИНАЧЕ без условия "
     "перед ним не выполняется",
     "ДВ001",
     0,
     ""},
    {"group ended",
     {0x70, 0x01, 0x0C, 0x02, 0x2C, 0x03},
     "секция 000, смещение 9: оператор после "
     "ТОГДА или ИНАЧЕ без условия перед ним не выполняется",
     "ДВ003",
     0,
     ""},
    {"unclosed",
     {0x86, 0x70, 0x01, 0x2C, 0x02},
     "секция 000, смещение 5: условие не вычисляется; "
     "его операторы ТОГДА и ИНАЧЕ не выполняются",
     "ДВ002",
     0,
     ""},
    {"or first",
     {0x84, 0x70, 0x01, 0x2C, 0x02},
     "секция 000, смещение 5: условие, которое язык не "
     "записывает (скобки, ИЛИ и условия не по правилам)",
     "ДВ002",
     0,
     ""},
    {"КБ beyond 7",
     {0x10, 0x09, 0x0C, 0x01},
     "секция 000, смещение 5: КБ11 — нет такой "
     "переменной в модели; инструкция не выполняется",
     "ДВ001",
     1,
     ""},
    {"timer beyond 63",
     {0x78, 70, 0x2C, 0x01},
     "секция 000, смещение 5: ТМ106 — нет такой "
     "переменной в модели; инструкция не выполняется",
     "ДВ001",
     0,
     ""},
    {"Б of an impulse output",
     {0x7E, 10, 0x01, 0x2C, 0x01},
     "секция 000, смещение 5: ИВ001 — "
     "нет такой переменной в модели; инструкция не выполняется",
     "ДВ001",
     0,
     ""},
    {"analog relation",
     {0x80, 0x02, 0x61, 0x02, 0x00, 0x2C, 0x01},
     "секция 000, смещение 5: "
     "сравнение с кодом отношения, которого язык не записывает",
     "ДВ001",
     0,
     ""},
    {"timer relation",
     {0x82, 0x01, 0x10, 0, 0, 0, 0x2C, 0x01},
     "секция 000, смещение 5: "
     "сравнение с кодом отношения, которого язык не записывает",
     "ДВ001",
     0,
     ""},
    {"timer equal",
     {0x82, 0x01, 0x00, 0, 0, 0, 0x2C, 0x01},
     "",
     "ДВ001",
     1,
     "Сравнение таймера со знаком «=» (компилятор его не пишет) выполняется как равенство "
     "времён"},
    {"odd constant",
     {0x16, 0x02, 0x01, 0x0B, 0x00},
     "",
     "АВ001",
     5,
     "Нечётное слово константы (компилятор его не пишет) берётся как половина с "
     "отбрасыванием остатка, как его показывает декомпилятор"},
    {"truncated",
     {0x0C, 0x01, 0x16, 0x02, 0x05, 0x0C},
     "секция 000: код обрывается внутри "
     "инструкции на смещении 7; дальше секция не выполняется",
     "ДВ001",
     1,
     ""},
    {"unknown code",
     {0x0C, 0x01, 0x91, 0x0C, 0x02},
     "секция 000: неизвестный код 91 на смещении "
     "7; дальше секция не выполняется",
     "ДВ002",
     0,
     ""},
    {"undescribed algorithm",
     {0x20, 0x7E, 0x00},
     "секция 000, смещение 5: алгоритма нет в базе "
     "алгоритмов, его параметры неизвестны",
     "ДВ001",
     0,
     ""},
};

} // namespace

class NotSimulatedTest : public RuntimeTest
{
protected:
    // A program whose section 000 holds the instructions, framed as the compiler frames them.
    void LoadBlock(const TByteList &instructions)
    {
        Load(QStringList{S("ВСК")});
        TZentorSection &sec = Program->Sections[0];
        sec.Text.clear();
        std::memset(sec.Code, 0, sizeof sec.Code);
        const int l = 5 + static_cast<int>(instructions.size());
        sec.Code[0] = sec.Code[1] = static_cast<std::uint8_t>(l);
        for (std::size_t i = 0; i < instructions.size(); ++i)
            sec.Code[5 + i] = static_cast<std::uint8_t>(instructions[i]);
        sec.CodeLength = l + 1;
        Prepared();
    }
};

TEST_F(NotSimulatedTest, BlocksNoTextGives)
{
    for (const TForeignCase &c : kCases) {
        LoadBlock(c.Instructions);
        Set("ВД001", 1);
        Scan();
        const QStringList notSimulated = Run->NotSimulated();
        if (*c.Line) {
            EXPECT_TRUE(notSimulated.contains(S(c.Line))) << c.Name << ":\n"
                                                          << notSimulated.join(u'\n').toStdString();
        }
        if (*c.Extra) {
            EXPECT_TRUE(Run->Assumptions().contains(S(c.Extra))) << c.Name;
        }
        EXPECT_EQ(Get(c.Var), c.Value) << c.Name;
    }
}

// Calls change nothing; the variables their output parameters name (kinds 4, 6, 7) are listed
// once per algorithm; the calls count as run.
TEST_F(NotSimulatedTest, AlgorithmCallsAndTheirOutputs)
{
    Load(QStringList{S("АЛГ022 = +ВА001 = ДВ002 = ДВ005 = 3"), S("АЛГ006 = АВ003"),
                     S("АЛГ007 = ТМ04"), S("АЛГ022 = -5 = ВД001 = ДВ005 = 0"), S("ВСК")});
    Set("ДВ005", 1);
    Scan();
    EXPECT_EQ(Get("ДВ005"), 1);
    EXPECT_EQ(Run->WrittenByLines(),
              QStringList({S("ДВ005: записывается АЛГ022 (не моделируется)"),
                           S("АВ003: записывается АЛГ006 (не моделируется)"),
                           S("ТМ04: записывается АЛГ007 (не моделируется)")}));
    EXPECT_EQ(Run->NotSimulated(),
              QStringList({S("Таймеры не отсчитывают время сами: время таймера меняют только "
                             "операторы программы, пользователь и сценарий"),
                           S("Вызовы алгоритмов ничего не меняют (АЛГ006, АЛГ007, АЛГ022; "
                             "вызовов: 4); переменные их выходов задаёт пользователь"),
                           S("ВСК не действует")}));
    EXPECT_EQ(Engine->ExecutedCount(), 5);
}

// A ТС text is logged with its fields' values when it runs and again only when they change.
TEST_F(NotSimulatedTest, TextsAreLoggedWithTheirFields)
{
    Load(QStringList{S("ТС1.0.0 'Д #АВ002./002# Т #ТМ05# И #ИВ01#'")});
    Set("АВ002", 7);
    Scan(2);
    Set("АВ002", -3);
    Scan();
    EXPECT_EQ(
        Engine->LogLines(),
        QStringList({S("цикл 1, секция 000, строка 0: ТС1.0.0 Д #АВ002./002# Т #ТМ05# И "
                       "#ИВ01#: АВ002 = 7, ТМ05 = 00.00.00 (откл), ИВ01 = не моделируется"),
                     S("цикл 3, секция 000, строка 0: ТС1.0.0 Д #АВ002./002# Т #ТМ05# И "
                       "#ИВ01#: АВ002 = -3, ТМ05 = 00.00.00 (откл), ИВ01 = не моделируется")}));
}
