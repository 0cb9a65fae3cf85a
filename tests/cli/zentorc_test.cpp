// zentorc as the user runs it: the built binary, its output and its exit status.

#include "../files/filetestutil.h"
#include "../model/testblocks.h"
#include "core/cp1251.h"
#include "files/programfiles.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

struct TRun
{
    int Status = -1;
    QString Out;
    QString Err;
};

TRun Zentorc(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(ZENTORC_PATH), args);
    TRun r;
    if (!p.waitForFinished(30000))
        return r;
    r.Status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.Out = QString::fromUtf8(p.readAllStandardOutput());
    r.Err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A block of n ВСК instructions, which the decompiler reads cleanly.
void PutSkipBlock(TZentorProgram &p, int s, int n)
{
    PutTestBlock(p, s, n);
    TZentorSection &sec = p.Sections[s];
    std::memset(sec.Code + 5, 0x1E, static_cast<size_t>(n));
    sec.Code[4] = 0;
    sec.Code[4] = static_cast<std::uint8_t>((256 - ByteSum(sec.Code, 5 + n)) % 256);
}

// x.prp of a program assembled here.
QString WriteImage(const QTemporaryDir &dir)
{
    auto p = std::make_unique<TZentorProgram>();
    p->Header.TechKeys[3] = {3, 5, QStringLiteral("ПУСК    ")};
    PutSkipBlock(*p, 0, 3);
    PutSkipBlock(*p, 65, 40);
    p->AssembleImage();
    const QString path = dir.filePath("x.prp");
    TFileContext ctx;
    EXPECT_EQ(SaveToFile(*p, path, ctx), FileOk);
    return path;
}

} // namespace

TEST(Zentorc, HelpIsRussianUtf8AndListsTheCommands)
{
    const TRun r = Zentorc({"--help"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_TRUE(r.Out.contains(QStringLiteral("Использование:")));
    EXPECT_TRUE(r.Out.contains(QStringLiteral("zentorc convert ВХОД ВЫХОД [--alg ФАЙЛ]")));
    EXPECT_TRUE(r.Out.contains(QStringLiteral("zentorc dump ВХОД")));
}

TEST(Zentorc, UsageErrorsExitWith2)
{
    for (const QStringList &args : QList<QStringList>{
             {},
             {"compile-everything"},
             {"convert", "a.zen"},
             {"convert", "a.zen", "b.zen", "c.zen"},
             {"convert", "a.zen", "b.zen", "--alg"},
             {"dump", "x.prp", "--alg", "BaseAlgs.alg"},
             {"convert", "a.zen", "b.zen", "--port", "COM1"},
         }) {
        const TRun r = Zentorc(args);
        EXPECT_EQ(r.Status, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.Err.isEmpty()) << args.join(' ').toStdString();
    }
}

TEST(Zentorc, ConvertKeepsAProgramSourceFileByteForByte)
{
    QTemporaryDir dir;
    // Empty lines in the header and the sections, a name with a leading space, an empty name.
    QByteArray source;
    ASSERT_TRUE(EncodeCp1251(QStringLiteral("\r\n/ ТЕХ\r\n\r\n\r\n/ СЕКЦИЯ 000 ! Имя\r\n"
                                            "ВКЛ ДВ1\r\n\r\n\r\n/ СЕКЦИЯ 101 !\r\n"),
                             source));
    ASSERT_TRUE(PutFile(dir.filePath("a.zen"), source));
    const TRun r = Zentorc({"convert", dir.filePath("a.zen"), dir.filePath("b.zen"), "--alg",
                            dir.filePath("BaseAlgs.alg")});
    EXPECT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_EQ(FileBytes(dir.filePath("b.zen")), source);
}

TEST(Zentorc, ConvertImageToSectionSetAndBack)
{
    QTemporaryDir dir;
    const QString x = WriteImage(dir);
    TRun r = Zentorc({"convert", x, dir.filePath("y.000")});
    EXPECT_EQ(r.Status, 0) << r.Err.toStdString();
    r = Zentorc({"convert", dir.filePath("y.000"), dir.filePath("z.prp")});
    EXPECT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_TRUE(
        r.Out.contains(QStringLiteral("Загрузка из файла ") + dir.filePath("y.201") + u'\n'));
    EXPECT_TRUE(
        r.Out.contains(QStringLiteral("Загрузка заголовка ПрП из файла ") + dir.filePath("y.hdr")));
    EXPECT_EQ(FileBytes(dir.filePath("z.prp")), FileBytes(x));
}

TEST(Zentorc, ConvertFailuresAreReported)
{
    QTemporaryDir dir;
    // A section that does not compile: writing it as an image fails.
    ASSERT_TRUE(PutFile(dir.filePath("a.zen"), "/ \xD1\xC5\xCA\xD6\xC8\xDF 000 !\r\nX\r\n"));
    struct Case
    {
        QStringList args;
        int status;
        QString err;
    };
    const QList<Case> cases = {
        {{"convert", dir.filePath("missing.zen"), dir.filePath("b.zen")}, 2, "missing.zen"},
        {{"convert", dir.filePath("a.txt"), dir.filePath("b.zen")}, 2, "a.txt"},
        {{"convert", dir.filePath("a.zen"), dir.filePath("b.doc")}, 2, "b.doc"},
        {{"convert", dir.filePath("a.zen"), dir.filePath("b.prg"), "--alg",
          dir.filePath("none.alg")},
         2,
         "none.alg"},
        {{"convert", dir.filePath("a.zen"), dir.filePath("no/dir/b.zen")}, 2, "b.zen"},
        {{"convert", dir.filePath("none.000"), dir.filePath("b.zen")}, 2, "none.000"},
        {{"convert", dir.filePath("a.zen"), dir.filePath("b.prp")}, 1, "b.prp"},
    };
    for (const Case &c : cases) {
        const TRun r = Zentorc(c.args);
        EXPECT_EQ(r.Status, c.status) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.Err.contains(c.err)) << r.Err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("b.prp")));
}

