// The section decompiler: every opcode row, ТС texts, algorithm calls with every parameter
// kind, the handling of damaged blocks, the driver, and the round trip compile -> decompile ->
// compile over generated sections.

#include "compiler/decompiler.h"

#include "compilertest.h"
#include "programgenerator.h"

#include "compiler/decompilertexts.h"
#include "core/progress.h"
#include "core/textutils.h"

#include <cstring>

namespace {

struct TDecoded
{
    bool Ok = false;
    QStringList Text;
    int Fragments = 0;
    QStringList Messages;
};

// A block of section s framed as the compiler frames it around the instruction bytes.
void FrameBlock(TZentorSection &sec, int s, const TByteList &instructions)
{
    std::memset(sec.Code, 0, sizeof sec.Code);
    const int l = 5 + static_cast<int>(instructions.size());
    sec.Code[0] = static_cast<std::uint8_t>(l);
    sec.Code[1] = static_cast<std::uint8_t>(l);
    sec.Code[2] = static_cast<std::uint8_t>(s);
    sec.Code[3] = static_cast<std::uint8_t>(s);
    for (std::size_t i = 0; i < instructions.size(); ++i)
        sec.Code[5 + i] = static_cast<std::uint8_t>(instructions[i]);
    sec.Code[4] = static_cast<std::uint8_t>((256 - ByteSum(sec.Code, l)) % 256);
    sec.CodeLength = l + 1;
}

QString Lines(const QStringList &l)
{
    return l.join(u'|');
}

} // namespace

class DecompilerTest : public CompilerTest
{
protected:
    TDecoded Decode(const TByteList &instructions, int s = 0, const TAlgBase *base = nullptr)
    {
        TZentorSection sec;
        FrameBlock(sec, s, instructions);
        return DecodeSection(sec, s, base ? base : &Base);
    }
    TDecoded DecodeSection(TZentorSection &sec, int s, const TAlgBase *base)
    {
        TDecoded d;
        sec.NeedsCompile = 1;
        d.Ok = DecompileSection(sec, s, base, d.Messages);
        d.Text = sec.Text;
        d.Fragments = sec.FragmentCount;
        EXPECT_EQ(sec.NeedsCompile, 0);
        EXPECT_EQ(sec.Modified, 1);
        return d;
    }
    // The lines of a clean decode.
    QString Text(const TByteList &instructions, int s = 0)
    {
        const TDecoded d = Decode(instructions, s);
        EXPECT_TRUE(d.Ok) << Lines(d.Messages).toStdString();
        EXPECT_TRUE(d.Messages.isEmpty());
        return Lines(d.Text);
    }
    // Compiles the lines, decodes the block, and gives the decoded lines.
    QString Back(const QStringList &source)
    {
        Compiler.AlgMemoryUsed = 0;
        const TSectionResult r = Compile(source);
        EXPECT_EQ(r.Result, 0) << Lines(r.Messages).toStdString();
        TDecoded d = DecodeSection(Section, 0, &Base);
        EXPECT_TRUE(d.Ok) << Lines(d.Messages).toStdString();
        return Lines(d.Text);
    }
    QString Back(const QString &line) { return Back(QStringList{line}); }
};

TEST_F(DecompilerTest, ExampleFragmentLines)
{
    TAlgBase base;
    base.LoadFromLines({"/ Алгоритм 012 ! Пример", "память 0 5", "1   5  Х"});
    const TDecoded d = Decode({0x70, 0x0F,                                           //
                               0x36, 0x06, 0x03, 0x02, 0x40, 0x04, 0x81, 0xC8, 0x00, //
                               0x58, 0x05, 30,   1,    0,                            //
                               0x20, 0x14, 0x02, 0x00, 0x40},
                              0, &base);
    ASSERT_TRUE(d.Ok);
    EXPECT_EQ(d.Text, QStringList({"00 Если В ДВ017", "01 Тогда АВ003 = +ВА001-АВ002+100",
                                   "02 Иначе ТМ05=00.01.30", "03 АЛГ012", "   1  Х=+ВА000"}));
    EXPECT_EQ(d.Fragments, 4);
}

