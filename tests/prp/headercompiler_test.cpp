#include "prp/macrostable.h"
#include "prp/prpheader.h"

#include "core/textfile.h"

#include "qtprint.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

struct TRun
{
    int Result = -1;
    QStringList Errors;
};

TRun Compile(TPRPHeader &h, const QStringList &text, TMacrosTable *macros = nullptr)
{
    TMacrosTable own;
    TRun r;
    h.Text = text;
    r.Result = h.Compile(r.Errors, macros ? *macros : own);
    return r;
}

// "[Заголовок." L ":" P "]. " text
QString At(int l, int p, const QString &text)
{
    return QStringLiteral("[Заголовок.%1:%2]. ").arg(l).arg(p) + text;
}

// "[Заголовок." L "]. " text
QString AtLine(int l, const QString &text)
{
    return QStringLiteral("[Заголовок.%1]. ").arg(l) + text;
}

const QString kAdc = QStringLiteral("Ошибка при заказе входов АЦП. ");

bool SameFields(const TPRPHeader &a, const TPRPHeader &b)
{
    if (a.OrderDV != b.OrderDV || a.OrderKB != b.OrderKB || a.OrderTM != b.OrderTM ||
        a.OrderVD != b.OrderVD || a.OrderVA != b.OrderVA || a.OrderAV != b.OrderAV)
        return false;
    if (std::memcmp(a.ImpSource, b.ImpSource, sizeof a.ImpSource) != 0 ||
        std::memcmp(a.ImpTicks, b.ImpTicks, sizeof a.ImpTicks) != 0 ||
        std::memcmp(a.AdcOrder, b.AdcOrder, sizeof a.AdcOrder) != 0 ||
        std::memcmp(a.TimeGen, b.TimeGen, sizeof a.TimeGen) != 0)
        return false;
    for (int q = 0; q < TPRPHeader::KeyCount; ++q)
        if (a.TechKeys[q].Class != b.TechKeys[q].Class ||
            a.TechKeys[q].Index != b.TechKeys[q].Index || a.TechKeys[q].Name != b.TechKeys[q].Name)
            return false;
    return true;
}

} // namespace

TEST(HeaderCompilerScan, EmptyTextAndLinesBeforeTheFirstHeading)
{
    TPRPHeader h;
    const TPRPHeader fresh;
    TRun r = Compile(h, {});
    EXPECT_EQ(r.Result, 0);
    EXPECT_TRUE(r.Errors.isEmpty());
    EXPECT_EQ(h.Valid, 1);
    EXPECT_TRUE(SameFields(h, fresh));

    TPRPHeader g;
    r = Compile(g, {"ВД 000 - 777", "мусор", "", "/ ЗАКАЗ ПЕРЕМЕННЫХ", "ДВ 000 - 037"});
    EXPECT_EQ(r.Result, 0);
    EXPECT_TRUE(r.Errors.isEmpty()) << r.Errors.join('\n').toStdString();
    EXPECT_EQ(g.OrderVD, 1);
    EXPECT_EQ(g.OrderDV, 3);
}

TEST(HeaderCompilerScan, HeadingsAreRecognisedInAnyCaseOnlyAtColumnOne)
{
    TPRPHeader h;
    TRun r = Compile(h, {"/ заказ переменных", "вд 000 - 777", "/ЗАКАЗ ИВ", "ив01 +ва002 0,4"});
    EXPECT_EQ(r.Result, 0);
    EXPECT_TRUE(r.Errors.isEmpty()) << r.Errors.join('\n').toStdString();
    EXPECT_EQ(h.OrderVD, 63);
    EXPECT_EQ(h.ImpSource[1][0], 4);
    EXPECT_EQ(h.ImpSource[1][1], 0x40);
    EXPECT_EQ(h.ImpulseTickCode(1), 2);

    // A "/" after a space is no heading: it is an entry of the current part.
    TPRPHeader g;
    r = Compile(g, {"/ ЗАКАЗ ПЕРЕМЕННЫХ", " / ЗАКАЗ ИВ"});
    EXPECT_EQ(r.Result, 1);
    EXPECT_EQ(r.Errors, QStringList{At(1, 10, "Должно быть восьмеричное число 0")});
    EXPECT_EQ(g.Valid, 0);
}

