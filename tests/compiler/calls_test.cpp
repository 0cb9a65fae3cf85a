// Algorithm calls: the call header, own memory, every parameter kind and their messages.

#include "compilertest.h"

using Bl = TByteList;

namespace {

// Call header bytes followed by the parameter bytes.
Bl Call(int n, int prpMemory, Bl params)
{
    Bl b = {0x20, static_cast<int>((2 * n) & 0xFF), prpMemory};
    b.insert(b.end(), params.begin(), params.end());
    return b;
}

} // namespace

TEST_F(CompilerTest, Kind1OnOff)
{
    EXPECT_EQ(Bytes("АЛГ001 = ВКЛ"), Call(1, 2, {0x43, 0x00}));
    EXPECT_EQ(Bytes("АЛГ001 = О"), Call(1, 2, {0x44, 0x00}));
    EXPECT_EQ(Failure("АЛГ001 = ДВ1"), "[000.0:1. Должно быть ВКЛ или ОТКЛ.");
    EXPECT_EQ(Failure("ЕСЛИ ВКЛ ДВ1 ТОГДА АЛГ001 = 5"), "[000.0:14. Должно быть ВКЛ или ОТКЛ.");
}

TEST_F(CompilerTest, Kind2Kind3DiscreteReferences)
{
    EXPECT_EQ(Bytes("АЛГ002 = ВКЛ"), Call(2, 2, {0x43, 0x00}));
    EXPECT_EQ(Bytes("АЛГ002 = ОТКЛ"), Call(2, 2, {0x44, 0x00}));
    EXPECT_EQ(Bytes("АЛГ002 = ДВ012"), Call(2, 2, {0x0A, 0xE5}));
    EXPECT_EQ(Bytes("АЛГ002 = ДВ401"), Call(2, 2, {0x01, 0xE6}));
    EXPECT_EQ(Bytes("АЛГ002 = ВД003"), Call(2, 2, {0x03, 0xE1}));
    EXPECT_EQ(Bytes("АЛГ002 = ВД377"), Call(2, 2, {0xFF, 0xE1}));
    EXPECT_EQ(Bytes("АЛГ002 = КС101"), Call(2, 2, {0x21, 0xE7}));
    EXPECT_EQ(Bytes("АЛГ002 = ТМ01"), Call(2, 2, {0xC1, 0xEE}));
    EXPECT_EQ(Bytes("АЛГ002 = ТМ77"), Call(2, 2, {0xFF, 0xEE}));
    EXPECT_EQ(Bytes("АЛГ002 = КБ1"), Call(2, 2, {0x69, 0xEF}));
    EXPECT_EQ(Failure("АЛГ002 = 5"), "[000.0:10]. Недопустимый параметр в строке ");
    EXPECT_EQ(Failure("АЛГ002 = +ВА1"), "[000.0:10]. Недопустимый параметр в строке ");

    EXPECT_EQ(Bytes("АЛГ003 = ДВ1"), Call(3, 2, {0x01, 0xE5}));
    EXPECT_EQ(Bytes("АЛГ003 = ВД1"), Call(3, 2, {0x01, 0xE1}));
    EXPECT_EQ(Failure("АЛГ003 = ВКЛ"), "[000.0:10] Недопустимый параметр в строке ");
    EXPECT_EQ(Failure("АЛГ003 = АВ1"), "[000.0:10]. Недопустимый параметр в строке ");
    EXPECT_EQ(Failure("АЛГ003 = 1.00.00"), "[000.0:10]. Недопустимый параметр в строке ");
    // A ВД reference has one code: ВД400 and above would reach the algorithm as ВД000 on.
    for (const char *call : {"АЛГ002 = ВД400", "АЛГ003 = ВД777"})
        EXPECT_EQ(Failure(call), "[000.0:10]. Недопустимый параметр в строке ") << call;
}

TEST_F(CompilerTest, Kind4DiscreteOutputs)
{
    EXPECT_EQ(Bytes("АЛГ004 = ДВ012"), Call(4, 6, {0x0A, 0xE5, 0x0A, 0xE8, 0xA6, 0xEF}));
    EXPECT_EQ(Bytes("АЛГ004 = ДВ777"), Call(4, 6, {0xFF, 0xE6, 0xFF, 0xE8, 0xA6, 0xEF}));
    EXPECT_EQ(Bytes("АЛГ004 = КС101"), Call(4, 6, {0x21, 0xE7, 0x21, 0xEA, 0xA8, 0xEF}));
    EXPECT_EQ(Bytes("АЛГ004 = ТМ77"), Call(4, 6, {0xFF, 0xEE, 0x3F, 0xEF, 0xA9, 0xEF}));
    EXPECT_EQ(Bytes("АЛГ004 = КБ7"), Call(4, 6, {0x6F, 0xEF, 0x67, 0xEF, 0xA7, 0xEF}));
    EXPECT_EQ(Failure("АЛГ004 = ВД1"),
              "[000.0:10] Недопустимый параметр в качестве выхода в строке ");
    EXPECT_EQ(Failure("АЛГ004 = ВКЛ"), "[000.0:10] Недопустимый параметр в строке ");
    EXPECT_EQ(Failure("АЛГ004 = ВА1"), "[000.0:10]. Недопустимый параметр в строке ");
}

