// zentorc decompile, and convert between all four forms in every direction.

#include "../files/filetestutil.h"
#include "core/cp1251.h"
#include "prp/prplayout.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

const QString kDemo = QStringLiteral(ZENTOR_SOURCE_DIR "/examples/demo.zen");
const QString kBase = QStringLiteral(ZENTOR_SOURCE_DIR "/examples/BaseAlgs.alg");

struct TRun
{
    int Status = -1;
    QStringList Out; // lines
    QString Err;
};

class ZentorcDecompile : public ::testing::Test
{
protected:
    // The program directory of the runs: no base unless a test puts one there.
    TRun Zentorc(const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZENTOR_HOME", Home.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ZENTORC_PATH), args);
        TRun r;
        if (!p.waitForFinished(30000))
            return r;
        r.Status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
        QString out = QString::fromUtf8(p.readAllStandardOutput());
        if (out.endsWith(u'\n'))
            out.chop(1);
        r.Out = out.isEmpty() ? QStringList() : out.split(u'\n');
        r.Err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    QString Path(const QString &name) const { return Dir.filePath(name); }
    QStringList Lines(const QString &name) const
    {
        QStringList lines = DecodeCp1251(FileBytes(Path(name))).split(QStringLiteral("\r\n"));
        lines.removeLast();
        return lines;
    }
    // demo.prp compiled from the example program.
    void CompileDemo()
    {
        const TRun r = Zentorc({"compile", kDemo, "-o", Path("demo.prp"), "--alg", kBase});
        ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    }

    QTemporaryDir Dir;
    QTemporaryDir Home;
};

// The image's blocks: everything after the header (whose length word is at 141).
QByteArray Blocks(const QByteArray &image)
{
    if (image.size() < 143)
        return QByteArray();
    const int header = (quint8(image[141]) | (quint8(image[142]) << 8)) + 1;
    return image.mid(header);
}

} // namespace

TEST_F(ZentorcDecompile, DemoImageDecompilesToTextThatCompilesToTheSameImage)
{
    CompileDemo();
    TRun r = Zentorc({"decompile", Path("demo.prp"), "-o", Path("back.zen"), "--alg", kBase});
    ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();
    // Standard output: exactly the decompile driver's lines, one per present section.
    ASSERT_EQ(r.Out.size(), 31);
    EXPECT_EQ(r.Out.first(), "Декомпиляция секции 000");
    EXPECT_EQ(r.Out[10], "Декомпиляция секции 100");
    EXPECT_EQ(r.Out.last(), "Декомпиляция секции 211");
    const QStringList back = Lines("back.zen");
    EXPECT_EQ(back.first(), "/ ЗАКАЗ ПЕРЕМЕННЫХ");
    EXPECT_TRUE(back.contains("/ СЕКЦИЯ 101 !"));
    EXPECT_TRUE(back.contains("   2  ЧИСЛО=1"));

    r = Zentorc({"compile", Path("back.zen"), "-o", Path("again.prp"), "--alg", kBase});
    ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_EQ(FileBytes(Path("again.prp")), FileBytes(Path("demo.prp")));
}

TEST_F(ZentorcDecompile, AlgorithmBaseFromTheProgramDirectory)
{
    CompileDemo();
    // Without a base every call keeps its bytes on a comment line ...
    TRun r = Zentorc({"decompile", Path("demo.prp"), "-o", Path("bare.zen")});
    ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    const QStringList bare = Lines("bare.zen");
    EXPECT_FALSE(bare.contains("   2  ЧИСЛО=1"));
    EXPECT_TRUE(std::any_of(bare.begin(), bare.end(), [](const QString &line) {
        return line.startsWith("   ! байты вызова: ");
    }));
    // ... with BaseAlgs.alg in the program directory the parameters have their names.
    ASSERT_TRUE(PutFile(Home.filePath("BaseAlgs.alg"), FileBytes(kBase)));
    r = Zentorc({"decompile", Path("demo.prp"), "-o", Path("named.zen")});
    ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_EQ(Lines("named.zen"), [&] {
        Zentorc({"decompile", Path("demo.prp"), "-o", Path("explicit.zen"), "--alg", kBase});
        return Lines("explicit.zen");
    }());
}

