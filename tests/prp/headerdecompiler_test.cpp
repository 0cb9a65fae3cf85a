#include "prp/headerentries.h"
#include "prp/macrostable.h"
#include "prp/prpheader.h"

#include "core/textutils.h"

#include <gtest/gtest.h>

#include "qtprint.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>

namespace {

QStringList Decompiled(TPRPHeader &h)
{
    QStringList messages;
    EXPECT_EQ(h.Decompile(messages), 0);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(h.Valid, 1);
    return h.Text;
}

const QStringList kDefaultText = {
    "/ ЗАКАЗ ПЕРЕМЕННЫХ",
    "КБ   0 - 0",
    "ВД 000 - 017",
    "ДВ 000 - 017",
    "ВА 000 - 017",
    "АВ 000 - 017",
    "ТМ  00 - 17",
    "",
    "/ ЗАКАЗ ВХОДОВ АЦП",
    "0 000 - 000",
    "",
    "",
};

} // namespace

TEST(HeaderDecompiler, DefaultHeader)
{
    TPRPHeader h;
    h.Text = QStringList{"старый текст"};
    EXPECT_EQ(Decompiled(h), kDefaultText);
    // The text is rebuilt, not appended to.
    EXPECT_EQ(Decompiled(h), kDefaultText);
}

TEST(HeaderDecompiler, FullHeaderLinesAndSpacing)
{
    TPRPHeader h;
    h.OrderKB = 3;
    h.OrderVD = 63;
    h.OrderDV = 31;
    h.OrderVA = 5;
    h.OrderAV = 15;
    h.OrderTM = 7;
    h.AdcOrder[0] = 15;
    h.AdcOrder[1] = 3;
    h.AdcOrder[2] = 7; // ВА order 5 serves modules 0..2
    h.AdcOrder[3] = 9; // not written: beyond the ВА order
    ASSERT_EQ(h.SetImpulseSource(5, "-АВ012"), 0);
    h.SetImpulseTickCode(5, 1);
    ASSERT_EQ(h.SetImpulseSource(0, "+500"), 0);
    ASSERT_EQ(h.SetImpulseSource(31, "-7"), 0);
    h.SetImpulseTickCode(31, 3);
    h.TimeGen[3][0] = 10; // on: ВА005
    h.TimeGen[3][1] = 0x40;
    h.TimeGen[3][2] = 44; // off: 300 / 2 = 150
    h.TimeGen[3][3] = 1;
    h.TimeGen[6][2] = 20; // off: АВ012 (index 10)
    h.TimeGen[6][3] = 0x41;
    h.TimeGen[1][0] = 100; // high bytes 0: a small constant, still in use
    h.TechKeys[0] = {1, 012, "ПУСК    "};
    h.TechKeys[2] = {2, 0, "НАСОС 2 "};
    h.TechKeys[15] = {3, 5, "КБ      "};
    h.TechKeys[32] = {4, 33, "СЕКЦИЯ  "};
    h.TechKeys[33] = {5, 077, "ТАЙМЕР  "};
    h.TechKeys[34] = {6, 1, "ВХОД    "};
    h.TechKeys[35] = {7, 0377, "ВХОД 2  "};
    h.TechKeys[36] = {8, 0177, "ДАВЛЕН  "};
    h.TechKeys[37] = {9, 3, "УСТАВКА "};
    h.TechKeys[38] = {10, 037, "ИМПУЛЬС "};
    h.TechKeys[39] = {11, 4, "ЧУЖОЙ   "};
    h.TechKeys[40] = {3, 9, "КБ9     "};
    const QStringList expected = {
        "/ ЗАКАЗ ПЕРЕМЕННЫХ",
        "КБ   0 - 3",
        "ВД 000 - 777",
        "ДВ 000 - 377",
        "ВА 000 - 057",
        "АВ 000 - 177",
        "ТМ  00 - 77",
        "",
        "/ ЗАКАЗ ВХОДОВ АЦП",
        "0 000 - 017",
        "1 020 - 023",
        "2 040 - 047",
        "",
        "/ ЗАКАЗ ИВ",
        "ИВ00 +500 0,1",
        "ИВ05 -АВ012 0,2",
        "ИВ37 -7 0,8",
        "",
        "/ ЗАКАЗ ТМГ",
        "1 50 0",
        "3 ВА005 150",
        "6 0 АВ012",
        "",
        "",
        "/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА 1",
        "1  ДВ012  ПУСК    ",
        "3  ДВ400  НАСОС 2 ",
        "16  КБ5  КБ      ",
        "",
        "/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА 3",
        "1  КС101  СЕКЦИЯ  ",
        "2  ТМ77  ТАЙМЕР  ",
        "3  ВД001  ВХОД    ",
        "4  ВД777  ВХОД 2  ",
        "5  ВА177  ДАВЛЕН  ",
        "6  АВ003  УСТАВКА ",
        "7  ИВ037  ИМПУЛЬС ",
        "8    ЧУЖОЙ   ",
        "9  КБ1  КБ9     ", // a КБ index above 7 keeps its lowest octal digit
        "",
    };
    EXPECT_EQ(Decompiled(h), expected);
}