TEST_F(CompilerTest, Kind5AnalogInputs)
{
    EXPECT_EQ(Bytes("АЛГ005 = +ВА1"), Call(5, 2, {0x02, 0x40}));
    EXPECT_EQ(Bytes("АЛГ005 = +АВ1"), Call(5, 2, {0x02, 0x41}));
    EXPECT_EQ(Bytes("АЛГ005 = -ВА177"), Call(5, 2, {0xFE, 0x80}));
    EXPECT_EQ(Bytes("АЛГ005 = -АВ2"), Call(5, 2, {0x04, 0x81}));
    EXPECT_EQ(Bytes("АЛГ005 = +100"), Call(5, 2, {0xC8, 0x00}));
    EXPECT_EQ(Bytes("АЛГ005 = -5"), Call(5, 2, {0xF6, 0xFF}));
    EXPECT_EQ(Failure("АЛГ005 = -16129"), "[000.0:11]. Недопустимая константа");
    // Without a sign: the line of the value, the column of the lexeme after it.
    EXPECT_EQ(Failure("АЛГ005 = ВА1 = ДВ1"), "[000.0:14]. Должен указыватся знак");
    EXPECT_EQ(Failure("АЛГ005 = ВА1"), "[000.0:10]. Должен указыватся знак");
    EXPECT_EQ(Compile(QStringList{"АЛГ005", "  1 ВХОД = 7", "  2 Х = 8"}).Messages,
              (QStringList{"[000.1:3]. Должен указыватся знак"}));
}

TEST_F(CompilerTest, Kinds6To9)
{
    EXPECT_EQ(Bytes("АЛГ006 = АВ3"), Call(6, 2, {0x06, 0xED}));
    EXPECT_EQ(Bytes("АЛГ006 = ВА200"), Call(6, 2, {0x00, 0xED}));
    EXPECT_EQ(Bytes("АЛГ007 = ТМ3"), Call(7, 2, {0x09, 0xEE}));
    EXPECT_EQ(Bytes("АЛГ007 = ТМ77"), Call(7, 2, {0xBD, 0xEE}));
    EXPECT_EQ(Bytes("АЛГ010 = 128"), Call(8, 1, {0x00}));
    EXPECT_EQ(Bytes("АЛГ010 = 5"), Call(8, 1, {0x05}));
    EXPECT_EQ(Bytes("АЛГ010 = 1000"), Call(8, 1, {0x68}));
    EXPECT_EQ(Bytes("АЛГ011 = 7"), Call(9, 1, {0x08}));
    EXPECT_EQ(Bytes("АЛГ011 = 255"), Call(9, 1, {0x00}));
    EXPECT_EQ(Bytes("АЛГ011 = 99999999999999999999"), Call(9, 1, {0x00}));
    // Wrong lexeme kinds: no tag, only the line of the value.
    EXPECT_EQ(Failure("АЛГ006 = ДВ1"), "Недопустимый параметр в строке 0");
    EXPECT_EQ(Failure("АЛГ007 = ДВ1"), "Недопустимый параметр в строке 0");
    EXPECT_EQ(Failure("АЛГ010 = 1.5"), "Недопустимый параметр в строке 0");
    EXPECT_EQ(Compile(QStringList{"ВСК", "АЛГ011", "  1 Р = +5"}).Messages,
              (QStringList{"Недопустимый параметр в строке 2"}));
}