TEST_F(DecompilerTest, EmptyBlockAndFragmentNumbering)
{
    const TDecoded empty = Decode({});
    EXPECT_TRUE(empty.Ok);
    EXPECT_TRUE(empty.Text.isEmpty());
    EXPECT_EQ(empty.Fragments, 0);

    TZentorSection none; // never compiled: CodeLength 0
    none.Text = QStringList{"old"};
    EXPECT_TRUE(DecodeSection(none, 0, &Base).Text.isEmpty());

    // The 65th fragment of a section is numbered 00 again (two octal digits).
    const TDecoded d = Decode(TByteList(65, 0x1E));
    ASSERT_EQ(d.Text.size(), 65);
    EXPECT_EQ(d.Text[0], "00 ВСК");
    EXPECT_EQ(d.Text[8], "10 ВСК");
    EXPECT_EQ(d.Text[63], "77 ВСК");
    EXPECT_EQ(d.Text[64], "00 ВСК");
    EXPECT_EQ(d.Fragments, 65);
}

TEST_F(DecompilerTest, SwitchStatementsWithConditionMarks)
{
    EXPECT_EQ(Text({0x02, 0x0F, 0x04, 0x01, 0x06, 0x03, 0x08, 0x21, 0x0A, 0x05}),
              "00 О ДВ017|01 О ДВ401|02 О КБ3|03 О КС101|04 О ТМ05");
    EXPECT_EQ(Text({0x0C, 0x0F, 0x0E, 0xFF, 0x10, 0x07, 0x12, 0xFF, 0x14, 0x3F}),
              "00 В ДВ017|01 В ДВ777|02 В КБ7|03 В КС737|04 В ТМ77");
    EXPECT_EQ(Text({0x22, 0x01, 0x2C, 0x02, 0x34, 0x03, 0x42, 0x01, 0x4C, 0x02, 0x54, 0x03}),
              "00 Тогда О ДВ001|01 Тогда В ДВ002|02 Тогда В ТМ03|"
              "03 Иначе О ДВ001|04 Иначе В ДВ002|05 Иначе В ТМ03");
    EXPECT_EQ(Text({0x1E, 0x3E, 0x5E}), "00 ВСК|01 Тогда ВСК|02 Иначе ВСК");
}

TEST_F(DecompilerTest, OnOffTests)
{
    EXPECT_EQ(Text({0x62, 1, 0x64, 1, 0x66, 1, 0x68, 1, 0x6A, 1, 0x6C, 1, 0x6E, 1}),
              "00 Если О ДВ001|01 Если О ДВ401|02 Если О КБ1|03 Если О КС001|04 Если О ТМ01|"
              "05 Если О ВД001|06 Если О ВД401");
    EXPECT_EQ(Text({0x70, 1, 0x72, 1, 0x74, 1, 0x76, 0x40, 0x78, 1, 0x7A, 1, 0x7C, 0xFF}),
              "00 Если В ДВ001|01 Если В ДВ401|02 Если В КБ1|03 Если В КС200|04 Если В ТМ01|"
              "05 Если В ВД001|06 Если В ВД777");
    EXPECT_EQ(Text({0x84, 0x86, 0x88}), "00 ИЛИ|01 (|02 )");
}

TEST_F(DecompilerTest, BitItemsByClass)
{
    EXPECT_EQ(Text({0x7E, 1, 017, 0x7E, 2, 0, 0x7E, 3, 5, 0x7E, 5, 014, 0x7E, 6, 3, 0x7E, 7, 1}),
              "00 Если Б ДВ017|01 Если Б ДВ400|02 Если Б КБ5|03 Если Б ТМ14|04 Если Б ВД003|"
              "05 Если Б ВД401");
    EXPECT_EQ(Text({0x7E, 8, 0177, 0x7E, 9, 1, 0x7E, 10, 2, 0x7E, 11, 2}),
              "00 Если Б ВА177|01 Если Б АВ001|02 Если Б ИВ002|03 Если Б ");
    // A КС is a section number here as everywhere.
    EXPECT_EQ(Text({0x7E, 4, 0x21}), "00 Если Б КС101");
    EXPECT_EQ(Back("ЕСЛИ Б КС101 ТОГДА ВСК"), "00 Если Б КС101|01 Тогда ВСК");
}

