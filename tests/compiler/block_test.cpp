// The block frame, its checksum, the limits and the section-level results.

#include "compilertest.h"

using Bl = TByteList;

TEST_F(CompilerTest, BlockFrameAndChecksum)
{
    TSectionResult r = Compile("ВСК", 33);
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(r.Block, (Bl{0x06, 0x06, 0x21, 0x21, 0x94, 0x1E, 0x00}));
    EXPECT_EQ(Section.CodeLength, 7);
    EXPECT_EQ(Section.FragmentCount, 1);
    EXPECT_EQ(Section.NeedsCompile, 0);
    EXPECT_TRUE(r.Messages.isEmpty());
    // A sum that carries around several times.
    r = Compile("ЕСЛИ ВКЛ ДВ777 ТОГДА ВКЛ ДВ777", 255);
    EXPECT_EQ(r.Block, (Bl{0x09, 0x09, 0xFF, 0xFF, 0x4E, 0x72, 0xFF, 0x2E, 0xFF, 0x00}));
    EXPECT_EQ(Section.FragmentCount, 2);
}

TEST_F(CompilerTest, SectionWithoutInstructions)
{
    TSectionResult r = Compile(QStringList{"! только пояснения", "; и ещё", "00"}, 8);
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(r.Messages, (QStringList{"Предупреждение. Секция 010 не содержит фрагментов."}));
    EXPECT_EQ(Section.CodeLength, 0);
    EXPECT_EQ(Section.FragmentCount, 0);
    EXPECT_EQ(Section.NeedsCompile, 1); // kept: there is nothing to keep it for
    r = Compile(QStringList{}, 255);
    EXPECT_EQ(r.Messages, (QStringList{"Предупреждение. Секция 737 не содержит фрагментов."}));
}

TEST_F(CompilerTest, BlockLengthLimit)
{
    // 5 + (3 + 2 * 123) + 1 = 255 bytes: the longest block, byte 0 = 255.
    TSectionResult r = Compile("АВ1 =" + QString(" +1").repeated(123) + " ВСК");
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(Section.CodeLength, 256);
    EXPECT_EQ(r.Block[0], 0xFF);
    EXPECT_EQ(r.Block[1], 0xFF);
    EXPECT_EQ(r.Block[255], 0x00);
    // One term more: checked after the sum, at the lookahead that ended it.
    EXPECT_EQ(Failure("АВ1 =" + QString(" +1").repeated(124) + " ВСК"),
              "[000.0:379]. Превышен размер секции, 256 байт");
    EXPECT_EQ(Section.CodeLength, 0);
    // Far beyond the code area: reported with the true length, nothing written outside.
    EXPECT_EQ(Failure("АВ1 =" + QString(" +1").repeated(300)),
              "[000.0:905]. Превышен размер секции, 608 байт");
    // A long call at the end.
    QStringList lines;
    for (int i = 0; i < 50; ++i)
        lines.append("АЛГ004 = ДВ1");
    r = Compile(lines);
    EXPECT_EQ(r.Messages, (QStringList{"[000.28:1]. Превышен размер секции, 257 байт"}));
}

TEST_F(CompilerTest, FragmentLimit)
{
    QStringList lines;
    for (int i = 0; i < 64; ++i)
        lines.append("ВСК");
    TSectionResult r = Compile(lines);
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(Section.FragmentCount, 64);
    lines.append("ВСК");
    r = Compile(lines);
    EXPECT_EQ(r.Result, -1);
    EXPECT_EQ(r.Messages, (QStringList{"[000.64:1]. Слишком много фрагментов, 65 фрагментов"}));
    EXPECT_EQ(Section.CodeLength, 0);
    lines.append("ВСК");
    EXPECT_EQ(Compile(lines).Messages,
              (QStringList{"[000.65:1]. Слишком много фрагментов, 65 фрагментов"}));
    // A switch of an input writes nothing but is a fragment all the same.
    lines = QStringList{QString("ВКЛ ВД1 ").repeated(65)};
    EXPECT_EQ(Compile(lines).Messages,
              (QStringList{"[000.0:517]. Слишком много фрагментов, 65 фрагментов"}));
}

TEST_F(CompilerTest, FailuresLeaveNoBlock)
{
    ASSERT_EQ(Compile("ВСК").Result, 0);
    Section.Text = QStringList{"ВСК ВКЛ ДВ1", "ТМ40 = 1.2.3"};
    Messages.clear();
    EXPECT_EQ(Compiler.CompileSection(Section, 0), -1);
    EXPECT_EQ(Section.CodeLength, 0);
    EXPECT_EQ(Section.FragmentCount, 0);
    EXPECT_EQ(Section.NeedsCompile, 0); // from the earlier success; the driver keeps CompiledOk

    // A lexical failure leaves the previous block as it was.
    ASSERT_EQ(Compile("ВСК", 33).Result, 0);
    const Bl before = Bl(Section.Code, Section.Code + Section.CodeLength);
    Section.Text = QStringList{"ВКЛ ДВ1", "ВКЛ ДВ8"};
    Messages.clear();
    EXPECT_EQ(Compiler.CompileSection(Section, 33), 1);
    EXPECT_EQ(Messages,
              (QStringList{"[101.1:5] Ошибка в строке 1 в позиции 5", "Недопустимое слово ДВ8"}));
    EXPECT_EQ(Bl(Section.Code, Section.Code + Section.CodeLength), before);
}

TEST_F(CompilerTest, MaximaAndSummary)
{
    Compile("ВКЛ ДВ017 ВКЛ ДВ5 ВКЛ ВД777");
    Compile("ЕСЛИ ТМ100 > ТМ1 ТОГДА АВ3 = +ВА12");
    Compile("ВКЛ ДВ20 ВКЛ ДВ8"); // lexical failure: what was scanned before it counts
    EXPECT_EQ(Compiler.MaxDV, 16);
    EXPECT_EQ(Compiler.SummaryLines(),
              (QStringList{"Сведения о переменных", "  максимальный индекс ВД: 777;",
                           "  максимальный индекс ДВ: 020;", "  максимальный индекс ВА: 012;",
                           "  максимальный индекс АВ: 003;", "  максимальный индекс ТМ: 00.",
                           "Использовано 0 байт памяти алгоритмов"}));
}

TEST_F(CompilerTest, MacrosFromTheHeader)
{
    Compiler.Macros.Add("НАСОС", "ДВ012");
    Compiler.Macros.Add("ВКЛНАСОС", "ВКЛ НАСОС");
    EXPECT_EQ(Bytes("ВКЛНАСОС ЕСЛИ ОТКЛ НАСОС ТОГДА ВСК"), (Bl{0x0C, 0x0A, 0x62, 0x0A, 0x3E}));
    EXPECT_EQ(Compiler.MaxDV, 10);
    // Positions of later lexemes are those of the line after replacement.
    EXPECT_EQ(Failure("НАСОС ВСК"), "[000.0:1] Синтаксическая ошибка в строке 0 в позиции 1");
    EXPECT_EQ(Failure("ВКЛНАСОС 5"), "[000.0:11] Синтаксическая ошибка в строке 0 в позиции 11");
}
