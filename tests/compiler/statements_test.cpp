// Statement instructions: switch, analog sum, timer setting, ВСК and ТС text.

#include "compilertest.h"

using Bl = TByteList;

TEST_F(CompilerTest, SwitchStatements)
{
    EXPECT_EQ(Bytes("ОТКЛ ДВ001"), (Bl{0x02, 0x01}));
    EXPECT_EQ(Bytes("ОТКЛ ДВ400"), (Bl{0x04, 0x00}));
    EXPECT_EQ(Bytes("ОТКЛ КБ7"), (Bl{0x06, 0x07}));
    EXPECT_EQ(Bytes("ОТКЛ КС101"), (Bl{0x08, 0x21}));
    EXPECT_EQ(Bytes("О ТМ77"), (Bl{0x0A, 0x3F}));
    EXPECT_EQ(Bytes("ВКЛ ДВ012"), (Bl{0x0C, 0x0A}));
    EXPECT_EQ(Bytes("В ДВ777"), (Bl{0x0E, 0xFF}));
    EXPECT_EQ(Bytes("ВКЛ КБ3"), (Bl{0x10, 0x03}));
    EXPECT_EQ(Bytes("ВКЛ КС737"), (Bl{0x12, 0xFF}));
    EXPECT_EQ(Bytes("ВКЛ ТМ37"), (Bl{0x14, 0x1F}));
    EXPECT_EQ(Bytes("вкл дв400"), (Bl{0x0E, 0x00}));
    // Indexes beyond a class's range are not reported: the low byte goes.
    EXPECT_EQ(Bytes("ВКЛ ДВ1001"), (Bl{0x0E, 0x01}));
    EXPECT_EQ(Bytes("ВКЛ КС7771"), (Bl{0x12, 0x1F})); // the three digits after the letters
    // КС is a section number: group digit and place.
    EXPECT_EQ(Bytes("ВКЛ КС077"), (Bl{0x12, 0x3F}));
    EXPECT_EQ(Bytes("ВКЛ КС377"), (Bl{0x12, 0x9F}));
}

TEST_F(CompilerTest, SwitchingAnInputWritesNothingButIsAFragment)
{
    TSectionResult r = Compile("ВКЛ ВД001 ВСК ОТКЛ ВД777");
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(r.Instructions, (Bl{0x1E}));
    EXPECT_EQ(r.FragmentCount, 3);
    r = Compile("ВКЛ ВД001");
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(r.Messages, (QStringList{"Предупреждение. Секция 000 не содержит фрагментов."}));
    EXPECT_EQ(Section.CodeLength, 0);
}

TEST_F(CompilerTest, AnalogSums)
{
    EXPECT_EQ(Bytes("АВ001 = +5"), (Bl{0x16, 0x02, 0x01, 0x0A, 0x00}));
    EXPECT_EQ(Bytes("АВ002 = -ВА003 -5"), (Bl{0x16, 0x04, 0x02, 0x06, 0x80, 0xF6, 0xFF}));
    EXPECT_EQ(Bytes("АВ177 = +АВ001 +ВА002 -АВ003 +100"),
              (Bl{0x16, 0xFE, 0x04, 0x02, 0x41, 0x04, 0x40, 0x06, 0x81, 0xC8, 0x00}));
    EXPECT_EQ(Bytes("АВ200 = +АВ200"), (Bl{0x16, 0x00, 0x01, 0x00, 0x41})); // low byte of 2i
    EXPECT_EQ(Bytes("АВ1 = -0"), (Bl{0x16, 0x02, 0x01, 0x00, 0x00}));
    EXPECT_EQ(Bytes("АВ1 = +0005"), (Bl{0x16, 0x02, 0x01, 0x0A, 0x00}));
    // Only an analog variable can be assigned: a ВА target writes nothing.
    EXPECT_EQ(Bytes("ВА001 = +5 ВСК"), (Bl{0x1E}));
}