TEST_F(DecompilerTest, AnalogSumsAndTerms)
{
    EXPECT_EQ(Text({0x16, 0x02, 0x01, 0x0A, 0x00}), "00 АВ001 = +5");
    EXPECT_EQ(Text({0x16, 0x04, 0x02, 0x06, 0x80, 0xF6, 0xFF}), "00 АВ002 = -ВА003-5");
    EXPECT_EQ(Text({0x56, 0xFE, 0x00}), "00 Иначе АВ177 = ");
    EXPECT_EQ(TermText(0x02, 0x41), "+АВ001");
    EXPECT_EQ(TermText(0xFE, 0x81), "-АВ177");
    EXPECT_EQ(TermText(0xFE, 0x7F), "+16383");
    EXPECT_EQ(TermText(0x00, 0x00), "+0");
    EXPECT_EQ(TermText(0x02, 0x82), "-16127");
    EXPECT_EQ(TermText(0xFE, 0xFF), "-1");
    // A word of 32768 has the high byte 0x80: a negative ВА term by the term rules.
    EXPECT_EQ(TermText(0x00, 0x80), "-ВА000");
    // An odd word (never compiled) keeps its sign.
    EXPECT_EQ(TermText(0xFF, 0xFF), "-0");
}

TEST_F(DecompilerTest, TimerStatementsAndComparisons)
{
    EXPECT_EQ(Text({0x18, 0x05, 30, 1, 0, 0x18, 0x21, 5, 30, 12}),
              "00 ТМ05=00.01.30|01 ТМ41=.12.30.5");
    EXPECT_EQ(Text({0x1A, 0x01, 0x02, 0x3A, 0x3F, 0x00}), "00 ТМ01=ТМ02|01 Тогда ТМ77=ТМ00");
    EXPECT_EQ(Text({0x82, 0x01, 0x20, 0x0A, 0x00, 0x00, 0x82, 0x21, 0x40, 7, 0, 24}),
              "00 Если ТМ01 > 00.00.10|01 Если ТМ41 < .24.00.7");
    EXPECT_EQ(Text({0x82, 0x01, 0xA0, 0x02, 0x82, 0x01, 0xC0, 0x02, 0x82, 0x01, 0x80, 0x02}),
              "00 Если ТМ01 > ТМ02|01 Если ТМ01 < ТМ02|02 Если ТМ01 = ТМ02");
    EXPECT_EQ(Text({0x82, 0x01, 0x00, 1, 2, 3, 0x82, 0x01, 0x60, 1, 2, 3}),
              "00 Если ТМ01 = 03.02.01|01 Если ТМ0103.02.01");
}

TEST_F(DecompilerTest, AnalogComparisons)
{
    EXPECT_EQ(Text({0x80, 0x02, 0x01, 0x0A, 0x00}), "00 Если ВА001=+5");
    EXPECT_EQ(Text({0x80, 0x02, 0x22, 0x04, 0x40, 0xEC, 0xFF}), "00 Если ВА001>+ВА002-10");
    EXPECT_EQ(Text({0x80, 0x02, 0x41, 0x02, 0x00}), "00 Если ВА001<+1");
    EXPECT_EQ(Text({0x80, 0x04, 0x81, 0x02, 0x00, 0x80, 0x04, 0xA1, 0x02, 0x00}),
              "00 Если АВ002=+1|01 Если АВ002>+1");
    EXPECT_EQ(Text({0x80, 0x04, 0xC1, 0x02, 0x00, 0x80, 0x04, 0x61, 0x02, 0x00}),
              "00 Если АВ002<+1|01 Если 002+1");
    EXPECT_EQ(Back("ЕСЛИ АВ001 > +ВА002 -10 ИЛИ ЕСЛИ ТМ01 < 00.00.30 ТОГДА ВСК"),
              "00 Если АВ001>+ВА002-10|01 ИЛИ|02 Если ТМ01 < 00.00.30|03 Тогда ВСК");
}