TEST(HeaderCompilerScan, UnknownHeadingIsFatal)
{
    for (const char *heading :
         {"/ НЕЧТО", "/ ЗАКАЗ ПЕРЕМЕННЫХ ! комментарий", "/ ЗАКАЗ ВХОДОВ", "/ ЗАКАЗ ИВ 1",
          "/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ;", "/", "/ ЗАКАЗ ТМГ ;"}) {
        TPRPHeader h;
        const QString text = QString::fromUtf8(heading);
        TRun r = Compile(h, {"/ ЗАКАЗ ПЕРЕМЕННЫХ", "ДВ 000 - 077", "", text, "ВД 000 - 777"});
        if (text == "/") { // a bare "/" only processes the collected lines again
            EXPECT_EQ(r.Result, 0);
            EXPECT_EQ(h.OrderVD, 63);
            continue;
        }
        EXPECT_EQ(r.Result, 1) << heading;
        EXPECT_EQ(r.Errors, QStringList{AtLine(3, "Неправильное имя раздела")}) << heading;
        EXPECT_EQ(h.OrderDV, 7) << "lines before the bad heading are already processed";
        EXPECT_EQ(h.OrderVD, 1);
        EXPECT_EQ(h.Valid, 0);
    }
    // Words after the third are ignored, so a comment after the keyboard number is fine.
    TPRPHeader h;
    TRun r = Compile(h, {"/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА 1 ! пульт", "1 ДВ001 ПУСК"});
    EXPECT_EQ(r.Result, 0);
    EXPECT_TRUE(r.Errors.isEmpty());
    EXPECT_EQ(h.TechKeys[0].Class, 1);
}

TEST(HeaderCompilerScan, BareSlashProcessesThePartAgain)
{
    TPRPHeader h;
    TRun r = Compile(h, {"/ ЗАКАЗ ПЕРЕМЕННЫХ", "XX 000 - 017", "/", "ДВ 000 - 777"});
    EXPECT_EQ(r.Result, 0);
    const QString msg = At(1, 13, "Неправильная переменная для заказа 'XX'.");
    EXPECT_EQ(r.Errors, (QStringList{msg, msg}));
    EXPECT_EQ(h.OrderDV, 63);
}

TEST(HeaderCompilerScan, MessagesNameTheTrueLineOfTheirEntry)
{
    // Empty lines inside a part are lines of the text all the same, in every part.
    struct TCase
    {
        QStringList Text;
        QStringList Errors;
    };
    const TCase cases[] = {
        {{"/ ЗАКАЗ ПЕРЕМЕННЫХ", "ДВ 000 - 777", "", "КБ 0 - 10"},
         {At(3, 10, "Заказ КБ должен быть от 0 до 7.")}},
        {{"", "/ ЗАКАЗ ТМГ", "", "X 1 1"},
         {At(3, 3, "Должен быть указат номер таймер-генератора.")}},
        {{"/ ЗАКАЗ ВХОДОВ АЦП", "", "0 000 - 017", "", "", "1 021 - 037"},
         {At(5, 7, kAdc + "Неправлильный начальный индекс.")}},
        {{"/ ЗАКАЗ ИВ", "", "ИВ40 +1 0,1"}, {At(2, 6, "Недопустимый номер импульсного входа.")}},
        {{"/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА 1", "", "1 ДВ001 А", "", "X"},
         {AtLine(4, "Должен быть указан номер технологической клавиатуры")}},
        // A bare "/" processes the lines again; each keeps its line.
        {{"/ ЗАКАЗ ПЕРЕМЕННЫХ", "", "XX 000 - 017", "/", "", "ДВ 000 - 1000"},
         {At(2, 13, "Неправильная переменная для заказа 'XX'."),
          At(2, 13, "Неправильная переменная для заказа 'XX'."),
          At(5, 14, "Заказ ДВ должен быть от 7 до 777.")}},
    };
    for (const TCase &c : cases) {
        TPRPHeader h;
        EXPECT_EQ(Compile(h, c.Text).Errors, c.Errors) << c.Text.join('|').toStdString();
    }
}

TEST(HeaderCompilerScan, CommentOnlyAndBlankLinesPerPart)
{
    {
        TPRPHeader h;
        TRun r = Compile(h, {"/ ЗАКАЗ ПЕРЕМЕННЫХ", "! только комментарий"});
        EXPECT_EQ(r.Result, 1);
        EXPECT_EQ(r.Errors, QStringList{At(1, 1, "Должно быть восьмеричное число 0")});
    }
    {
        TPRPHeader h;
        TRun r = Compile(h, {"/ ЗАКАЗ ПЕРЕМЕННЫХ", "   "});
        EXPECT_EQ(r.Result, 1);
        EXPECT_EQ(r.Errors, QStringList{At(1, 4, "Должно быть восьмеричное число 0")});
    }
    {
        TPRPHeader h;
        TRun r = Compile(h, {"/ ЗАКАЗ ТМГ", "; комментарий"});
        EXPECT_EQ(r.Result, 1);
        EXPECT_EQ(r.Errors, QStringList{At(1, 1, "Должен быть указат номер таймер-генератора.")});
    }
    {
        TPRPHeader h;
        TRun r = Compile(h, {"/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА 1", "! комментарий", "2 ДВ003 СТОП"});
        EXPECT_EQ(r.Result, 0);
        EXPECT_EQ(r.Errors,
                  QStringList{AtLine(1, "Должен быть указан номер технологической клавиатуры")});
        EXPECT_EQ(h.TechKeys[1].Class, 1);
    }
    {
        TPRPHeader h;
        TMacrosTable m;
        TRun r =
            Compile(h,
                    {"/ ЗАКАЗ ВХОДОВ АЦП", "! модуль 0", "0 000 - 007", "/ ЗАКАЗ ИВ", "! выход 1",
                     "ИВ01 +1 0,1", "/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ", "! имена", "НАСОС ДВ012"},
                    &m);
        EXPECT_EQ(r.Result, 0);
        EXPECT_TRUE(r.Errors.isEmpty()) << r.Errors.join('\n').toStdString();
        EXPECT_EQ(h.AdcOrder[0], 7);
        EXPECT_EQ(h.ImpSource[1][0], 2);
        EXPECT_EQ(m.Count(), 1);
    }
}

