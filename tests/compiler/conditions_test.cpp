// Condition items and the marks of conditional statements.

#include "compilertest.h"

using Bl = TByteList;

namespace {

// The condition's bytes: the ТОГДА ВСК that completes it (0x3E) is checked and dropped.
Bl Condition(Bl bytes)
{
    EXPECT_FALSE(bytes.empty());
    if (!bytes.empty()) {
        EXPECT_EQ(bytes.back(), 0x3E);
        bytes.pop_back();
    }
    return bytes;
}

} // namespace

TEST_F(CompilerTest, OnOffTests)
{
    auto item = [&](const QString &c) { return Condition(Bytes("ЕСЛИ " + c + " ТОГДА ВСК")); };
    EXPECT_EQ(item("ОТКЛ ДВ001"), (Bl{0x62, 0x01}));
    EXPECT_EQ(item("О ДВ400"), (Bl{0x64, 0x00}));
    EXPECT_EQ(item("О КБ1"), (Bl{0x66, 0x01}));
    EXPECT_EQ(item("О КС101"), (Bl{0x68, 0x21}));
    EXPECT_EQ(item("О ТМ77"), (Bl{0x6A, 0x3F}));
    EXPECT_EQ(item("О ВД001"), (Bl{0x6C, 0x01}));
    EXPECT_EQ(item("ОТКЛ ВД777"), (Bl{0x6E, 0xFF}));
    EXPECT_EQ(item("ВКЛ ДВ001"), (Bl{0x70, 0x01}));
    EXPECT_EQ(item("В ДВ777"), (Bl{0x72, 0xFF}));
    EXPECT_EQ(item("В КБ7"), (Bl{0x74, 0x07}));
    EXPECT_EQ(item("В КС737"), (Bl{0x76, 0xFF}));
    EXPECT_EQ(item("В ТМ1"), (Bl{0x78, 0x01}));
    EXPECT_EQ(item("В ВД1"), (Bl{0x7A, 0x01}));
    EXPECT_EQ(item("В ВД400"), (Bl{0x7C, 0x00}));
}

TEST_F(CompilerTest, BitItems)
{
    auto item = [&](const QString &c) { return Condition(Bytes("ЕСЛИ Б " + c + " ТОГДА ВСК")); };
    EXPECT_EQ(item("ДВ012"), (Bl{0x7E, 0x01, 0x0A}));
    EXPECT_EQ(item("ДВ400"), (Bl{0x7E, 0x02, 0x00}));
    EXPECT_EQ(item("КБ1"), (Bl{0x7E, 0x03, 0x01}));
    EXPECT_EQ(item("КС101"), (Bl{0x7E, 0x04, 0x21}));
    EXPECT_EQ(item("ТМ7"), (Bl{0x7E, 0x05, 0x07}));
    EXPECT_EQ(item("ВД1"), (Bl{0x7E, 0x06, 0x01}));
    EXPECT_EQ(item("ВД777"), (Bl{0x7E, 0x07, 0xFF}));
    EXPECT_EQ(item("ВА3"), (Bl{0x7E, 0x08, 0x03}));
    EXPECT_EQ(item("АВ177"), (Bl{0x7E, 0x09, 0x7F}));
    // The item carries the first three digits of the index only.
    EXPECT_EQ(item("ДВ1001"), (Bl{0x7E, 0x01, 0x40}));
    EXPECT_EQ(item("ВД7777"), (Bl{0x7E, 0x07, 0xFF}));
}

TEST_F(CompilerTest, AnalogComparisons)
{
    auto item = [&](const QString &c) { return Condition(Bytes("ЕСЛИ " + c + " ТОГДА ВСК")); };
    EXPECT_EQ(item("ВА001 = +1"), (Bl{0x80, 0x02, 0x01, 0x02, 0x00}));
    EXPECT_EQ(item("ВА001 > +1"), (Bl{0x80, 0x02, 0x21, 0x02, 0x00}));
    EXPECT_EQ(item("ВА001 < +1"), (Bl{0x80, 0x02, 0x41, 0x02, 0x00}));
    EXPECT_EQ(item("АВ002 = -ВА1"), (Bl{0x80, 0x04, 0x81, 0x02, 0x80}));
    EXPECT_EQ(item("АВ002 > +АВ1 -АВ2"), (Bl{0x80, 0x04, 0xA2, 0x02, 0x41, 0x04, 0x81}));
    EXPECT_EQ(item("АВ002 < -10"), (Bl{0x80, 0x04, 0xC1, 0xEC, 0xFF}));
    EXPECT_EQ(Failure("ЕСЛИ АВ1 > +8192 ТОГДА ВСК"), "[000.0:13]. Недопустимая константа");
}