TEST_F(CompilerTest, AnalogConstantsThatWouldReadBackAsVariablesAreRefused)
{
    // The word is 2c: high bytes 0x40, 0x41, 0x80, 0x81 mean +ВА, +АВ, -ВА, -АВ.
    EXPECT_EQ(Bytes("АВ1 = +8191"), (Bl{0x16, 0x02, 0x01, 0xFE, 0x3F}));
    EXPECT_EQ(Bytes("АВ1 = +8448"), (Bl{0x16, 0x02, 0x01, 0x00, 0x42}));
    EXPECT_EQ(Bytes("АВ1 = +16383"), (Bl{0x16, 0x02, 0x01, 0xFE, 0x7F}));
    EXPECT_EQ(Bytes("АВ1 = -16128"), (Bl{0x16, 0x02, 0x01, 0x00, 0x82}));
    EXPECT_EQ(Failure("АВ001 = +8192"), "[000.0:10]. Недопустимая константа");
    EXPECT_EQ(Failure("АВ001 = +8447"), "[000.0:10]. Недопустимая константа");
    EXPECT_EQ(Failure("АВ001 = -16129"), "[000.0:10]. Недопустимая константа");
    EXPECT_EQ(Failure("АВ001 = -16384"), "[000.0:10]. Недопустимая константа");
    EXPECT_EQ(Failure("АВ001 = +16384"), "[000.0:10]. Недопустимая константа");
    EXPECT_EQ(Failure("АВ001 = +1 +99999999999999999999"), "[000.0:13]. Недопустимая константа");
    EXPECT_EQ(Section.CodeLength, 0);
}

TEST_F(CompilerTest, TimerSettings)
{
    EXPECT_EQ(Bytes("ТМ04 = 00.05.00"), (Bl{0x18, 0x04, 0x00, 0x05, 0x00}));
    EXPECT_EQ(Bytes("ТМ04 = 1.2.3"), (Bl{0x18, 0x04, 0x03, 0x02, 0x01}));
    EXPECT_EQ(Bytes("ТМ37 = 300.0.0"), (Bl{0x18, 0x1F, 0x00, 0x00, 0x2C})); // low bytes
    EXPECT_EQ(Bytes("ТМ04 = ТМ02"), (Bl{0x1A, 0x04, 0x02}));
    EXPECT_EQ(Bytes("ТМ40 = ТМ77"), (Bl{0x1A, 0x20, 0x3F}));
    // Timers above 31 take the constant with its leading point only.
    EXPECT_EQ(Bytes("ТМ40 = .01.02.03"), (Bl{0x18, 0x20, 0x03, 0x02, 0x01}));
    EXPECT_EQ(Failure("ТМ40 = 01.02.03"), "[000.0:1. Неправильная константа времени");
    EXPECT_EQ(Failure("ТМ37 = .01.02.03"), "[000.0:1. Неправильная константа времени");
    EXPECT_EQ(Failure("ТМ40 = .1..3"), "[000.0:1. Неправильная константа времени");
    EXPECT_EQ(Failure("ТМ40 = .1.2."), "[000.0:1. Неправильная константа времени");
    EXPECT_EQ(Failure("ТМ1 = 1,5.2.3"), "[000.0:1. Неправильная константа времени");
    // The statement's first lexeme is the ТОГДА, not the timer.
    EXPECT_EQ(Failure("ЕСЛИ ВКЛ ДВ1 ТОГДА ТМ40 = 1.2.3"),
              "[000.0:14. Неправильная константа времени");
}

TEST_F(CompilerTest, Skip)
{
    EXPECT_EQ(Bytes("ВСК"), (Bl{0x1E}));
    EXPECT_EQ(Bytes("ЕСЛИ ВКЛ ДВ1 ТОГДА ВСК ИНАЧЕ ВСК"), (Bl{0x70, 0x01, 0x3E, 0x5E}));
}