TEST(HeaderCompilerVariables, OrdersAndTheirLimits)
{
    struct TCase
    {
        const char *Line;
        std::uint8_t TPRPHeader::*Field;
        int Stored;
    };
    const TCase good[] = {
        {"ДВ 000 - 777", &TPRPHeader::OrderDV, 63},     {"ТМ 000 - 77", &TPRPHeader::OrderTM, 7},
        {"КБ   0 - 7", &TPRPHeader::OrderKB, 7},        {"КБ 0 - 0", &TPRPHeader::OrderKB, 0},
        {"ВД 000-177", &TPRPHeader::OrderVD, 15},       {"ВА 00 - 177", &TPRPHeader::OrderVA, 15},
        {"АВ 0 - 7", &TPRPHeader::OrderAV, 0},          {"ДВ 000 - 100", &TPRPHeader::OrderDV, 8},
        {"ТМ 0-17 ! таймеры", &TPRPHeader::OrderTM, 1},
    };
    for (const TCase &c : good) {
        TPRPHeader h;
        h.OrderDV = h.OrderTM = h.OrderKB = h.OrderVD = h.OrderVA = h.OrderAV = 99;
        TRun r = Compile(h, {"/ ЗАКАЗ ПЕРЕМЕННЫХ", QString::fromUtf8(c.Line)});
        EXPECT_EQ(r.Result, 0) << c.Line;
        EXPECT_TRUE(r.Errors.isEmpty()) << c.Line;
        EXPECT_EQ(h.*c.Field, c.Stored) << c.Line;
    }

    struct TBad
    {
        const char *Line;
        int P;
        const char *Message;
    };
    const TBad bad[] = {
        {"ДВ 000 - 1000", 14, "Заказ ДВ должен быть от 7 до 777."},
        {"ДВ 000 - 6", 11, "Заказ ДВ должен быть от 7 до 777."},
        {"ВД 000 - 1777", 14, "Заказ ВД должен быть от 7 до 777."},
        {"КБ 0 - 10", 10, "Заказ КБ должен быть от 0 до 7."},
        {"ТМ 00 - 100", 12, "Заказ ТМ должен быть от 7 до 77."},
        {"ВА 000 - 277", 13, "Заказ ВА должен быть от 7 до 177."},
        {"АВ 000 - 200", 13, "Заказ АВ должен быть от 7 до 177."},
        {"АВ 000 - 5", 11, "Заказ АВ должен быть от 7 до 177."},
        {"ДВ 001 - 777", 8, "Должно быть восьмеричное число 0"},
        {"ДВ X - 777", 6, "Должно быть восьмеричное число 0"},
        {"ДВ -777", 8, "Должно быть восьмеричное число 0"},
        {"ДВ 000-", 8, "Должно быть восьмеричное число"},
        {"ДВ 000- 777", 9, "Должно быть восьмеричное число"},
        {"ДВ 000 - 78", 12, "Должно быть восьмеричное число"},
        // Far beyond the range, however the digits would wrap in 32 bits.
        {"ДВ 000 - 400000000017", 22, "Заказ ДВ должен быть от 7 до 777."},
    };
    for (const TBad &c : bad) {
        TPRPHeader h;
        TRun r = Compile(h, {"/ ЗАКАЗ ПЕРЕМЕННЫХ", QString::fromUtf8(c.Line), "ВД 000 - 777"});
        EXPECT_EQ(r.Result, 1) << c.Line;
        EXPECT_EQ(r.Errors, QStringList{At(1, c.P, QString::fromUtf8(c.Message))}) << c.Line;
        EXPECT_EQ(h.OrderVD, 1) << "a fatal error stops the compile: " << c.Line;
        EXPECT_EQ(h.OrderDV, 1) << c.Line;
        EXPECT_EQ(h.Valid, 0);
    }
}

TEST(HeaderCompilerVariables, MissingDashAndUnknownClassGoOn)
{
    TPRPHeader h;
    TRun r = Compile(h, {"/ ЗАКАЗ ПЕРЕМЕННЫХ", "ВД 000 = 177", "XX 000 - 017", "ДВ 000 - 077"});
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(r.Errors, (QStringList{At(1, 10, "Ожидалось '-'"),
                                     At(2, 13, "Неправильная переменная для заказа 'XX'.")}));
    EXPECT_EQ(h.OrderVD, 15);
    EXPECT_EQ(h.OrderDV, 7);
    EXPECT_EQ(h.Valid, 1);

    // Without any separator the upper bound is word 4, which is empty.
    TPRPHeader g;
    r = Compile(g, {"/ ЗАКАЗ ПЕРЕМЕННЫХ", "ВД 000 177"});
    EXPECT_EQ(r.Result, 1);
    EXPECT_EQ(r.Errors, (QStringList{At(1, 11, "Ожидалось '-'"),
                                     At(1, 11, "Должно быть восьмеричное число")}));
    EXPECT_EQ(g.OrderVD, 1);
}

