#include "compiler/algbase.h"
#include "core/textfile.h"

#include <QDir>
#include <QTemporaryDir>

#include "qtprint.h"

#include <gtest/gtest.h>

namespace {

const QStringList kRecord = {
    QStringLiteral("/ Алгоритм 012 ! Регулятор"),
    QStringLiteral("память 4 12"),
    QStringLiteral("1   5  ВХОД     ! вход регулятора"),
};

} // namespace

TEST(AlgBase, ReadsTheRecordAsTheWriterWritesIt)
{
    TAlgBase base;
    base.LoadFromLines(kRecord);
    EXPECT_EQ(base.Count, 1);
    const TAlgInfo *a = base.Find(10);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Name, " Регулятор"); // the blank after "!" belongs to the name
    EXPECT_EQ(a->OwnMemory, 4);
    EXPECT_EQ(a->PrpMemory, 9);
    EXPECT_EQ(a->ParamCount, 1);
    EXPECT_EQ(a->Params[1].Kind, 5);
    EXPECT_EQ(a->Params[1].Name, "ВХОД");
    EXPECT_EQ(a->Params[1].Comment, " вход регулятора");
    EXPECT_EQ(base.Find(11), nullptr);
    EXPECT_EQ(base.Find(-1), nullptr);
    EXPECT_EQ(base.Find(128), nullptr);
}

TEST(AlgBase, WriterLayout)
{
    TAlgBase base;
    TAlgInfo &a = base.Algs[10];
    a.Present = 1;
    a.Name = "Регулятор";
    a.OwnMemory = 4;
    a.PrpMemory = 9;
    a.ParamCount = 2;
    a.Params[1] = {5, "ВХОД", "вход регулятора"};
    a.Params[2] = {12, "КМАСШ", "масштаб"};
    TAlgInfo &b = base.Algs[127];
    b.Present = 1;
    b.ParamCount = 10;
    for (int i = 1; i <= 10; ++i)
        b.Params[i] = {static_cast<std::uint8_t>(i), "P", ""};
    const QStringList lines = base.ToLines();
    ASSERT_EQ(lines.size(), 4 + 2 + 10);
    EXPECT_EQ(lines[0], "/ Алгоритм 012 ! Регулятор");
    EXPECT_EQ(lines[1], "память 4 12");
    EXPECT_EQ(lines[2], "1   5  ВХОД     ! вход регулятора");
    EXPECT_EQ(lines[3], "2   12 КМАСШ    ! масштаб");
    EXPECT_EQ(lines[4], "/ Алгоритм 177 ! ");
    EXPECT_EQ(lines[5], "память 0 3");
    EXPECT_EQ(lines[15], "10  10 P        ! ");

    // What was written reads back the same (names gain the blank after "!").
    TAlgBase again;
    again.LoadFromLines(lines);
    EXPECT_EQ(again.Count, 2);
    EXPECT_EQ(again.Algs[10].Name, " Регулятор");
    EXPECT_EQ(again.Algs[10].Params[2].Kind, 12);
    EXPECT_EQ(again.Algs[10].Params[2].Name, "КМАСШ");
    EXPECT_EQ(again.Algs[127].ParamCount, 10);
    EXPECT_EQ(again.Algs[127].Params[10].Kind, 10);
    EXPECT_EQ(again.SkippedLines, 0);
}

TEST(AlgBase, LineShapes)
{
    TAlgBase base;
    base.LoadFromLines({
        QStringLiteral("Строки до первого алгоритма не читаются"),
        QStringLiteral("1   5  ЛИШНИЙ"),
        QStringLiteral("/ комментарий без слова"),
        QStringLiteral("/АлГоРиТм    3 ! малые буквы"), // "3 !" are the three characters
        QStringLiteral("/ алгоритм 003 ! Счётчик"),
        QStringLiteral("ПАМЯТЬ   12   40"),
        QStringLiteral(""),
        QStringLiteral("   "),
        QStringLiteral("1 3 СЧЁТНЫЙВХОД ! вход"),
        QStringLiteral("2   11 K"),
        QStringLiteral("/ просто строка"),
        QStringLiteral("7   8  Ц"),
    });
    // "3 !" is not octal: that algorithm line and nothing after it until the next one.
    EXPECT_EQ(base.SkippedLines, 1);
    EXPECT_EQ(base.Count, 1);
    const TAlgInfo &a = base.Algs[3];
    EXPECT_EQ(a.Present, 1);
    EXPECT_EQ(a.Name, " Счётчик");
    EXPECT_EQ(a.OwnMemory, 12);
    EXPECT_EQ(a.PrpMemory, 37);
    EXPECT_EQ(a.ParamCount, 3);
    EXPECT_EQ(a.Params[1].Kind, 3);
    EXPECT_EQ(a.Params[1].Name, "СЧЁТН"); // cut to five characters
    EXPECT_EQ(a.Params[1].Comment, " вход");
    EXPECT_EQ(a.Params[2].Kind, 11);
    EXPECT_EQ(a.Params[2].Name, "K");
    EXPECT_EQ(a.Params[7].Kind, 8); // the number places the parameter, the count grows by one
}