TEST_F(CompilerTest, TextStatements)
{
    // А В А Р И Я, blank, field: ДВ012.
    EXPECT_EQ(Bytes("ТС1.0.1 АВАРИЯ #ДВ012#"),
              (Bl{0x1C, 0x05, 0x0B, 0x0B, 0x61, 0x77, 0x61, 0x72, 0x69, 0x71, 0x20, 0xA3, 0xFF,
                  0x01, 0x0A, 0xA3}));
    EXPECT_EQ(Bytes("ТС0.1.0 \"пуск*\""),
              (Bl{0x1C, 0x02, 0x04, 0x04, 0x70, 0x75, 0x73, 0x6B, 0xAA}));
    // Characters that several codes share take the lowest; one in no entry stays itself.
    EXPECT_EQ(Bytes("ТС0.0.0 !'\"_]^"),
              (Bl{0x1C, 0x00, 0x05, 0x05, 0x21, 0x23, 0x22, 0x5E, 0x5C, 0x5D}));
    EXPECT_EQ(Bytes("ТС1.1.0 ab|"), (Bl{0x1C, 0x06, 0x02, 0x02, 0x41, 0x42, 0x7F}));
    // Every field class, the number field, separators and "*" inside a field.
    EXPECT_EQ(Bytes("ТС0.0.0 #ВД400.ДВ400.КБ1.КС101.ТМ77.ВА7.АВ10.ИВ37/12*ДВ1.ВД1#"),
              (Bl{0x1C, 0x00, 0x22, 0x22, 0xA3, 0xFF, 0x07, 0x00, 0xFF, 0x02, 0x00, 0xFF, 0x03,
                  0x01, 0xFF, 0x04, 0x21, 0xFF, 0x05, 0x3F, 0xFF, 0x08, 0x07, 0xFF, 0x09, 0x08,
                  0xFF, 0x0A, 0x1F, 0x9B, 0x0A, 0xAA, 0xFF, 0x01, 0x01, 0xFF, 0x06, 0x01, 0xA3}));
    // The text on the next line, as the decompiler writes it; marks after ТОГДА / ИНАЧЕ.
    const TSectionResult r = Compile(
        QStringList{"00 Если В ВД001", "01 Тогда ТС1.0.0", "\"ПУСК\"", "02 Иначе ТС0.0.1", "СТОП"});
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(r.Instructions, (Bl{0x7A, 0x01, 0x3C, 0x04, 0x03, 0x03, 0x70, 0x75, 0x73, 0x6B, 0x5C,
                                  0x01, 0x03, 0x03, 0x73, 0x74, 0x6F, 0x70}));
}

TEST_F(CompilerTest, TextFieldErrorsPointAtTheFaultyCharacter)
{
    EXPECT_EQ(Failure("ТС1.1.1 Т#ДВ#"), "[000.0:11] Ошибка в тексте ТС");
    EXPECT_EQ(Failure("ТС1.1.1 \"#Х#\""), "[000.0:10] Ошибка в тексте ТС");
    EXPECT_EQ(Failure("ТС1.1.1 #ДВ1 ДВ2#"), "[000.0:13] Ошибка в тексте ТС"); // the blank
    EXPECT_EQ(Failure("ТС1.1.1 #/#"), "[000.0:10] Ошибка в тексте ТС");
    EXPECT_EQ(Failure("ТС1.1.1 #ДВ18#"), "[000.0:13] Ошибка в тексте ТС");
    // КС takes exactly three digits: a fourth one, or fewer than three, is a fault.
    EXPECT_EQ(Failure("ТС1.1.1 #КС1011#"), "[000.0:15] Ошибка в тексте ТС");
    EXPECT_EQ(Failure("ТС1.1.1 #КС10#"), "[000.0:10] Ошибка в тексте ТС");
    EXPECT_EQ(Bytes("ТС1.1.1 #КС101#"), (Bl{0x1C, 0x07, 0x04, 0x04, 0xA3, 0xFF, 0x04, 0x21, 0xA3}));
    // A text on its own line: its column is one past the end of the ТС line.
    EXPECT_EQ(Compile(QStringList{"ТС1.1.1", "#Ы#"}).Messages,
              (QStringList{"[000.1:9] Ошибка в тексте ТС"}));
}

TEST_F(CompilerTest, TextLengthAndEmptyText)
{
    const QString t64(64, QChar(u'Ж'));
    TByteList expected = {0x1C, 0x04, 0x3F, 0x3F};
    expected.insert(expected.end(), 64, 0x76);
    EXPECT_EQ(Bytes("ТС1.0.0 " + t64), expected);
    EXPECT_EQ(Failure("ТС1.0.0 " + t64 + "Ж"), "[000.0:9] Длина ТС превышает 64 символа");
    // A field encodes to three bytes: 21 fields and the two marks are 65 bytes.
    EXPECT_EQ(Failure("ТС1.0.0 #" + QString("ДВ1").repeated(21) + "#"),
              "[000.0:9] Длина ТС превышает 64 символа");
    EXPECT_EQ(Failure("ТС1.0.0 \"\""), "[000.0:9] Ошибка в тексте ТС");
    EXPECT_EQ(Failure("ТС1.0.0 '"), "[000.0:9] Ошибка в тексте ТС");
    EXPECT_EQ(Compile(QStringList{"ТС1.0.0", ""}).Messages,
              (QStringList{"[000.1:8] Ошибка в тексте ТС"}));
}
