#include "prp/prpheader.h"

#include <gtest/gtest.h>

#include "qtprint.h"

namespace {

int Word(const TPRPHeader &h, int k)
{
    return h.ImpSource[k][1] * 256 + h.ImpSource[k][0];
}

} // namespace

TEST(ImpulseSource, ConstantsAndVariablesEncodeAsTheSourceWord)
{
    TPRPHeader h;
    EXPECT_EQ(h.SetImpulseSource(0, "500"), 0); // no sign means "+"
    EXPECT_EQ(Word(h, 0), 1000);
    EXPECT_EQ(h.SetImpulseSource(1, "-500"), 0);
    EXPECT_EQ(Word(h, 1), 64536);
    EXPECT_EQ(h.SetImpulseSource(2, "+ВА005"), 0);
    EXPECT_EQ(h.ImpSource[2][0], 10);
    EXPECT_EQ(h.ImpSource[2][1], 0x40);
    EXPECT_EQ(h.SetImpulseSource(3, "-АВ012"), 0);
    EXPECT_EQ(h.ImpSource[3][0], 20);
    EXPECT_EQ(h.ImpSource[3][1], 0x81);
    EXPECT_EQ(h.SetImpulseSource(31, "-ВА177"), 0);
    EXPECT_EQ(h.ImpSource[31][0], 254);
    EXPECT_EQ(h.ImpSource[31][1], 0x80);
    EXPECT_EQ(h.SetImpulseSource(4, "АВ7"), 0);
    EXPECT_EQ(h.ImpSource[4][0], 14);
    EXPECT_EQ(h.ImpSource[4][1], 0x41);
    EXPECT_EQ(h.SetImpulseSource(5, "-0"), 0);
    EXPECT_EQ(Word(h, 5), 0);
    EXPECT_EQ(h.SetImpulseSource(6, "-1000"), 0);
    EXPECT_EQ(Word(h, 6), 65536 - 2000);
    // The dialog passes what the user typed: lower case is read like upper case.
    EXPECT_EQ(h.SetImpulseSource(7, "+ва003"), 0);
    EXPECT_EQ(h.ImpSource[7][0], 6);
    EXPECT_EQ(h.ImpSource[7][1], 0x40);
}

TEST(ImpulseSource, RefusesWhatCannotBeStoredFaithfully)
{
    TPRPHeader h;
    ASSERT_EQ(h.SetImpulseSource(9, "+7"), 0);
    const char *bad[] = {
        "",        // empty
        "+",       // sign alone
        "-",       //
        "ВА",      // class without index
        "+ВА08",   // 8 is no octal digit
        "+ВА200",  // index above octal 177 does not fit the byte as 2i
        "+АВ1000", //
        "1001",    // constant beyond +1000
        "-1001",   // and below -1000
        "99999999999999999999",
        "+ХВА01", // "ВА" somewhere, but not right after the sign
        "+12А",   // not a number
        "+1 2",   //
        "ДВ001",  // no source class
    };
    for (const char *text : bad) {
        EXPECT_EQ(h.SetImpulseSource(9, QString::fromUtf8(text)), 1) << text;
        EXPECT_EQ(Word(h, 9), 14) << "a refused text must leave the source as it was: " << text;
    }
    EXPECT_EQ(h.SetImpulseSource(32, "+1"), 1);
    EXPECT_EQ(h.SetImpulseSource(-1, "+1"), 1);
}

TEST(ImpulseSource, TextForms)
{
    TPRPHeader h;
    EXPECT_EQ(h.ImpulseSourceText(0), ""); // not used
    h.ImpSource[0][0] = 10;
    h.ImpSource[0][1] = 0x40;
    EXPECT_EQ(h.ImpulseSourceText(0), "+ВА005");
    h.ImpSource[0][1] = 0x41;
    EXPECT_EQ(h.ImpulseSourceText(0), "+АВ005");
    h.ImpSource[0][1] = 0x80;
    EXPECT_EQ(h.ImpulseSourceText(0), "-ВА005");
    h.ImpSource[0][1] = 0x81;
    EXPECT_EQ(h.ImpulseSourceText(0), "-АВ005");
    h.ImpSource[0][0] = 0;
    h.ImpSource[0][1] = 0;
    EXPECT_EQ(h.ImpulseSourceText(0), "+0");
    h.ImpSource[0][0] = 2000 & 0xFF;
    h.ImpSource[0][1] = 2000 >> 8;
    EXPECT_EQ(h.ImpulseSourceText(0), "+1000");
    h.ImpSource[0][0] = 2001 & 0xFF; // above 2000 a word reads as negative
    h.ImpSource[0][1] = 2001 >> 8;
    EXPECT_EQ(h.ImpulseSourceText(0), "-31767");
    h.ImpSource[0][0] = 64536 & 0xFF;
    h.ImpSource[0][1] = 64536 >> 8;
    EXPECT_EQ(h.ImpulseSourceText(0), "-500");
    EXPECT_EQ(h.ImpulseSourceText(32), "");
}

TEST(ImpulseSource, EveryAcceptedSourceComesBackThroughItsText)
{
    TPRPHeader h;
    for (int c = -1000; c <= 1000; ++c) {
        const QString text = (c < 0 ? QString() : QStringLiteral("+")) + QString::number(c);
        ASSERT_EQ(h.SetImpulseSource(3, text), 0) << c;
        ASSERT_EQ(h.ImpulseSourceText(3), c == 0 ? QStringLiteral("+0") : text) << c;
    }
    for (const char *form : {"+ВА", "-ВА", "+АВ", "-АВ"})
        for (int i = 0; i <= 0177; ++i) {
            const QString text =
                QString::fromUtf8(form) + QString::number(i, 8).rightJustified(3, u'0');
            ASSERT_EQ(h.SetImpulseSource(3, text), 0) << text.toStdString();
            ASSERT_EQ(h.ImpulseSourceText(3), text);
        }
}

TEST(ImpulseTick, TwoBitsPerOutputAndTheirTexts)
{
    TPRPHeader h;
    h.ImpTicks[1] = 0b11100100; // outputs 4..7: codes 0, 1, 2, 3
    EXPECT_EQ(h.ImpulseTickCode(4), 0);
    EXPECT_EQ(h.ImpulseTickCode(5), 1);
    EXPECT_EQ(h.ImpulseTickCode(6), 2);
    EXPECT_EQ(h.ImpulseTickCode(7), 3);
    EXPECT_EQ(h.ImpulseTickText(4), "0,1");
    EXPECT_EQ(h.ImpulseTickText(5), "0,2");
    EXPECT_EQ(h.ImpulseTickText(6), "0,4");
    EXPECT_EQ(h.ImpulseTickText(7), "0,8");

    // Both bits are replaced and the neighbours keep theirs.
    h.SetImpulseTickCode(6, 1);
    EXPECT_EQ(h.ImpTicks[1], 0b11010100);
    h.SetImpulseTickCode(7, 0);
    EXPECT_EQ(h.ImpTicks[1], 0b00010100);
    h.SetImpulseTickCode(31, 3);
    EXPECT_EQ(h.ImpTicks[7], 0b11000000);
    EXPECT_EQ(h.ImpulseTickCode(31), 3);
    h.SetImpulseTickCode(32, 3); // no such output: nothing changes
    for (int b = 0; b < 7; ++b)
        EXPECT_EQ(h.ImpTicks[b], b == 1 ? 0b00010100 : 0) << b;
}
