#include "core/cp1251.h"
#include "core/textutils.h"

#include <gtest/gtest.h>

#include <vector>

TEST(SectionNumbers, TextAndParseAreInverse)
{
    EXPECT_EQ(SectionNumberText(0), "000");
    EXPECT_EQ(SectionNumberText(8), "010");
    EXPECT_EQ(SectionNumberText(31), "037");
    EXPECT_EQ(SectionNumberText(32), "100");
    EXPECT_EQ(SectionNumberText(33), "101");
    EXPECT_EQ(SectionNumberText(255), "737");
    for (int n = 0; n < 256; ++n)
        EXPECT_EQ(ParseSectionNumber(SectionNumberText(n)), n);
    EXPECT_EQ(ParseSectionNumber("077"), 63);
    EXPECT_EQ(ParseSectionNumber("377"), 159);
    EXPECT_EQ(ParseSectionNumber("10"), -1);
}

TEST(Octal, WidthAndParse)
{
    EXPECT_EQ(OctalText(8, 3), "010");
    EXPECT_EQ(OctalText(511, 2), "77");
    EXPECT_EQ(OctalText(64, 2), "00");
    EXPECT_EQ(OctalText(5, 0), "");
    EXPECT_EQ(ParseOctal("177"), 127);
    EXPECT_EQ(ParseOctal(""), 0);
    EXPECT_TRUE(IsOctalText(u"0707"));
    EXPECT_FALSE(IsOctalText(u"08"));
    EXPECT_FALSE(IsOctalText(u""));
    EXPECT_TRUE(IsDecimalText("089"));
    EXPECT_FALSE(IsDecimalText("1a"));
    // No validation, but no overflow trap either on long or foreign text.
    ParseOctal(QString(40, QChar(u'Я')));
}

TEST(ByteSum, EndAroundCarry)
{
    const std::uint8_t a[] = {255, 1};
    const std::uint8_t b[] = {255, 255};
    EXPECT_EQ(ByteSum(a, 2), 1);
    EXPECT_EQ(ByteSum(b, 2), 255);
    EXPECT_EQ(ByteSum(nullptr, 0), 0);
}

TEST(ControllerCode, TableAndReverse)
{
    EXPECT_EQ(TextToController(QChar(u'А')), 0x61);
    EXPECT_EQ(TextToController(QChar(u'a')), 0x61); // Latin a is its own code
    EXPECT_EQ(TextToController(QChar(u'\'')), 0x23);
    EXPECT_EQ(TextToController(QChar(u' ')), 0x20);
    EXPECT_EQ(TextToController(QChar(u'!')), 0x21);
    EXPECT_EQ(TextToController(QChar(u'Ч')), 0x7E);
    EXPECT_EQ(TextToController(QChar(u'|')), 0x7F); // 0x7C carries Э
    EXPECT_EQ(TextToController(QChar(u'я')), 0xFF); // lower-case Cyrillic passes unchanged
    EXPECT_EQ(ControllerToText(0xE1), QChar(u'А'));
    EXPECT_EQ(ControllerToText(0x60), QChar(u'Ю'));
    EXPECT_EQ(ControllerToText(0x5F), QChar(u' '));
    EXPECT_EQ(ControllerToText(0x7F), QChar(u'|'));
}

TEST(Words, NextWordAndTrim)
{
    const QString t = QStringLiteral("  КБ 3");
    int p = 1;
    EXPECT_EQ(NextWord(t, p), "КБ");
    EXPECT_EQ(p, 6);
    EXPECT_EQ(NextWord(t, p), "3");
    EXPECT_EQ(p, 7);
    EXPECT_EQ(NextWord(t, p), "");
    EXPECT_EQ(p, 7);
    int q = 1;
    EXPECT_EQ(NextWord("A   ", q), "A");
    EXPECT_EQ(NextWord("A   ", q), "");
    EXPECT_EQ(q, 5);
    EXPECT_EQ(TrimSpaces("  a b \t "), "a b \t");
    EXPECT_EQ(TrimSpaces("   "), "");
}

TEST(Words, StripComment)
{
    EXPECT_EQ(StripComment("X=1 ! note ; more"), "X=1 ");
    EXPECT_EQ(StripComment("!all"), "");
    EXPECT_EQ(StripComment("a;b!c"), "a");
    EXPECT_EQ(StripComment("plain"), "plain");
}

TEST(HexDump, Format)
{
    const std::uint8_t b[] = {0x0A, 0xFF};
    EXPECT_EQ(HexDump(b, 2), "0A FF ");
    EXPECT_EQ(HexDump(b, 0), QStringLiteral("Принято 0 байт"));
}

TEST(Cp1251, EveryByteSurvivesDecodeAndEncode)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const QString text = DecodeCp1251(all);
    EXPECT_EQ(text[0xC0], QChar(u'А'));
    EXPECT_EQ(text[0xA8], QChar(u'Ё'));
    QByteArray back;
    ASSERT_TRUE(EncodeCp1251(text, back));
    EXPECT_EQ(back, all);
    qsizetype bad = -1;
    EXPECT_FALSE(EncodeCp1251(QStringLiteral("ab\u4e2d"), back, &bad));
    EXPECT_EQ(bad, 2);
}