TEST(HeaderCompilerAdc, GoodLinesAndEveryCheck)
{
    TPRPHeader h;
    h.AdcOrder[5] = 9;
    TRun r = Compile(h, {"/ ЗАКАЗ ВХОДОВ АЦП", "2 040 - 057", "0 0 - 3", "X 100 - 117",
                         "8 200 - 217", "1 020 - 020"});
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(r.Errors, (QStringList{At(3, 3, kAdc + "Строка должна начинаться с номера."),
                                     At(4, 12, kAdc + "Неправильный номер модуля.")}));
    EXPECT_EQ(h.AdcOrder[2], 15);
    EXPECT_EQ(h.AdcOrder[0], 3);
    EXPECT_EQ(h.AdcOrder[1], 0);
    EXPECT_EQ(h.AdcOrder[5], 9) << "a module without a line keeps its byte";

    struct TBad
    {
        const char *Line;
        QString Message;
    };
    const TBad bad[] = {
        {"2 041 - 057", At(1, 7, kAdc + "Неправлильный начальный индекс.")},
        {"1 02X - 037", At(1, 7, kAdc + "Неправильный минимальный номер.")},
        {"1", At(1, 2, kAdc + "Неправильный минимальный номер.")},
        {"1 020 = 037", At(1, 9, kAdc + "Ожидалось '-'.")},
        {"1 020-037", At(1, 10, kAdc + "Неправильный минимальный номер.")},
        {"1 020 -037", At(1, 11, kAdc + "Ожидалось '-'.")},
        {"1 020 - 03X", At(1, 12, kAdc + "Должно быть восьмеричное число.")},
        {"1 020 -", At(1, 8, kAdc + "Должно быть восьмеричное число.")},
        {"1 020 - 040", AtLine(1, "Ошибка при заказе входов АЦП")},
        {"1 020 - 017", AtLine(1, "Ошибка при заказе входов АЦП")},
        // The last index is the whole rest of the line after "-".
        {"1 020 - 037 X", AtLine(1, "Ошибка при заказе входов АЦП")},
        // The module number is judged only once the rest of its line is right.
        {"9 220 - 240", AtLine(1, "Ошибка при заказе входов АЦП")},
        {"99999999999999999999 0 - 7", At(1, 24, kAdc + "Неправлильный начальный индекс.")},
    };
    for (const TBad &c : bad) {
        TPRPHeader g;
        TRun run = Compile(g, {"/ ЗАКАЗ ВХОДОВ АЦП", QString::fromUtf8(c.Line), "0 000 - 017"});
        EXPECT_EQ(run.Result, 1) << c.Line;
        EXPECT_EQ(run.Errors, QStringList{c.Message}) << c.Line;
        EXPECT_EQ(g.AdcOrder[0], 0) << c.Line;
    }
}

TEST(HeaderCompilerAdc, ModuleSevenIsTheLast)
{
    TPRPHeader h;
    TRun r = Compile(h, {"/ ЗАКАЗ ВХОДОВ АЦП", "7 160 - 177"});
    EXPECT_EQ(r.Result, 0);
    EXPECT_TRUE(r.Errors.isEmpty());
    EXPECT_EQ(h.AdcOrder[7], 15);
}

TEST(HeaderCompilerTimeGen, ThePartStatesAllEightGenerators)
{
    // The on and off words of generator k.
    auto words = [](const TPRPHeader &h, int k) {
        return std::pair{h.TimeGen[k][0] | h.TimeGen[k][1] << 8,
                         h.TimeGen[k][2] | h.TimeGen[k][3] << 8};
    };
    TPRPHeader h;
    std::memset(h.TimeGen, 0x55, sizeof h.TimeGen);
    TRun r = Compile(h, {"/ ЗАКАЗ ТМГ", "3 100 ВА012", "7 АВ177 -", "0 32767 8191 лишнее", "",
                         "2 8448 00010 ! комментарий", "3 0 АВ1"});
    EXPECT_EQ(r.Result, 0);
    EXPECT_TRUE(r.Errors.isEmpty()) << r.Errors.join('\n').toStdString();
    EXPECT_EQ(words(h, 0), std::pair(65534, 16382));
    EXPECT_EQ(words(h, 1), std::pair(0, 0)) << "a generator without a line is not in use";
    EXPECT_EQ(words(h, 2), std::pair(0x4200, 20));
    EXPECT_EQ(words(h, 3), std::pair(0, 0x4102)) << "the later line wins";
    EXPECT_EQ(words(h, 7), std::pair(0x41FE, 0));

    // An empty part clears all eight; a text without the part keeps them.
    Compile(h, {"/ ЗАКАЗ ИВ", "/ ЗАКАЗ ПЕРЕМЕННЫХ"});
    EXPECT_EQ(words(h, 0), std::pair(65534, 16382));
    Compile(h, {"/ ЗАКАЗ ТМГ", "", "/ ЗАКАЗ ИВ"});
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(words(h, k), std::pair(0, 0)) << k;

    // A word that is none of the forms stops the compile at its column, or just past the
    // line (its comment cut off) when it is missing; the lines before it are applied.
    const std::pair<const char *, int> bad[] = {
        {"5 8192 0", 3},   {"5 8447 0", 3}, {"5 0 32768", 5}, {"5 ВА200 0", 3},
        {"5 ВА0000 0", 3}, {"5 ВА 0", 3},   {"5 +5 0", 3},    {"5 ДВ001 0", 3},
        {"5 0 АВ1X", 5},   {"5 0", 4},      {"5 0 ! на", 5},  {"5   -   ", 9},
    };
    for (const auto &[line, p] : bad) {
        TPRPHeader g;
        r = Compile(g, {"/ ЗАКАЗ ТМГ", "1 10 20", QString::fromUtf8(line)});
        EXPECT_EQ(r.Result, 1) << line;
        EXPECT_EQ(r.Errors, QStringList{At(2, p, "Неправильный интервал таймер-генератора.")})
            << line;
        EXPECT_EQ(words(g, 1), std::pair(20, 40)) << line;
        EXPECT_EQ(words(g, 5), std::pair(0, 0)) << line;
    }
}