TEST(HeaderDecompiler, AdcLinesFollowTheVaOrderUpToModuleSeven)
{
    TPRPHeader h;
    h.OrderVA = 15;
    QStringList text = Decompiled(h);
    EXPECT_EQ(text.indexOf("7 160 - 160"), 16);
    EXPECT_EQ(text[17], "");

    h.OrderVA = 255; // a loaded image may state any ВА order: still eight modules at most
    text = Decompiled(h);
    EXPECT_EQ(text[8], "/ ЗАКАЗ ВХОДОВ АЦП");
    EXPECT_EQ(text[16], "7 160 - 160");
    EXPECT_EQ(text[17], "");
    EXPECT_EQ(text.size(), 19);

    h.OrderVA = 0;
    text = Decompiled(h);
    EXPECT_EQ(text[9], "0 000 - 000");
    EXPECT_EQ(text[10], "");
}

TEST(HeaderDecompiler, OutputCompilesBackToTheSameFields)
{
    TPRPHeader h;
    h.TechKeys[17] = {2, 0, "НАСОС   "};
    h.TechKeys[18] = {4, 255, "        "};
    h.OrderKB = 7;
    QStringList messages;
    h.Decompile(messages);

    TPRPHeader back;
    TMacrosTable macros;
    back.Text = h.Text;
    ASSERT_EQ(back.Compile(messages, macros), 0);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    EXPECT_EQ(back.TechKeys[17].Class, 2);
    EXPECT_EQ(back.TechKeys[17].Index, 0);
    EXPECT_EQ(back.TechKeys[17].Name, "НАСОС   ");
    EXPECT_EQ(back.TechKeys[18].Class, 4);
    EXPECT_EQ(back.TechKeys[18].Index, 255);
    EXPECT_EQ(back.OrderKB, 7);
}