TEST_F(DecompilerTest, TextInstructions)
{
    EXPECT_EQ(Back("ТС1.0.1 АВАРИЯ #ДВ012#"), "00 ТС1.0.1|АВАРИЯ #ДВ012#");
    EXPECT_EQ(Back("Е В ДВ1 ТОГДА ТС0.1.0 '#ДВ017.ТМ05#'"),
              "00 Если В ДВ001|01 Тогда ТС0.1.0|#ДВ017.ТМ05#");
    EXPECT_EQ(Back("ТС1.1.0 'Д #АВ002./002# * #ИВ03.ВА177.ВД401#'"),
              "00 ТС1.1.0|Д #АВ002./002# * #ИВ03.ВА177.ВД401#");
    // A КС field is a section number; КБ has one digit.
    EXPECT_EQ(Back("Е В ДВ1 ИНАЧЕ ТС0.0.0 '#КС101.КБ7.ДВ777#'"),
              "00 Если В ДВ001|01 Иначе ТС0.0.0|#КС101.КБ7.ДВ777#");
    // Unknown field bytes are skipped; a field left open keeps its last point.
    EXPECT_EQ(Text({0x1C, 0x07, 8, 8, 0xA3, 0x41, 0xFF, 9, 1, 0x41, 0xFF, 11, 0}),
              "00 ТС1.1.1|#АВ001..");
    EXPECT_EQ(Text({0x1C, 0x00, 0, 0, 0x41}), "00 ТС0.0.0|A");
}

TEST_F(DecompilerTest, TextsThatMustCompileBackAlike)
{
    // An empty field keeps both of its "#".
    EXPECT_EQ(Back("ТС1.0.0 'А##Б'"), "00 ТС1.0.0|А##Б");
    // Quotes at the ends of the text are protected by quotes of their own.
    EXPECT_EQ(Back("ТС1.0.0 \"'ВНИМАНИЕ'\""), "00 ТС1.0.0|''ВНИМАНИЕ''");
    EXPECT_EQ(Back("ТС1.0.0 'Б\"'"), "00 ТС1.0.0|'Б\"'");
    // Characters the controller table lacks are passed through and come back as they were.
    EXPECT_EQ(Back("ТС1.0.0 'ОБЪЕМ Ё $5'"), "00 ТС1.0.0|ОБЪЕМ Ё $5");
    EXPECT_EQ(Back("ТС1.0.0 'А\"Б'"), "00 ТС1.0.0|А\"Б");
    // Line-end bytes cannot stand in a line.
    EXPECT_EQ(Text({0x1C, 0x00, 2, 2, 0x41, 0x0D, 0x0A}), "00 ТС0.0.0|A  ");
}

TEST_F(DecompilerTest, CallParametersByKind)
{
    EXPECT_EQ(Back("АЛГ001 = ВКЛ"), "00 АЛГ001|   1  П=вкл");
    EXPECT_EQ(Back("АЛГ001 = ОТКЛ"), "00 АЛГ001|   1  П=откл");
    EXPECT_EQ(Back(QStringList{"АЛГ002 = ВКЛ", "АЛГ002 = ДВ012", "АЛГ002 = ДВ401", "АЛГ002 = ВД003",
                               "АЛГ002 = КС101", "АЛГ002 = ТМ01", "АЛГ002 = ТМ77", "АЛГ002 = КБ1"}),
              "00 АЛГ002|   1  П=вкл|01 АЛГ002|   1  П=ДВ012|02 АЛГ002|   1  П=ДВ401|"
              "03 АЛГ002|   1  П=ВД003|04 АЛГ002|   1  П=КС101|05 АЛГ002|   1  П=ТМ01|"
              "06 АЛГ002|   1  П=ТМ77|07 АЛГ002|   1  П=КБ01");
    EXPECT_EQ(Back("АЛГ003 = ВД377"), "00 АЛГ003|   1  П=ВД377");
    EXPECT_EQ(
        Back(QStringList{"АЛГ004 = ДВ777", "АЛГ004 = КС101", "АЛГ004 = ТМ77", "АЛГ004 = КБ7"}),
        "00 АЛГ004|   1  П=ДВ777|01 АЛГ004|   1  П=КС101|02 АЛГ004|   1  П=ТМ77|"
        "03 АЛГ004|   1  П=КБ07");
    EXPECT_EQ(Back(QStringList{"АЛГ005 = -ВА001", "АЛГ005 = +100", "АЛГ006 = АВ177",
                               "АЛГ007 = ТМ25", "АЛГ010 = 128", "АЛГ011 = 7"}),
              "00 АЛГ005|   1  П=-ВА001|01 АЛГ005|   1  П=+100|02 АЛГ006|   1  П=АВ177|"
              "03 АЛГ007|   1  П=ТМ25|04 АЛГ010|   1  П=0|05 АЛГ011|   1  П=7");
    EXPECT_EQ(Back(QStringList{"АЛГ012 = 00.01.00", "АЛГ012 = 01.00.00", "АЛГ012 = 00.00.00",
                               "АЛГ012 = 72.14.56"}),
              "00 АЛГ012|   1  П=00.01.00|01 АЛГ012|   1  П=00.59.44|02 АЛГ012|   1  П=00.00.00|"
              "03 АЛГ012|   1  П=72.14.56");
    EXPECT_EQ(Back(QStringList{"АЛГ013 = 12,5", "АЛГ014 = 1.5", "АЛГ014 = .25"}),
              "00 АЛГ013|   1  П=12.5|01 АЛГ014|   1  П=1.50|02 АЛГ014|   1  П=0.25");
}