TEST_F(CompilerTest, Kind10TimeConstants)
{
    EXPECT_EQ(Bytes("АЛГ012 = 00.01.00"), Call(10, 2, {0x78, 0xFF}));
    EXPECT_EQ(Bytes("АЛГ012 = 01.00.00"), Call(10, 2, {0x70, 0x05}));
    EXPECT_EQ(Bytes("АЛГ012 = 00.00.00"), Call(10, 2, {0x00, 0x00}));
    EXPECT_EQ(Bytes("АЛГ012 = 00.00.01"), Call(10, 2, {0x40, 0xFA}));
    EXPECT_EQ(Bytes("АЛГ012 = 72.14.56"), Call(10, 2, {0x7F, 0x0B}));
    EXPECT_EQ(Bytes("АЛГ012 = 0.1.40"), Call(10, 2, {0x64, 0x00}));
    EXPECT_EQ(Failure("АЛГ012 = .01.00.00"), "Недопустимый параметр в строке 0");
    EXPECT_EQ(Failure("АЛГ012 = 1,5.0.0"), "Недопустимый параметр в строке 0");
    EXPECT_EQ(Failure("АЛГ012 = 99999999999.0.0"), "Недопустимый параметр в строке 0");
    EXPECT_EQ(Failure("АЛГ012 = ТМ1"), "Недопустимый параметр в строке 0");
}

TEST_F(CompilerTest, Kinds11And12RealConstants)
{
    EXPECT_EQ(Bytes("АЛГ013 = 12,5"), Call(11, 2, {0xC8, 0x00}));
    EXPECT_EQ(Bytes("АЛГ013 = 100.0"), Call(11, 2, {0x40, 0x06}));
    EXPECT_EQ(Bytes("АЛГ013 = .5"), Call(11, 2, {0x08, 0x00}));
    EXPECT_EQ(Bytes("АЛГ013 = 0.06"), Call(11, 2, {0x00, 0x00}));   // 0.96 truncated
    EXPECT_EQ(Bytes("АЛГ013 = 0.0625"), Call(11, 2, {0x01, 0x00})); // exactly 1
    EXPECT_EQ(Bytes("АЛГ014 = 1.5"), Call(12, 1, {0xC0}));
    EXPECT_EQ(Bytes("АЛГ014 = 1.99"), Call(12, 1, {0xFE}));
    EXPECT_EQ(Bytes("АЛГ014 = 0,01"), Call(12, 1, {0x01}));
    EXPECT_EQ(Bytes("АЛГ014 = 0.0078125"), Call(12, 1, {0x01}));
    EXPECT_EQ(Bytes("АЛГ014 = 0.0078124999999999999999"), Call(12, 1, {0x00}));
    EXPECT_EQ(Failure("АЛГ013 = 12,5.3"), "Недопустимый параметр в строке 0");
    EXPECT_EQ(Failure("АЛГ014 = 5"), "Недопустимый параметр в строке 0");
}

TEST_F(CompilerTest, CallsAndTheBase)
{
    EXPECT_EQ(Bytes("АЛГ024"), Call(20, 0, {}));
    EXPECT_EQ(Bytes("АЛГ024 = 5 = 6"), Call(20, 0, {})); // values beyond the count are ignored
    EXPECT_EQ(Failure("АЛГ177"), "[000.0:1. Данный алгоритм отсутсвует в базе данных.");
    EXPECT_EQ(Failure("АЛГ777"), "[000.0:1. Данный алгоритм отсутсвует в базе данных.");
    EXPECT_EQ(Failure("АЛГ"), "[000.0:1. Данный алгоритм отсутсвует в базе данных.");
    EXPECT_EQ(Failure("Е В ДВ1 И АЛГ100"), "[000.0:9. Данный алгоритм отсутсвует в базе данных.");
    // A parameter kind the generator does not know: the base is named as the culprit.
    EXPECT_EQ(Failure("ВСК АЛГ023 = 1"),
              "[000.0:5]. Параметр 1 алгоритма 023 имеет в базе неизвестный тип 0");
    // Missing values are the end of the text: they fail the kind's test at the last lexeme.
    EXPECT_EQ(Failure("АЛГ003"), "[000.0:1]. Недопустимый параметр в строке ");
    EXPECT_EQ(Failure("АЛГ012 ДВ001"), "Недопустимый параметр в строке 0");
    // Marks.
    EXPECT_EQ(Bytes("Е В ДВ1 Т АЛГ024 И АЛГ024"),
              (Bl{0x70, 0x01, 0x40, 0x28, 0x00, 0x60, 0x28, 0x00}));

    TZentorCompiler bare;
    QStringList messages;
    bare.Messages = &messages;
    TZentorSection section;
    section.Text = QStringList{"АЛГ024"};
    EXPECT_EQ(bare.CompileSection(section, 0), -1);
    EXPECT_EQ(messages, (QStringList{"[000.0:1. Данный алгоритм отсутсвует в базе данных."}));
}