TEST_F(ZentorcDecompile, DamagedImageIsReportedAndTheRestWritten)
{
    CompileDemo();
    QByteArray image = FileBytes(Path("demo.prp"));
    // Cut the image inside its last block.
    ASSERT_TRUE(PutFile(Path("cut.prp"), image.left(image.size() - 3)));
    const TRun r = Zentorc({"decompile", Path("cut.prp"), "-o", Path("cut.zen"), "--alg", kBase});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Out.first().startsWith("Ошибка в образе ПрП")) << r.Out.join('\n').toStdString();
    EXPECT_EQ(r.Out.last(), "Декомпиляция секции 210");
    EXPECT_TRUE(QFile::exists(Path("cut.zen")));
}

// Images whose every sum holds but whose blocks are labelled wrongly or whose header holds a
// fixed byte turned 0xFF are damaged for every command; an image whose header holds a value
// the header text cannot carry decompiles with that value named. Each exits 1.
TEST_F(ZentorcDecompile, EveryCommandNamesWhatTheSumsCannotSee)
{
    CompileDemo();
    const QByteArray demo = FileBytes(Path("demo.prp"));
    const int h = (quint8(demo[141]) | (quint8(demo[142]) << 8)) + 1;
    const auto image = [&](const std::function<void(std::uint8_t *)> &change) {
        QByteArray b = demo;
        auto *bytes = reinterpret_cast<std::uint8_t *>(b.data());
        change(bytes);
        WriteImageSums(bytes, int(b.size()));
        return b;
    };
    const auto relabel = [h](std::uint8_t *b, int section) {
        b[h + 2] = b[h + 3] = std::uint8_t(section); // the first block, section 000's
        b[h + 4] = BlockChecksumByte(b + h, b[h]);
    };
    struct Case
    {
        const char *What;
        QByteArray Image;
        QString Line;
    };
    const QList<Case> cases = {
        {"block 000 labelled 001", image([&](std::uint8_t *b) { relabel(b, 1); }),
         "Ошибка в образе ПрП: блок секции 001 повторяется"},
        {"block 000 labelled 737", image([&](std::uint8_t *b) { relabel(b, 255); }),
         "Ошибка в образе ПрП: блок секции 737"},
        {"byte 150 turned 0xFF", image([](std::uint8_t *b) { b[150] = 0xFF; }),
         "Ошибка в заголовке ПрП: байт 150 равен 0xFF, а должен быть 0x00"},
        {"an order of 255", image([](std::uint8_t *b) { b[2] = 255; }),
         "Значение заголовка не переносится в текст: ДВ: порядок 255"},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(PutFile(Path("x.prp"), c.Image));
        for (const QStringList &call :
             {QStringList{"decompile", Path("x.prp"), "-o", Path("x.zen"), "--alg", kBase},
              QStringList{"convert", Path("x.prp"), Path("x.000"), "--alg", kBase},
              QStringList{"xref", Path("x.prp"), "--alg", kBase}}) {
            const TRun r = Zentorc(call);
            EXPECT_EQ(r.Status, 1) << c.What << ' ' << call[0].toStdString();
            EXPECT_TRUE((r.Out.join('\n') + r.Err).contains(c.Line))
                << c.What << ' ' << call[0].toStdString() << '\n'
                << r.Out.join('\n').toStdString() << r.Err.toStdString();
        }
    }
}