TEST(HeaderCompilerTimeGen, NumberIsChecked)
{
    TPRPHeader g;
    TRun r = Compile(g, {"/ ЗАКАЗ ТМГ", "10 1 1"});
    EXPECT_EQ(r.Result, 1);
    EXPECT_EQ(r.Errors, QStringList{At(1, 4, "Неправильный номер таймер-генератора.")});
    r = Compile(g, {"/ ЗАКАЗ ТМГ", "11"});
    EXPECT_EQ(r.Errors, QStringList{At(1, 3, "Неправильный номер таймер-генератора.")});
}

TEST(HeaderCompilerImpulse, GoodLines)
{
    TPRPHeader h;
    h.SetImpulseTickCode(0, 3);
    TRun r = Compile(h, {"/ ЗАКАЗ ИВ", "ИВ37 -ВА177 0,8", "ИВ05 = -АВ012 0,2", "ИВ00 +500 0,1",
                         "ИВ1 500 0,4 ! лишнее", "ИВ02 -500 0,15"});
    EXPECT_EQ(r.Result, 0);
    EXPECT_TRUE(r.Errors.isEmpty()) << r.Errors.join('\n').toStdString();
    EXPECT_EQ(h.ImpSource[31][0], 254);
    EXPECT_EQ(h.ImpSource[31][1], 0x80);
    EXPECT_EQ(h.ImpulseTickCode(31), 3);
    EXPECT_EQ(h.ImpSource[5][0], 20);
    EXPECT_EQ(h.ImpSource[5][1], 0x81);
    EXPECT_EQ(h.ImpulseTickCode(5), 1);
    EXPECT_EQ(h.ImpSource[0][1] * 256 + h.ImpSource[0][0], 1000);
    EXPECT_EQ(h.ImpulseTickCode(0), 0) << "both tick bits are replaced";
    EXPECT_EQ(h.ImpSource[1][1] * 256 + h.ImpSource[1][0], 1000);
    EXPECT_EQ(h.ImpulseTickCode(1), 2);
    EXPECT_EQ(h.ImpSource[2][1] * 256 + h.ImpSource[2][0], 64536);
    EXPECT_EQ(h.ImpSource[3][1], 0x20) << "outputs without a line keep their values";

    TPRPHeader g;
    r = Compile(g, {"/ ЗАКАЗ ИМПУЛЬСНЫХ ВЫХОДОВ", "ИВ07 +АВ003 0,8"});
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(g.ImpSource[7][1], 0x41);
}

TEST(HeaderCompilerImpulse, EveryCheckIsFatal)
{
    const QString source = QStringLiteral("Ошибка при укзании источника импульсного выхода.");
    const QString tick = QStringLiteral("Ошибка при укзании интервала времени.");
    struct TBad
    {
        const char *Line;
        QString Message;
    };
    const TBad bad[] = {
        {"ВА01 +1 0,1", At(1, 6, "Должен быть указан импульсный выход.")},
        {"   ", At(1, 4, "Должен быть указан импульсный выход.")},
        {"ИВ +1 0,1", At(1, 4, "Должен быть указан номер импульсного выхода.")},
        {"ИВ8 +1 0,1", At(1, 5, "Должен быть указан номер импульсного выхода.")},
        {"ИВ40 +1 0,1", At(1, 6, "Недопустимый номер импульсного входа.")},
        {"ИВ01", At(1, 5, source)},
        {"ИВ01 =", At(1, 7, source)},
        {"ИВ01 = = 0,1", At(1, 10, source)},
        {"ИВ01 +1001 0,1", At(1, 12, source)},
        {"ИВ01 -1001 0,1", At(1, 12, source)},
        {"ИВ01 +АВ200 0,1", At(1, 13, source)},
        {"ИВ01 =+ВА001 0,1", At(1, 14, source)},
        {"ИВ01 +1", At(1, 8, tick)},
        {"ИВ01 +1 0,", At(1, 11, tick)},
        {"ИВ01 +1 0", At(1, 10, tick)},
        {"ИВ01 +1 0,3", At(1, 12, tick)},
        {"ИВ01 +1 1,1", At(1, 12, tick)},
        {"ИВ01 +1 0.1", At(1, 12, tick)},
    };
    for (const TBad &c : bad) {
        TPRPHeader h;
        TRun r = Compile(h, {"/ ЗАКАЗ ИВ", QString::fromUtf8(c.Line), "ИВ02 +1 0,1"});
        EXPECT_EQ(r.Result, 1) << c.Line;
        EXPECT_EQ(r.Errors, QStringList{c.Message}) << c.Line;
        EXPECT_EQ(h.ImpSource[2][1], 0x20) << c.Line;
        EXPECT_EQ(h.Valid, 0);
    }
}