// Random headers of every field the text carries: decompiling and compiling back into a
// fresh header gives the same fields, and decompiling that again gives the same text. A
// timer-generator word comes back exactly when HeaderIntervalWritable says it can.
TEST(HeaderDecompiler, RandomHeadersRoundTrip)
{
    std::mt19937 rng(20240611);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    // Characters a key name can hold and keep through the text: upper case, digits, signs;
    // no blank at the start, no "!" or ";".
    const QString alphabet =
        QStringLiteral("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯABCXYZ0123456789-+=.,:#*/()<> ");
    const int highestIndex[11] = {0, 255, 255, 7, 255, 63, 255, 255, 127, 127, 31};

    for (int round = 0; round < 300; ++round) {
        TPRPHeader a;
        a.OrderKB = static_cast<std::uint8_t>(pick(0, 7));
        a.OrderVD = static_cast<std::uint8_t>(pick(0, 63));
        a.OrderDV = static_cast<std::uint8_t>(pick(0, 63));
        a.OrderVA = static_cast<std::uint8_t>(pick(0, 15));
        a.OrderAV = static_cast<std::uint8_t>(pick(0, 15));
        a.OrderTM = static_cast<std::uint8_t>(pick(0, 7));
        for (int m = 0; m <= a.OrderVA / 2; ++m)
            a.AdcOrder[m] = static_cast<std::uint8_t>(pick(0, 15));
        for (int k = 0; k < 32; ++k) {
            switch (pick(0, 3)) {
            case 0:
                break; // not used
            case 1:
                ASSERT_EQ(a.SetImpulseSource(k, QString::number(pick(-1000, 1000))), 0);
                break;
            default: {
                const char *forms[] = {"+ВА", "-ВА", "+АВ", "-АВ"};
                const QString text =
                    QString::fromUtf8(forms[pick(0, 3)]) + OctalText(pick(0, 127), 3);
                ASSERT_EQ(a.SetImpulseSource(k, text), 0);
                break;
            }
            }
            if (a.ImpSource[k][1] != 0x20)
                a.SetImpulseTickCode(k, pick(0, 3));
        }
        for (int q = 0; q < TPRPHeader::KeyCount; ++q) {
            if (pick(0, 2) == 0)
                continue;
            TTechKey &key = a.TechKeys[q];
            key.Class = static_cast<std::uint8_t>(pick(1, 10));
            key.Index = static_cast<std::uint8_t>(pick(0, highestIndex[key.Class]));
            QString name;
            const int length = pick(0, 8);
            for (int i = 0; i < length; ++i)
                name += alphabet[pick(0, static_cast<int>(alphabet.size()) - 1)];
            while (name.startsWith(u' '))
                name.remove(0, 1);
            key.Name = name.leftJustified(8, u' ');
        }

        bool writable = true;
        for (int k = 0; k < 8; ++k)
            for (int w = 0; w < 2; ++w) {
                const int word = pick(0, 2) == 0   ? 0
                                 : pick(0, 1) == 0 ? pick(0x4000, 0x41FF)
                                                   : pick(0, 0xFFFF);
                a.TimeGen[k][2 * w] = static_cast<std::uint8_t>(word & 0xFF);
                a.TimeGen[k][2 * w + 1] = static_cast<std::uint8_t>(word >> 8);
                writable = writable && HeaderIntervalWritable(word & 0xFF, word >> 8);
            }

        QStringList messages;
        ASSERT_EQ(a.Decompile(messages), 0);
        TPRPHeader b;
        TMacrosTable macros;
        b.Text = a.Text;
        ASSERT_EQ(b.Compile(messages, macros), 0) << a.Text.join('\n').toStdString();
        ASSERT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
        EXPECT_EQ(b.Valid, 1);
        EXPECT_EQ(macros.Count(), 0);

        EXPECT_EQ(b.OrderKB, a.OrderKB);
        EXPECT_EQ(b.OrderVD, a.OrderVD);
        EXPECT_EQ(b.OrderDV, a.OrderDV);
        EXPECT_EQ(b.OrderVA, a.OrderVA);
        EXPECT_EQ(b.OrderAV, a.OrderAV);
        EXPECT_EQ(b.OrderTM, a.OrderTM);
        EXPECT_EQ(std::memcmp(b.AdcOrder, a.AdcOrder, sizeof a.AdcOrder), 0);
        EXPECT_EQ(std::memcmp(b.ImpSource, a.ImpSource, sizeof a.ImpSource), 0);
        EXPECT_EQ(std::memcmp(b.ImpTicks, a.ImpTicks, sizeof a.ImpTicks), 0);
        for (int q = 0; q < TPRPHeader::KeyCount; ++q) {
            ASSERT_EQ(b.TechKeys[q].Class, a.TechKeys[q].Class) << q;
            if (a.TechKeys[q].Class == 0)
                continue;
            EXPECT_EQ(b.TechKeys[q].Index, a.TechKeys[q].Index) << q;
            EXPECT_EQ(b.TechKeys[q].Name, a.TechKeys[q].Name) << q;
        }

        for (int k = 0; k < 8; ++k)
            for (int i = 0; i < 4; i += 2) {
                const std::uint8_t *was = a.TimeGen[k] + i, *is = b.TimeGen[k] + i;
                EXPECT_EQ(was[0] == is[0] && was[1] == is[1],
                          HeaderIntervalWritable(was[0], was[1]))
                    << k << ' ' << int(was[1]) << ' ' << int(was[0]);
            }

        const QStringList first = a.Text;
        b.Decompile(messages);
        if (writable) {
            EXPECT_EQ(b.Text, first);
        }
    }
}