TEST_F(CompilerTest, ParameterLines)
{
    const Bl expected =
        Call(18, 17,
             {0x02, 0x40, 0x02, 0xE5, 0x03, 0xE5, 0x03, 0xE8, 0xA6, 0xEF, 0x05, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(Bytes("АЛГ022 = +ВА1 = ДВ2 = ДВ3 = 4"), expected);
    TSectionResult r = Compile(QStringList{"АЛГ022", "   1 ВХОД = +ВА001", "   2 РАЗР = ДВ002",
                                           "   3 ВЫХ = ДВ003", "   4 РЕЖ = 4"});
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(r.Instructions, expected);
    // As the decompiler writes it.
    r = Compile(QStringList{"00 АЛГ022", "   1  ВХОД=+ВА001", "   2  РАЗР=ДВ002", "   3  ВЫХ=ДВ003",
                            "   4  РЕЖ=4", "01 ВСК"});
    EXPECT_EQ(r.Result, 0);
    Bl withSkip = expected;
    withSkip.push_back(0x1E);
    EXPECT_EQ(r.Instructions, withSkip);
    // A parameter line without its number and name works as well.
    r = Compile(
        QStringList{"АЛГ022", "   1 ВХОД = +ВА001", "   = ДВ002", "   3 = ДВ003", "   4 РЕЖ = 4"});
    EXPECT_EQ(r.Instructions, expected);
}

TEST_F(CompilerTest, CallLengthComesFromTheBase)
{
    // Parameters that encode to more than the call holds are cut at its end.
    EXPECT_EQ(Bytes("АЛГ025 = ДВ1 ВСК"), (Bl{0x20, 0x2A, 0x01, 0x01, 0x1E}));
    // Own-memory bytes that do not fit are cut as well, the memory is still handed out.
    EXPECT_EQ(Bytes("АЛГ026"), (Bl{0x20, 0x2C, 0x00}));
    EXPECT_EQ(Compiler.AlgMemoryUsed, 255);

    // Unfilled bytes are 0 whatever the code area held before.
    Section = TZentorSection();
    std::fill(std::begin(Section.Code), std::end(Section.Code), 0xFF);
    Section.Text = QStringList{"АЛГ022 = +ВА1 = ДВ2 = ДВ3 = 4"};
    ASSERT_EQ(Compiler.CompileSection(Section, 0), 0);
    for (int i = 5 + 14; i < 5 + 20; ++i)
        EXPECT_EQ(Section.Code[i], 0) << i;
    EXPECT_EQ(Section.Code[25], 0); // terminator
}

TEST_F(CompilerTest, OwnMemory)
{
    Compiler.AlgMemoryUsed = 0;
    TSectionResult r = Compile("АЛГ020 = +1 АЛГ020 = -ВА1");
    EXPECT_EQ(r.Instructions, (Bl{0x20, 0x20, 0x04, 0x00, 0xFA, 0x02, 0x00, 0x20, 0x20, 0x04, 0x04,
                                  0xFA, 0x02, 0x80}));
    EXPECT_EQ(Compiler.AlgMemoryUsed, 8);
    // The counter runs on across sections of a compilation.
    r = Compile("АЛГ021 АЛГ021");
    EXPECT_EQ(r.Instructions, (Bl{0x20, 0x22, 0x02, 0x08, 0xFA, 0x20, 0x22, 0x02, 0xD0, 0xFA}));
    r = Compile("АЛГ021 АЛГ020 = +0");
    EXPECT_EQ(r.Instructions,
              (Bl{0x20, 0x22, 0x02, 0x98, 0xFB, 0x20, 0x20, 0x04, 0x60, 0xFC, 0x00, 0x00}));
    EXPECT_EQ(Compiler.AlgMemoryUsed, 612);
    // The memory is handed out before the parameters are checked.
    EXPECT_EQ(Failure("АЛГ020 = 5"), "[000.0:10]. Должен указыватся знак");
    EXPECT_EQ(Compiler.AlgMemoryUsed, 616);
}

TEST_F(CompilerTest, OwnMemoryLimit)
{
    Compiler.AlgMemoryUsed = 65535 - 4;
    EXPECT_EQ(Bytes("АЛГ020 = +1"), Call(16, 4, {0xFB, 0xF9, 0x02, 0x00}));
    EXPECT_EQ(Compiler.AlgMemoryUsed, 65535);
    EXPECT_EQ(Bytes("АЛГ024"), Call(20, 0, {})); // no own memory: no limit
    Compiler.AlgMemoryUsed = 65535 - 3;
    EXPECT_EQ(Failure("Е В ДВ1 Т АЛГ020 = +1"), "[000.0:9. Превышен объём памяти алгоритмов");
    EXPECT_EQ(Compiler.AlgMemoryUsed, 65535 - 3);
    // An undescribed algorithm is reported first.
    EXPECT_EQ(Failure("АЛГ030"), "[000.0:1. Данный алгоритм отсутсвует в базе данных.");
}