TEST(HeaderCompilerKeyboard, KeysClassesAndNames)
{
    TPRPHeader h;
    h.TechKeys[16].Class = 5; // keyboard 2 is laid out anew
    h.TechKeys[0].Class = 1;  // keyboard 1 is not mentioned and keeps its keys
    TRun r = Compile(h, {"/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА 2", "3 ДВ400 Насос", "4 ДВ377 ДЛИННОЕ ИМЯ",
                         "5 ВД777   ПУСК 1  ", "6 КС101", "7 КБ7 К", "8 ТМ77 Т", "9 ВА177 А",
                         "10 АВ000 Б", "11 ИВ037 И", "12 ДВ1000 Д", "16 ЖЖ001 НИЧЕГО"});
    EXPECT_EQ(r.Result, 0);
    EXPECT_TRUE(r.Errors.isEmpty()) << r.Errors.join('\n').toStdString();
    EXPECT_EQ(h.TechKeys[0].Class, 1);
    EXPECT_EQ(h.TechKeys[16].Class, 0);
    const TTechKey *k = &h.TechKeys[16];
    EXPECT_EQ(k[2].Class, 2);
    EXPECT_EQ(k[2].Index, 0);
    EXPECT_EQ(k[2].Name, "НАСОС   ");
    EXPECT_EQ(k[3].Class, 1);
    EXPECT_EQ(k[3].Index, 255);
    EXPECT_EQ(k[3].Name, "ДЛИННОЕ ");
    EXPECT_EQ(k[4].Class, 7);
    EXPECT_EQ(k[4].Index, 255);
    EXPECT_EQ(k[4].Name, "ПУСК 1  ");
    EXPECT_EQ(k[5].Class, 4);
    EXPECT_EQ(k[5].Index, 33);
    EXPECT_EQ(k[5].Name, "        ");
    EXPECT_EQ(k[6].Class, 3);
    EXPECT_EQ(k[6].Index, 7);
    EXPECT_EQ(k[7].Class, 5);
    EXPECT_EQ(k[7].Index, 63);
    EXPECT_EQ(k[8].Class, 8);
    EXPECT_EQ(k[8].Index, 127);
    EXPECT_EQ(k[9].Class, 9);
    EXPECT_EQ(k[9].Index, 0);
    EXPECT_EQ(k[10].Class, 10);
    EXPECT_EQ(k[10].Index, 31);
    EXPECT_EQ(k[11].Class, 2) << "ДВ has no range check";
    EXPECT_EQ(k[11].Index, 0);
    EXPECT_EQ(k[15].Class, 0) << "an unknown class word leaves the key without a variable";
}

TEST(HeaderCompilerKeyboard, LineChecksAreReportedAndSkipped)
{
    TPRPHeader h;
    TRun r = Compile(h, {"/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА 4", "X ДВ001 А", "0 ДВ001 А", "17 ДВ001 А",
                         "1 ДВ А", "1", "1 ДВ08 А", "2 КБ10 А", "3 КС10 А", "4 КС777 А",
                         "5 ТМ100 А", "6 ВА200 А", "7 АВ400 А", "8 ИВ40 А", "9 ДВ012 ДЕВЯТЬ"});
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(r.Errors, (QStringList{
                            AtLine(1, "Должен быть указан номер технологической клавиатуры"),
                            AtLine(2, "Некорректный номер технологической клавиши"),
                            AtLine(3, "Некорректный номер технологической клавиши"),
                            AtLine(4, "Некорректное имя переменной"),
                            AtLine(5, "Некорректное имя переменной"),
                            AtLine(6, "Некорректный номер переменной"),
                            AtLine(7, "Некорректный индекс КБ"),
                            AtLine(8, "Некорректный индекс КС"),
                            AtLine(9, "Некорректный индекс КС"),
                            AtLine(10, "Некорректный индекс ТМ"),
                            AtLine(11, "Некорректный индекс ВА"),
                            AtLine(12, "Некорректный индекс АВ"),
                            AtLine(13, "Некорректный индекс ИВ"),
                        }));
    const TTechKey *k = &h.TechKeys[48];
    EXPECT_EQ(k[0].Class, 0);
    EXPECT_EQ(k[1].Class, 0) << "КБ out of range leaves the key without a variable";
    EXPECT_EQ(k[2].Class, 0) << "a КС index of fewer than three digits is skipped";
    // КС, ТМ, ВА, АВ and ИВ beyond their range are reported and still stored (low byte).
    EXPECT_EQ(k[3].Class, 4);
    EXPECT_EQ(k[3].Index, 287 & 0xFF);
    EXPECT_EQ(k[4].Class, 5);
    EXPECT_EQ(k[4].Index, 64);
    EXPECT_EQ(k[5].Class, 8);
    EXPECT_EQ(k[5].Index, 128);
    EXPECT_EQ(k[6].Class, 9);
    EXPECT_EQ(k[6].Index, 0);
    EXPECT_EQ(k[7].Class, 10);
    EXPECT_EQ(k[7].Index, 32);
    EXPECT_EQ(k[8].Class, 1);
    EXPECT_EQ(k[8].Name, "ДЕВЯТЬ  ");
}