TEST_F(DecompilerTest, ParameterValueTexts)
{
    EXPECT_EQ(TimeParameterText(120, 5), "01.04.00");
    EXPECT_EQ(TimeParameterText(64, 0xFA), "00.00.01");
    // lo >> (256 - hi) above 128 ...
    EXPECT_EQ(TimeParameterText(127, 0x81), "00.00.00");
    EXPECT_EQ(TimeParameterText(127, 0xFF), "00.01.03");
    // ... and lo × 2^hi up to 128, computed exactly however large.
    EXPECT_EQ(TimeParameterText(127, 128), "12004405721933106905513493095509600793.01.52");
    EXPECT_EQ(TimeParameterText(1, 100), "352125166730063722637973112.36.16");

    // Tenths and hundredths where they compile back to the same value, more digits where
    // the rounded text would not.
    EXPECT_EQ(CoefficientText(40), "2.5");
    EXPECT_EQ(CoefficientText(19), "1.2");
    EXPECT_EQ(CoefficientText(0), "0.0");
    EXPECT_EQ(CoefficientText(4), "0.3");
    EXPECT_EQ(CoefficientText(5), "0.32");
    EXPECT_EQ(CoefficientText(65535), "4095.94");
    EXPECT_EQ(ScaleText(0xC0), "1.50");
    EXPECT_EQ(ScaleText(102), "0.80");
    EXPECT_EQ(ScaleText(3), "0.03");
    EXPECT_EQ(ScaleText(255), "1.993");
    for (int v = 0; v < 65536; v += 1) {
        TSectionResult r = Compile("АЛГ013 = " + CoefficientText(std::uint16_t(v)));
        ASSERT_EQ(r.Instructions.size(), 5u);
        ASSERT_EQ(r.Instructions[3] | (r.Instructions[4] << 8), v);
        if (v > 2000)
            v += 97;
    }
    for (int v = 0; v < 256; ++v) {
        TSectionResult r = Compile("АЛГ014 = " + ScaleText(std::uint8_t(v)));
        ASSERT_EQ(r.Instructions.size(), 4u);
        ASSERT_EQ(r.Instructions[3], v);
    }
}

TEST_F(DecompilerTest, KindNineZeroReadsAs255)
{
    EXPECT_EQ(Back("АЛГ011 = 255"), "00 АЛГ011|   1  П=255");
    EXPECT_EQ(Back("АЛГ011 = 0"), "00 АЛГ011|   1  П=0");
}

TEST_F(DecompilerTest, CallsOwnMemoryAndShortOrUnknown)
{
    // Own memory: the two address bytes come before the parameters.
    EXPECT_EQ(Back(QStringList{"АЛГ020 = +5", "Е В ТМ1 ТОГДА АЛГ020 = -АВ003"}),
              "00 АЛГ020|   1  ВХОД=+5|01 Если В ТМ01|02 Тогда АЛГ020|   1  ВХОД=-АВ003");
    // Parameters of a kind the decoder does not know show no value and take no bytes.
    EXPECT_EQ(Text({0x20, 023 * 2, 2, 0, 0}), "00 АЛГ023|   1  П=");
    // A parameter whose bytes the call does not hold shows no value; the next instruction is
    // found by the call's length byte.
    EXPECT_EQ(Text({0x20, 025 * 2, 1, 0x0A, 0x1E}), "00 АЛГ025|   1  ВЫХ=|01 ВСК");
    EXPECT_EQ(Back("АЛГ022 = +5 = ДВ1 = ДВ2 = 3"),
              "00 АЛГ022|   1  ВХОД=+5|   2  РАЗР=ДВ001|   3  ВЫХ=ДВ002|   4  РЕЖ=3");
    EXPECT_EQ(Text({0x20, 024 * 2, 0, 0x60, 024 * 2, 0}), "00 АЛГ024|01 Иначе АЛГ024");
    // An algorithm the base lacks keeps its bytes visible on a comment line.
    EXPECT_EQ(Text({0x20, 0177 * 2, 3, 0x0A, 0xE5, 0xFF, 0x1E}),
              "00 АЛГ177|   ! байты вызова: 0A E5 FF |01 ВСК");
    EXPECT_EQ(Text({0x40, 0100 * 2, 0}), "00 Тогда АЛГ100|   ! байты вызова: ");
    TAlgBase empty;
    EXPECT_EQ(Lines(Decode({0x20, 2, 2, 0x43, 0}, 0, &empty).Text),
              "00 АЛГ001|   ! байты вызова: 43 00 ");
    TZentorSection sec;
    FrameBlock(sec, 0, {0x20, 2, 2, 0x43, 0});
    QStringList messages;
    EXPECT_TRUE(DecompileSection(sec, 0, nullptr, messages));
    EXPECT_EQ(sec.Text.value(1), "   ! байты вызова: 43 00 ");
}