TEST_F(ZentorcDecompile, OldFormatInAndOut)
{
    CompileDemo();
    TRun r = Zentorc({"decompile", Path("demo.prp"), "-o", Path("demo.prg"), "--alg", kBase});
    ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    const QStringList old = Lines("demo.prg");
    EXPECT_EQ(old.first(), " !заказ переменных");
    EXPECT_TRUE(old.contains("105."));

    r = Zentorc({"decompile", Path("demo.prg"), "-o", Path("prg.zen"), "--alg", kBase});
    ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Out, QStringList{"Преобразование формата"});
    r = Zentorc({"compile", Path("prg.zen"), "-o", Path("prg.prp"), "--alg", kBase});
    ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_EQ(Blocks(FileBytes(Path("prg.prp"))), Blocks(FileBytes(Path("demo.prp"))));
}

TEST_F(ZentorcDecompile, UsageAndFileErrorsExitWith2)
{
    CompileDemo();
    const QList<QStringList> calls = {
        {"decompile", Path("demo.prp")},
        {"decompile", Path("demo.prp"), "-o"},
        {"decompile", kDemo, "-o", Path("b.zen")},
        {"decompile", Path("demo.prp"), "-o", Path("b.prp")},
        {"decompile", Path("demo.prp"), "-o", Path("b.000")},
        {"decompile", Path("demo.prp"), "-o", Path("b.txt")},
        {"decompile", Path("missing.prp"), "-o", Path("b.zen")},
        {"decompile", Path("none.000"), "-o", Path("b.zen")},
        {"decompile", Path("demo.prp"), "-o", Path("b.zen"), "--alg", Path("none.alg")},
        {"decompile", Path("demo.prp"), "-o", Path("no/dir/b.zen"), "--alg", kBase},
        {"decompile", Path("demo.prp"), Path("x.prp"), "-o", Path("b.zen")},
    };
    for (const QStringList &args : calls) {
        const TRun r = Zentorc(args);
        EXPECT_EQ(r.Status, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.Err.isEmpty()) << args.join(' ').toStdString();
    }
    EXPECT_FALSE(QFile::exists(Path("b.zen")));
    const TRun help = Zentorc({"--help"});
    EXPECT_TRUE(help.Out.join('\n').contains("zentorc decompile ВХОД -o ВЫХОД [--alg ФАЙЛ]"));
    EXPECT_TRUE(help.Out.join('\n').contains("zentorc compile ВХОД -o ВЫХОД [--alg ФАЙЛ]"));
}

// convert between the four forms in every direction: the image forms keep the image, the
// old format keeps every block.
TEST_F(ZentorcDecompile, ConvertBetweenAllFourForms)
{
    CompileDemo();
    const QStringList forms = {"zen", "prp", "000", "prg"};
    TRun r = Zentorc({"convert", kDemo, Path("src.zen"), "--alg", kBase});
    ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    for (const QString &to : forms.mid(1)) {
        r = Zentorc({"convert", kDemo, Path("src." + to), "--alg", kBase});
        ASSERT_EQ(r.Status, 0) << to.toStdString() << r.Err.toStdString();
    }
    const QByteArray demo = FileBytes(Path("demo.prp"));
    for (const QString &from : forms) {
        for (const QString &to : forms) {
            const QString stem = from + u'_' + to;
            r = Zentorc({"convert", Path("src." + from), Path(stem + u'.' + to), "--alg", kBase});
            ASSERT_EQ(r.Status, 0) << stem.toStdString() << "\n" << r.Err.toStdString();
            r = Zentorc(
                {"convert", Path(stem + u'.' + to), Path(stem + "_back.prp"), "--alg", kBase});
            ASSERT_EQ(r.Status, 0) << stem.toStdString() << "\n" << r.Err.toStdString();
            const QByteArray image = FileBytes(Path(stem + "_back.prp"));
            if (from == u"prg" || to == u"prg")
                EXPECT_EQ(Blocks(image), Blocks(demo)) << stem.toStdString();
            else
                EXPECT_EQ(image, demo) << stem.toStdString();
        }
    }
}