TEST(HeaderCompilerKeyboard, BadKeyboardNumberSkipsThePart)
{
    for (const char *heading :
         {"/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА X", "/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА",
          "/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА 5", "/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА 0"}) {
        TPRPHeader h;
        h.TechKeys[0].Class = 1;
        TRun r = Compile(h, {"", QString::fromUtf8(heading), "X ДВ001", "1 ДВ002 А"});
        const bool notNumber =
            QString::fromUtf8(heading).endsWith(u'X') || QString::fromUtf8(heading).endsWith(u'А');
        EXPECT_EQ(r.Result, 0);
        EXPECT_EQ(r.Errors, QStringList{AtLine(1, notNumber ? "Ошибка при чтении номера "
                                                              "технологической клавиатуры"
                                                            : "Неправильный номер "
                                                              "технологической клавиатуры")})
            << heading;
        EXPECT_EQ(h.TechKeys[0].Class, 1) << heading;
        EXPECT_EQ(h.TechKeys[1].Class, 0) << heading;
    }
}

TEST(HeaderCompilerNames, NamesFillTheMacrosTable)
{
    TPRPHeader h;
    TMacrosTable m;
    m.Add("СТАРОЕ", "ДВ001");
    TRun r = Compile(h,
                     {"/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ", "насос дв012 главный", "ОДНО", "  ДАВЛ  ВА003",
                      "УРОВЕНЬ ВА004 ; комментарий"},
                     &m);
    EXPECT_EQ(r.Result, 0);
    EXPECT_TRUE(r.Errors.isEmpty());
    ASSERT_EQ(m.Count(), 3);
    EXPECT_EQ(m.Find("НАСОС"), "ДВ012");
    EXPECT_EQ(m.Find("ДАВЛ"), "ВА003");
    EXPECT_EQ(m.Find("УРОВЕНЬ"), "ВА004");
    EXPECT_EQ(m.Find("СТАРОЕ"), "");

    // A second names part replaces the first.
    r = Compile(h,
                {"/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ", "А ДВ001", "/ ЗАКАЗ ТМГ", "1 0 0",
                 "/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ", "Б ДВ002"},
                &m);
    EXPECT_EQ(r.Result, 0);
    ASSERT_EQ(m.Count(), 1);
    EXPECT_EQ(m.Find("Б"), "ДВ002");

    // A header without names leaves no names of an earlier program behind.
    r = Compile(h, {"/ ЗАКАЗ ТМГ", "1 0 0"}, &m);
    EXPECT_EQ(m.Count(), 0);
}

TEST(HeaderCompilerNames, UpperCaseKeepsToWindows1251AsTheLexerDoes)
{
    // µ has a Windows-1251 byte, its capital (Greek Μ) has none: it stays, so a section that
    // writes the name in any case finds it.
    TPRPHeader h;
    TMacrosTable m;
    TRun r = Compile(
        h,
        {"/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА 1", "1 ДВ001 µа", "/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ", "µа ДВ013"},
        &m);
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(h.TechKeys[0].Name, "µА      ");
    EXPECT_EQ(m.Find("µА"), "ДВ013");
}

TEST(HeaderCompilerFatal, FieldsSetBeforeStaySetAndValidIsUnchanged)
{
    TPRPHeader h;
    h.Valid = 0;
    TRun r = Compile(h, {"/ ЗАКАЗ ПЕРЕМЕННЫХ", "ДВ 000 - 077", "ТМ 001 - 77", "ВД 000 - 777"});
    EXPECT_EQ(r.Result, 1);
    EXPECT_EQ(h.OrderDV, 7);
    EXPECT_EQ(h.OrderVD, 1);
    EXPECT_EQ(h.Valid, 0);

    h.Valid = 1; // a fatal error does not clear an earlier valid state either
    r = Compile(h, {"/ ЗАКАЗ ТМГ", "9"});
    EXPECT_EQ(r.Result, 1);
    EXPECT_EQ(h.Valid, 1);
}