TEST_F(DecompilerTest, BlockEndingInsideAnInstruction)
{
    const QString tag = QStringLiteral("Ошибка декомпиляции секции 101: блок кода обрывается "
                                       "внутри инструкции на смещении ");
    struct TCase
    {
        TByteList Bytes;
        QString Text;
        int Offset;
    };
    const TCase cases[] = {
        {{0x0C}, "", 5},
        {{0x1E, 0x70}, "00 ВСК", 6},
        {{0x1E, 0x16, 0x02, 0x02, 0x0A, 0x00}, "00 ВСК", 6},
        {{0x18, 1, 2, 3}, "", 5},
        {{0x1A, 1}, "", 5},
        {{0x7E, 1}, "", 5},
        {{0x80, 2, 0x03, 2, 0, 2, 0}, "", 5},
        {{0x82, 1, 0x20, 1, 2}, "", 5},
        {{0x82, 1, 0xA0}, "", 5},
        {{0x1C, 0, 3, 3, 0x41, 0x41}, "", 5},
        {{0x84, 0x20, 2, 5, 0x43}, "00 ИЛИ", 6},
        {{0x20, 2, 0xFF}, "", 5},
    };
    for (const TCase &c : cases) {
        const TDecoded d = Decode(c.Bytes, 041);
        EXPECT_FALSE(d.Ok) << c.Text.toStdString();
        EXPECT_EQ(Lines(d.Text), c.Text);
        EXPECT_EQ(d.Fragments, int(d.Text.size()));
        EXPECT_EQ(d.Messages, QStringList{tag + QString::number(c.Offset)});
    }
    // The terminator belongs to no instruction: an operand that would be it is missing.
    TZentorSection sec;
    FrameBlock(sec, 0, {0x1E, 0x0C});
    EXPECT_FALSE(DecodeSection(sec, 0, &Base).Ok);
    // A CodeLength beyond the code area reads nothing past it.
    FrameBlock(sec, 0, {0x1E});
    sec.CodeLength = 100000;
    std::memset(sec.Code + 6, 0x1E, 504);
    sec.Code[510] = 0x0C;
    const TDecoded big = DecodeSection(sec, 0, &Base);
    EXPECT_FALSE(big.Ok);
    EXPECT_EQ(big.Messages.value(0), "Ошибка декомпиляции секции 000: блок кода обрывается "
                                     "внутри инструкции на смещении 510");
}

TEST_F(DecompilerTest, UnknownOpcodeStopsTheSection)
{
    const TDecoded d = Decode({0x1E, 0x23, 0x1E}, 127);
    EXPECT_FALSE(d.Ok);
    EXPECT_EQ(d.Text, QStringList({"00 ВСК", "01 Тогда "}));
    EXPECT_EQ(d.Fragments, 2);
    EXPECT_EQ(d.Messages,
              QStringList{"Ошибка декомпиляции секции 337: неизвестный код 23 на смещении 6"});
    EXPECT_EQ(Lines(Decode({0x8A}).Text), "00 ");
    EXPECT_EQ(Decode({0x8A}).Messages.value(0),
              "Ошибка декомпиляции секции 000: неизвестный код 8A на смещении 5");
    EXPECT_EQ(Lines(Decode({0x6B, 1}).Text), "00 Если ");
    EXPECT_EQ(Lines(Decode({0xFF}).Text), "00 ");
    EXPECT_EQ(Lines(Decode({0x01}).Text), "00 ");
}