// Values of a loaded image that the header text cannot carry are named, one line each; the
// fields themselves stay as they are.
TEST(HeaderDecompiler, NamesTheValuesItsTextCannotCarry)
{
    const QString lost = QStringLiteral("Значение заголовка не переносится в текст: ");
    struct Case
    {
        const char *What;
        std::function<void(TPRPHeader &)> Fields;  // before encoding
        std::function<void(std::uint8_t *)> Bytes; // after encoding, then decoded
        QStringList Lines;
    };
    const auto none = [](auto) {};
    const QList<Case> cases = {
        {"a header the text carries",
         [](TPRPHeader &h) {
             h.OrderDV = 63;
             h.OrderVA = 15;
             h.AdcOrder[7] = 15;
             EXPECT_EQ(h.SetImpulseSource(31, QStringLiteral("-ВА177")), 0);
             EXPECT_EQ(h.SetImpulseSource(30, QStringLiteral("-1000")), 0);
             h.TechKeys[17] = {2, 0, "НАСОС   "};
             h.TechKeys[63] = {4, 255, "        "};
             const std::uint8_t generator[4] = {0x06, 0x41, 0x14, 0x00}; // АВ003 10
             std::copy(generator, generator + 4, h.TimeGen[2]);
         },
         none,
         {}},
        {"an odd timer-generator word",
         [](TPRPHeader &h) {
             const std::uint8_t generator[4] = {0x07, 0x40, 0x15, 0x00};
             std::copy(generator, generator + 4, h.TimeGen[6]);
         },
         none,
         {lost + QStringLiteral("ТМГ 6: слова интервалов 0x4007 0x0015")}},
        {"an order of 255",
         [](TPRPHeader &h) { h.OrderDV = 255; },
         none,
         {lost + QStringLiteral("ДВ: порядок 255")}},
        {"a ТМ order of 8",
         [](TPRPHeader &h) { h.OrderTM = 8; },
         none,
         {lost + QStringLiteral("ТМ: порядок 8")}},
        {"an ADC order of 255",
         [](TPRPHeader &h) { h.AdcOrder[0] = 255; },
         none,
         {lost + QStringLiteral("модуль 0: порядок АЦП 255")}},
        {"an ADC order beyond the ВА order",
         [](TPRPHeader &h) { h.AdcOrder[5] = 3; },
         none,
         {lost + QStringLiteral("модуль 5: порядок АЦП 3 вне заказа ВА")}},
        {"an impulse source 0x41FF",
         [](TPRPHeader &h) {
             h.ImpSource[5][0] = 0xFF;
             h.ImpSource[5][1] = 0x41;
         },
         none,
         {lost + QStringLiteral("ИВ05: слово источника 0x41FF")}},
        {"an odd constant source",
         [](TPRPHeader &h) {
             h.ImpSource[7][0] = 0x03;
             h.ImpSource[7][1] = 0x00;
         },
         none,
         {lost + QStringLiteral("ИВ07: слово источника 0x0003")}},
        {"key classes 11 and 255",
         [](TPRPHeader &h) {
             h.TechKeys[1] = {11, 0, QStringLiteral("А       ")};
             h.TechKeys[40] = {255, 2, QStringLiteral("Б       ")};
         },
         none,
         {lost + QStringLiteral("клавиатура 1, клавиша 2: класс 11, индекс 0, имя «А       »"),
          lost + QStringLiteral("клавиатура 3, клавиша 9: класс 255, индекс 2, имя «Б       »")}},
        {"a ТМ key index of 100",
         [](TPRPHeader &h) {
             h.TechKeys[3] = {5, 100, "Т       "};
         },
         none,
         {lost + QStringLiteral("клавиатура 1, клавиша 4: класс 5, индекс 100, имя «Т       »")}},
        {"a name beginning with a blank",
         [](TPRPHeader &h) {
             h.TechKeys[2] = {1, 1, " Х      "};
         },
         none,
         {lost + QStringLiteral("клавиатура 1, клавиша 3: класс 1, индекс 1, имя « Х      »")}},
        {"a key recorded twice and one without a class",
         [](TPRPHeader &h) {
             h.TechKeys[0] = {1, 1, "А       "};
             h.TechKeys[1] = {1, 2, "Б       "};
         },
         [](std::uint8_t *b) {
             b[162 + 11] = 0;     // the second record is key 0 again
             b[162 + 11 + 1] = 0; // without a class
         },
         {lost + QStringLiteral("клавиатура 1, клавиша 1: записана дважды"),
          lost + QStringLiteral("клавиатура 1, клавиша 1: запись без класса переменной")}},
    };
    for (const Case &c : cases) {
        TPRPHeader h;
        c.Fields(h);
        h.EncodeHeader();
        c.Bytes(h.Bytes);
        h.DecodeHeader();
        EXPECT_EQ(h.ValuesNotInText().join('\n').toStdString(), c.Lines.join('\n').toStdString())
            << c.What;
    }
}