// Lines made of pieces of the header language in random order: every outcome is a result
// of 0 or 1 with tagged messages, and the fields stay inside their arrays (the sanitizer
// build watches the rest).
TEST(HeaderCompilerRobustness, RandomTextsNeverLeaveTheRules)
{
    const QStringList headings = {
        "/ ЗАКАЗ ПЕРЕМЕННЫХ",
        "/ ЗАКАЗ ВХОДОВ АЦП",
        "/ ЗАКАЗ ТМГ",
        "/ ЗАКАЗ ИВ",
        "/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА 2",
        "/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА 9",
        "/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ",
        "/",
    };
    const QStringList pieces = {
        "ДВ",
        "КБ",
        "ВД",
        "ВА",
        "АВ",
        "ТМ",
        "КС",
        "ИВ",
        "ИВ37",
        "ИВ40",
        "ДВ777",
        "КС7",
        "КС1011",
        "0",
        "00",
        "000",
        "7",
        "17",
        "177",
        "777",
        "1000",
        "99999999999999999999",
        "777777777777777777777",
        "-",
        "=",
        "+",
        "-1000",
        "+1001",
        "+ВА177",
        "-АВ200",
        "0,",
        "0,1",
        "0,8",
        "0,3",
        "16",
        "17",
        "1",
        "8",
        "020-037",
        "!",
        ";",
        "  ",
        "Х",
        "ИМЯ",
    };
    std::mt19937 rng(7);
    auto pick = [&rng](qsizetype n) {
        return static_cast<qsizetype>(std::uniform_int_distribution<qsizetype>(0, n - 1)(rng));
    };
    for (int round = 0; round < 2000; ++round) {
        QStringList text;
        const int lines = static_cast<int>(pick(12));
        for (int i = 0; i < lines; ++i) {
            if (pick(4) == 0) {
                text << headings[pick(headings.size())];
                continue;
            }
            QString line;
            const int words = static_cast<int>(pick(6));
            for (int w = 0; w < words; ++w)
                line +=
                    (pick(3) == 0 ? QString() : QStringLiteral(" ")) + pieces[pick(pieces.size())];
            text << line;
        }
        TPRPHeader h;
        TMacrosTable m;
        TRun r = Compile(h, text, &m);
        ASSERT_TRUE(r.Result == 0 || r.Result == 1);
        EXPECT_EQ(h.Valid, r.Result == 0 ? 1 : 0);
        for (const QString &e : r.Errors)
            ASSERT_TRUE(e.startsWith(QStringLiteral("[Заголовок."))) << e.toStdString();
        EXPECT_LE(h.OrderKB, 7);
        EXPECT_LE(h.OrderTM, 7);
        EXPECT_LE(h.OrderVA, 15);
        for (int k = 0; k < 32; ++k) {
            const std::uint8_t high = h.ImpSource[k][1];
            if (high == 0x40 || high == 0x41 || high == 0x80 || high == 0x81 || high == 0x20)
                continue;
            const int w = high * 256 + h.ImpSource[k][0];
            EXPECT_TRUE(w <= 2000 || w >= 65536 - 2000) << "a source constant beyond 1000";
        }
    }
}

TEST(HeaderCompilerExamples, DemoProgramHeaderCompilesWithoutMessages)
{
    QStringList lines;
    QString error;
    ASSERT_TRUE(ReadTextFile(QStringLiteral(ZENTOR_SOURCE_DIR "/examples/demo.zen"), lines, error))
        << error.toStdString();
    QStringList header;
    for (const QString &line : lines) {
        if (line.startsWith(QStringLiteral("/ СЕКЦИЯ")))
            break;
        header.append(line);
    }
    ASSERT_FALSE(header.isEmpty());
    TPRPHeader h;
    TMacrosTable m;
    TRun r = Compile(h, header, &m);
    EXPECT_EQ(r.Result, 0);
    EXPECT_TRUE(r.Errors.isEmpty()) << r.Errors.join('\n').toStdString();
    EXPECT_EQ(h.Valid, 1);
    EXPECT_GT(m.Count(), 10);
    int keys = 0;
    for (const TTechKey &k : h.TechKeys)
        keys += k.Class != 0;
    EXPECT_GT(keys, 10);
    // A few fields the demo's sections and screens rely on.
    EXPECT_EQ(h.OrderVA, 3);
    EXPECT_EQ(h.AdcOrder[1], 7);
    EXPECT_EQ(h.ImpulseSourceText(0), "+АВ001");
    EXPECT_EQ(h.TechKeys[16 + 6].Class, 3);
    EXPECT_EQ(m.Find("ДАВЛ_ФИЛ"), "АВ002");

    // The header as a loaded image would give it back compiles to the same fields.
    QStringList messages;
    h.Decompile(messages);
    TPRPHeader back;
    r = Compile(back, h.Text);
    EXPECT_EQ(r.Result, 0);
    EXPECT_TRUE(r.Errors.isEmpty());
    EXPECT_TRUE(SameFields(back, h));
}