TEST_F(DecompilerTest, DriverDecompilesHeaderAndPresentSections)
{
    struct TRecorder : TProgress
    {
        QStringList Calls;
        void SetCaption(const QString &c) override { Calls << "caption " + c; }
        void SetMaximum(int m) override { Calls << QStringLiteral("max %1").arg(m); }
        void SetPosition(int p) override { Calls << QStringLiteral("pos %1").arg(p); }
        void SetAction(const QString &a) override { Calls << "action " + a; }
        void Show() override { Calls << "show"; }
        void Hide() override { Calls << "hide"; }
    } progress;
    auto program = std::make_unique<TZentorProgram>();
    FrameBlock(program->Sections[0], 0, {0x1E});
    FrameBlock(program->Sections[041], 041, {0x0C, 1, 0x23});
    program->MarkPresent(041);
    program->Sections[3].Text = QStringList{"не тронуто"};
    Messages.clear();
    EXPECT_EQ(DecompileProgram(Compiler, *program, progress), 1);
    EXPECT_EQ(Messages, QStringList({"Декомпиляция секции 000", "Декомпиляция секции 101",
                                     "Ошибка декомпиляции секции 101: неизвестный код 23 на "
                                     "смещении 7"}));
    EXPECT_EQ(progress.Calls, QStringList({"caption Декомпиляция ПрП", "max 65", "pos 0", "show",
                                           "action Декомпиляция заголовка ПрП", "pos 1",
                                           "action Декомпиляция секции 000", "pos 34",
                                           "action Декомпиляция секции 101", "hide"}));
    EXPECT_EQ(program->Sections[0].Text, QStringList{"00 ВСК"});
    EXPECT_EQ(program->Sections[0].CompiledOk, 1);
    EXPECT_EQ(program->Sections[041].CompiledOk, 0);
    EXPECT_EQ(program->Sections[3].Text, QStringList{"не тронуто"});
    EXPECT_EQ(program->Header.Text.value(0), "/ ЗАКАЗ ПЕРЕМЕННЫХ");
    EXPECT_EQ(program->Header.Valid, 1);
}

// compile -> decompile -> compile gives the same block, for generated sections over both
// the test catalogue and the example catalogue.
TEST_F(DecompilerTest, GeneratedSectionsRoundTrip)
{
    TAlgBase demoBase;
    ASSERT_TRUE(demoBase.LoadFromFile(QStringLiteral(ZENTOR_SOURCE_DIR "/examples/BaseAlgs.alg")));
    ASSERT_GT(demoBase.Count, 20);
    int checked = 0;
    for (unsigned seed = 1; seed <= 600; ++seed) {
        const TAlgBase &base = seed % 2 ? Base : demoBase;
        Compiler.AlgBase = &base;
        TProgramGenerator gen(seed, base);
        QStringList text;
        TSectionResult first;
        const int wanted = 1 + gen.Pick(30);
        for (int k = 0; k < wanted; ++k) {
            QStringList more = text;
            more.append(gen.Piece());
            Compiler.AlgMemoryUsed = seed * 7;
            const TSectionResult r = Compile(more, int(seed % 256));
            if (r.Result != 0)
                break;
            text = more;
            first = r;
        }
        if (first.Block.empty())
            continue;
        Compiler.AlgMemoryUsed = seed * 7;
        first = Compile(text, int(seed % 256));
        TZentorSection sec = Section;
        const TDecoded d = DecodeSection(sec, int(seed % 256), &base);
        ASSERT_TRUE(d.Ok) << Lines(d.Messages).toStdString();
        Compiler.AlgMemoryUsed = seed * 7;
        const TSectionResult again = Compile(d.Text, int(seed % 256));
        ASSERT_EQ(again.Result, 0) << "seed " << seed << "\n"
                                   << text.join(u'\n').toStdString() << "\n--\n"
                                   << d.Text.join(u'\n').toStdString() << "\n"
                                   << Lines(again.Messages).toStdString();
        ASSERT_EQ(again.Block, first.Block) << "seed " << seed << "\n"
                                            << text.join(u'\n').toStdString() << "\n--\n"
                                            << d.Text.join(u'\n').toStdString();
        ++checked;
    }
    Compiler.AlgBase = &Base;
    EXPECT_GT(checked, 550);
}