TEST(AlgBase, LinesOutsideTheArraysAreSkippedAndCounted)
{
    TAlgBase base;
    QStringList lines = {
        QStringLiteral("/ Алгоритм 200 ! вне таблицы"),
        QStringLiteral("память 1 5"),
        QStringLiteral("1   5  А"),
        QStringLiteral("/ Алгоритм 177 ! последний"),
        QStringLiteral("память 300 5"), // own memory does not fit a byte
        QStringLiteral("память 1 2"),   // a call is at least 3 bytes long
        QStringLiteral("20  5  Б"),     // parameter number above 19
        QStringLiteral("х   5  В"),     // no number
    };
    for (int i = 0; i < 20; ++i)
        lines.append(QStringLiteral("1   1  Г"));
    base.LoadFromLines(lines);
    EXPECT_EQ(base.Count, 1);
    EXPECT_EQ(base.Find(127)->ParamCount, 19);
    EXPECT_EQ(base.Find(127)->OwnMemory, 0);
    EXPECT_EQ(base.Find(127)->PrpMemory, 0);
    EXPECT_EQ(base.SkippedLines, 3 + 2 + 1 + 1 + 1);
}

TEST(AlgBase, ClearAndLoadAgainCountsTheLastFileOnly)
{
    TAlgBase base;
    base.LoadFromLines(kRecord);
    base.LoadFromLines(kRecord);
    EXPECT_EQ(base.Count, 2); // callers clear first
    base.Clear();
    EXPECT_EQ(base.Count, 0);
    EXPECT_EQ(base.Find(10), nullptr);
    EXPECT_EQ(base.Algs[10].Params[1].Kind, 0);
    EXPECT_TRUE(base.Algs[10].Name.isEmpty());
    base.LoadFromLines(kRecord);
    EXPECT_EQ(base.Count, 1);
}

TEST(AlgBase, Files)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TAlgBase base;
    base.LoadFromLines(kRecord);
    QString error;
    const QString path = dir.filePath("base.alg");
    ASSERT_TRUE(base.SaveToFile(path, &error)) << error.toStdString();

    QByteArray bytes;
    ASSERT_TRUE(ReadBinaryFile(path, bytes, error));
    EXPECT_TRUE(bytes.startsWith("/ \xC0\xEB\xE3\xEE\xF0\xE8\xF2\xEC 012 !  \xD0")); // Windows-1251
    EXPECT_TRUE(bytes.contains("\r\n"));

    TAlgBase loaded;
    EXPECT_TRUE(loaded.LoadFromFile(path, &error));
    EXPECT_EQ(loaded.Count, 1);
    EXPECT_EQ(loaded.Find(10)->PrpMemory, 9);

    // A missing file changes nothing and is no error.
    EXPECT_TRUE(loaded.LoadFromFile(dir.filePath("none.alg"), &error));
    EXPECT_EQ(loaded.Count, 1);
    // A file that exists but cannot be read is reported.
    EXPECT_FALSE(loaded.LoadFromFile(dir.path(), &error));
    EXPECT_FALSE(error.isEmpty());
    // A file that cannot be written is reported and nothing is left behind.
    EXPECT_FALSE(base.SaveToFile(dir.filePath("no/such/dir/base.alg"), &error));
}

TEST(AlgBase, KindTexts)
{
    EXPECT_EQ(AlgParamKindText(0), "");
    EXPECT_EQ(AlgParamKindText(1), "Дискретный вход: ВКЛ, ОТКЛ");
    EXPECT_EQ(AlgParamKindText(5),
              "Аналоговый вход: +ВА, -ВА, +АВ, -АВ, константа от -1000 до +1000");
    EXPECT_EQ(AlgParamKindText(10), "Постоянная времен от 00.00.01 до 72.14.56");
    EXPECT_EQ(AlgParamKindText(12), "Масштабный коэффициент от 0.00 до 1.99");
    EXPECT_EQ(AlgParamKindText(13), "");
    EXPECT_EQ(AlgParamKindText(-1), "");
}

// The kinds' bytes in a call and in the controller's record, and the type the controller
// gives each kind on the line, as literal numbers: the generator, the decompiler, the link
// and the simulator share the table, so only these catch a wrong row.
TEST(AlgBase, KindSizesAndWireTypes)
{
    const int callBytes[] = {0, 2, 2, 2, 6, 2, 2, 2, 1, 1, 2, 2, 1};
    const int recordBytes[] = {0, 2, 2, 2, 6, 2, 2, 2, 1, 1, 2, 2, 2};
    const int kindOfWire[] = {1, 2, 3, 4, 7, 6, 5, 8, 9, 10, 11, 12};
    for (int kind = 0; kind <= AlgParamKindCount; ++kind) {
        EXPECT_EQ(AlgParamKindInfo(kind).CallBytes, callBytes[kind]) << kind;
        EXPECT_EQ(AlgParamKindInfo(kind).RecordBytes, recordBytes[kind]) << kind;
    }
    for (int wire = 0; wire < 12; ++wire) {
        EXPECT_EQ(AlgParamKindOfWireType(wire), kindOfWire[wire]) << wire;
        EXPECT_EQ(AlgParamKindInfo(kindOfWire[wire]).WireType, wire) << wire;
    }
    for (int wire : {-1, 12, 255})
        EXPECT_EQ(AlgParamKindOfWireType(wire), KindNone) << wire;
    for (int kind : {0, 13, 255})
        EXPECT_EQ(AlgParamKindInfo(kind).WireType, 12) << kind;
}

TEST(AlgBase, SaveAsFileName)
{
    EXPECT_EQ(AlgBaseSaveFileName("base"), "base.alg");
    EXPECT_EQ(AlgBaseSaveFileName("base.ALG"), "base.ALG");
    EXPECT_EQ(AlgBaseSaveFileName("base.Alg"), "base.Alg");
    EXPECT_EQ(AlgBaseSaveFileName("base.txt"), "base.txt.alg");
    EXPECT_EQ(AlgBaseSaveFileName("base."), "base..alg");
    EXPECT_EQ(AlgBaseSaveFileName("/home/u/v1.2/base"), "/home/u/v1.2/base.alg");
}