TEST_F(CompilerTest, ComparisonTermsShareTheirByteWithTheRelation)
{
    const QString fifteen = QString(" +1").repeated(15);
    Bl expected = {0x80, 0x02, 0xCF};
    for (int i = 0; i < 15; ++i)
        expected.insert(expected.end(), {0x02, 0x00});
    EXPECT_EQ(Condition(Bytes("ЕСЛИ АВ1 <" + fifteen + " ТОГДА ВСК")), expected);
    EXPECT_EQ(Failure("ВСК ЕСЛИ АВ1 <" + fifteen + " -1 ТОГДА ВСК"),
              "[000.0:5]. Слишком много слагаемых в сравнении");
    // The count is checked before the terms.
    EXPECT_EQ(Failure("ЕСЛИ АВ1 <" + fifteen + " +8192 ТОГДА ВСК"),
              "[000.0:1]. Слишком много слагаемых в сравнении");
    // A sum has a byte of its own for the count.
    const TSectionResult r = Compile("АВ1 =" + QString(" +1").repeated(20));
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(r.Instructions[2], 20);
}

TEST_F(CompilerTest, TimerComparisons)
{
    EXPECT_EQ(Bytes("ЕСЛИ ТМ01 > 00.00.10 ТОГДА ВКЛ ДВ002"),
              (Bl{0x82, 0x01, 0x20, 0x0A, 0x00, 0x00, 0x2C, 0x02}));
    EXPECT_EQ(Condition(Bytes("ЕСЛИ ТМ01 < 1.2.3 ТОГДА ВСК")),
              (Bl{0x82, 0x01, 0x40, 0x03, 0x02, 0x01}));
    EXPECT_EQ(Condition(Bytes("ЕСЛИ ТМ77 < .1.2.3 ТОГДА ВСК")),
              (Bl{0x82, 0x3F, 0x40, 0x03, 0x02, 0x01}));
    EXPECT_EQ(Condition(Bytes("ЕСЛИ ТМ01 > ТМ02 ТОГДА ВСК")), (Bl{0x82, 0x01, 0xA0, 0x02}));
    EXPECT_EQ(Condition(Bytes("ЕСЛИ ТМ01 < ТМ77 ТОГДА ВСК")), (Bl{0x82, 0x01, 0xC0, 0x3F}));
    EXPECT_EQ(Failure("ЕСЛИ ТМ40 > 00.00.10 ТОГДА ВСК"),
              "[000.0:1]. Неправильная константа времени");
    EXPECT_EQ(Failure("ВСК Е ТМ1 > .0.0.10 Т ВСК"), "[000.0:5]. Неправильная константа времени");
    EXPECT_EQ(Failure("Е ТМ1 > 1,5.0.0 Т ВСК"), "[000.0:1]. Неправильная константа времени");
}

TEST_F(CompilerTest, ConditionStructure)
{
    EXPECT_EQ(Bytes("ЕСЛИ АВ001 > +ВА002 -10 ИЛИ ЕСЛИ ТМ01 < 00.00.30 ТОГДА ВСК"),
              (Bl{0x80, 0x02, 0xA2, 0x04, 0x40, 0xEC, 0xFF, 0x84, 0x82, 0x01, 0x40, 0x1E, 0x00,
                  0x00, 0x3E}));
    EXPECT_EQ(Bytes("( ЕСЛИ ВКЛ ВД001 ИЛИ ЕСЛИ ВКЛ ВД002 ) ЕСЛИ Б ДВ003 ТОГДА ВКЛ ДВ004"),
              (Bl{0x86, 0x7A, 0x01, 0x84, 0x7A, 0x02, 0x88, 0x7E, 0x01, 0x03, 0x2C, 0x04}));
    EXPECT_EQ(Bytes("((Е В ВД1)) Т ВСК"), (Bl{0x86, 0x86, 0x7A, 0x01, 0x88, 0x88, 0x3E}));
}

TEST_F(CompilerTest, MarksOfConditionalStatements)
{
    // Only the statement right after ТОГДА / ИНАЧЕ is conditional.
    EXPECT_EQ(Bytes("ЕСЛИ ВКЛ ВД001 ТОГДА ВКЛ ДВ001 ВКЛ ДВ002"),
              (Bl{0x7A, 0x01, 0x2C, 0x01, 0x0C, 0x02}));
    EXPECT_EQ(Bytes("ЕСЛИ ВКЛ ВД001 ТОГДА ВКЛ ДВ002 ИНАЧЕ ОТКЛ ДВ002"),
              (Bl{0x7A, 0x01, 0x2C, 0x02, 0x42, 0x02}));
    EXPECT_EQ(Bytes("Е В ВД1 Т АВ1 = +1 И АВ1 = -1"),
              (Bl{0x7A, 0x01, 0x36, 0x02, 0x01, 0x02, 0x00, 0x56, 0x02, 0x01, 0xFE, 0xFF}));
    EXPECT_EQ(Bytes("Е В ВД1 Т ТМ1 = 0.0.1 И ТМ1 = ТМ2 Т О ТМ3"),
              (Bl{0x7A, 0x01, 0x38, 0x01, 0x01, 0x00, 0x00, 0x5A, 0x01, 0x02, 0x2A, 0x03}));
    EXPECT_EQ(Bytes("Е В ВД1 И ВКЛ КС101 Т ВКЛ ВД2 И В КБ1"),
              (Bl{0x7A, 0x01, 0x52, 0x21, 0x50, 0x01}));
}