TEST(Zentorc, DumpOfASoundAndADamagedImage)
{
    QTemporaryDir dir;
    const QString x = WriteImage(dir);
    TRun r = Zentorc({"dump", x});
    EXPECT_EQ(r.Status, 0) << r.Out.toStdString();
    EXPECT_TRUE(r.Out.contains(
        QStringLiteral("  секция 201: смещение 182, длина 46 байт, контрольная сумма верна\n")));

    const QByteArray bytes = FileBytes(x);
    ASSERT_TRUE(PutFile(dir.filePath("cut.prp"), bytes.left(bytes.size() - 5)));
    r = Zentorc({"dump", dir.filePath("cut.prp")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Out.contains(QStringLiteral("выходит за пределы загруженных данных")));

    QByteArray sum = bytes;
    sum[139] = char(sum[139] + 1);
    ASSERT_TRUE(PutFile(dir.filePath("sum.prp"), sum));
    r = Zentorc({"dump", dir.filePath("sum.prp")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Out.contains(QStringLiteral("Контрольная сумма образа: неверна")));

    // A section file set is assembled and dumped; its load messages come first.
    ASSERT_EQ(Zentorc({"convert", x, dir.filePath("s.000")}).Status, 0);
    r = Zentorc({"dump", dir.filePath("s.000")});
    EXPECT_EQ(r.Status, 0) << r.Out.toStdString();
    EXPECT_TRUE(r.Out.startsWith(QStringLiteral("Загрузка из файла ")));
    EXPECT_TRUE(r.Out.endsWith(QStringLiteral("Образ исправен\n")));

    // A member that does not load is never followed by "Образ исправен": a stray file
    // beside a whole set, a section file that is damaged, the header file gone.
    ASSERT_TRUE(PutFile(dir.filePath("s.777"), "x"));
    r = Zentorc({"dump", dir.filePath("s.000")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(
        r.Out.endsWith(QStringLiteral("Ошибок в образе нет, но при чтении найдено ошибок: 1\n")));
    ASSERT_TRUE(PutFile(dir.filePath("s.201"), "xxxxxx"));
    r = Zentorc({"dump", dir.filePath("s.000")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Out.contains(QStringLiteral("не хватает 46 байт")));
    EXPECT_TRUE(r.Out.contains(QStringLiteral("\nОбраз повреждён, ошибок: ")));
    ASSERT_TRUE(QFile::remove(dir.filePath("s.hdr")));
    r = Zentorc({"dump", dir.filePath("s.000")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Out.endsWith(
        QStringLiteral("Набор секций не содержит образа ПрП, ошибок при чтении: 3\n")))
        << r.Out.toStdString();

    EXPECT_EQ(Zentorc({"dump", dir.filePath("missing.prp")}).Status, 2);
    EXPECT_EQ(Zentorc({"dump", dir.filePath("a.zen")}).Status, 2);
}
