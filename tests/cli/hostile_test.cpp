// zentorc against what a disk, a damaged file or an impatient user can give it: a full
// disk, inputs that are no files, images whose checksums do not hold, interrupts.

#include "../files/filetestutil.h"
#include "../fulldisk.h"
#include "clitesting.h"
#include "core/cp1251.h"
#include "files/programfiles.h"
#include "model/zentorprogram.h"

#include <QDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>

namespace {

const QString Demo = Examples + QStringLiteral("demo.zen");

QString NoSpace()
{
    return QString::fromLocal8Bit(std::strerror(ENOSPC));
}

// demo.prp compiled, with one byte of section 101's block changed.
QString DamagedImage(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("damaged.prp"));
    if (Zentorc({"compile", Demo, "-o", path, "--alg", Catalogue}).Status != 0)
        return QString();
    auto p = std::make_unique<TZentorProgram>();
    TFileContext ctx;
    if (LoadFromFile(*p, path, ctx) != FileOk || !p->Sections[33].Present)
        return QString();
    int at = p->Header.BytesLength + 6; // an instruction byte of section 101
    for (int s = 0; s < 33; ++s)
        at += p->Sections[s].Present ? p->Sections[s].CodeLength : 0;
    QByteArray bytes = FileBytes(path);
    bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
    return PutFile(path, bytes) ? path : QString();
}

} // namespace

TEST(ZentorcFiles, AFullDiskFailsTheCommandAndKeepsTheOldFile)
{
    TFullDisk disk("1m");
    REQUIRE_FULL_DISK(disk);
    const QList<QStringList> calls = {
        {"compile", Demo, "-o", disk.Path("p.prp"), "--alg", Catalogue},
        {"compile", Demo, "-o", disk.Path("p.000"), "--alg", Catalogue},
        {"convert", Demo, disk.Path("p.zen")},
        {"convert", Demo, disk.Path("p.prg"), "--alg", Catalogue},
    };
    for (const QStringList &call : calls)
        ASSERT_EQ(Zentorc(call).Status, 0) << call.join(' ').toStdString();
    // The old files are overwritten by a program with a section more.
    QByteArray source = FileBytes(Demo);
    QByteArray more;
    ASSERT_TRUE(EncodeCp1251(QStringLiteral("\r\n/ СЕКЦИЯ 737 ! Новая\r\nВКЛ ДВ001\r\n"), more));
    QTemporaryDir dir;
    const QString changed = dir.filePath(QStringLiteral("changed.zen"));
    ASSERT_TRUE(PutFile(changed, source + more));
    QMap<QString, QByteArray> before;
    for (const QString &name : disk.Entries())
        before[name] = FileBytes(disk.Path(name));

    ASSERT_TRUE(disk.Fill());
    for (QStringList call : calls) {
        call[1] = changed;
        const TRun r = Zentorc(call);
        EXPECT_EQ(r.Status, 2) << call.join(' ').toStdString();
        EXPECT_TRUE(r.Err.endsWith(NoSpace() + u'\n')) << r.Err.toStdString();
    }
    QMap<QString, QByteArray> after;
    for (const QString &name : disk.Entries())
        after[name] = FileBytes(disk.Path(name));
    EXPECT_EQ(after, before);
}

TEST(ZentorcFiles, InputsThatAreNoFilesEndAtOnceWithTheirName)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.zen"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("z.prp"))));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.prg")));
    const QString big = dir.filePath(QStringLiteral("big.zen"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(16 * 1024 * 1024 + 1));
    }
    const QString set = dir.filePath(QStringLiteral("s.000"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("s.001"))).constData(), 0600),
              0);
    const QString out = dir.filePath(QStringLiteral("out.zen"));
    struct Case
    {
        QStringList Call;
        int Status;
        QString Message;
    };
    const QList<Case> cases = {
        {{"convert", fifo, out}, 2, fifo + QStringLiteral(" — не файл, а канал (FIFO)")},
        {{"decompile", dir.filePath("z.prp"), "-o", out, "--alg", Catalogue},
         2,
         dir.filePath("z.prp") + QStringLiteral(" — не файл, а устройство")},
        {{"convert", dir.filePath("folder.prg"), out, "--alg", Catalogue},
         2,
         dir.filePath("folder.prg") + QStringLiteral(" — не файл, а папка")},
        {{"compile", big, "-o", dir.filePath("b.prp"), "--alg", Catalogue},
         2,
         QStringLiteral("Файл %1 не прочитан: он длиннее 16 МБ").arg(big)},
        {{"compile", Demo, "-o", dir.filePath("b.prp"), "--alg", fifo},
         2,
         fifo + QStringLiteral(" — не файл, а канал (FIFO)")},
        {{"compile", Demo, "-o", dir.filePath("b.prp"), "--alg", dir.path()},
         2,
         dir.path() + QStringLiteral(" — не файл, а папка")},
        {{"convert", set, out},
         1,
         dir.filePath("s.001") + QStringLiteral(" — не файл, а канал (FIFO): не загружен")},
    };
    for (const Case &c : cases) {
        const TRun r = Zentorc(c.Call, 10000);
        EXPECT_EQ(r.Status, c.Status) << c.Call.join(' ').toStdString();
        EXPECT_TRUE((r.Err + r.Out).contains(c.Message + u'\n'))
            << c.Call.join(' ').toStdString() << '\n'
            << r.Err.toStdString();
    }
}

TEST(ZentorcFiles, ADamagedImageIsNamedAndNeverWritten)
{
    QTemporaryDir dir;
    const QString damaged = DamagedImage(dir);
    ASSERT_FALSE(damaged.isEmpty());
    const QString image = QStringLiteral("Ошибка в образе ПрП: контрольная сумма образа неверна");
    const QString block =
        QStringLiteral("Ошибка в секции 101: контрольная сумма блока кода неверна");
    // decompile and convert write what they decoded, and say that it is not sound.
    for (const QStringList &call :
         QList<QStringList>{{"decompile", damaged, "-o", dir.filePath("d.zen"), "--alg", Catalogue},
                            {"convert", damaged, dir.filePath("c.000")}}) {
        const TRun r = Zentorc(call);
        EXPECT_EQ(r.Status, 1) << call.join(' ').toStdString();
        EXPECT_TRUE(r.Has(image)) << r.Out.toStdString();
        EXPECT_TRUE(r.Has(block));
    }
    EXPECT_FALSE(FileBytes(dir.filePath("d.zen")).isEmpty());
    // The set keeps the damaged block, and writing it is refused as well.
    EXPECT_EQ(Zentorc({"convert", dir.filePath("c.000"), dir.filePath("e.prp")}).Status, 1);

    TSim sim;
    ASSERT_TRUE(sim.Start());
    ASSERT_EQ(sim.Run({"mode", "Пуск"}).Status, 0);
    for (const QString &input : {damaged, dir.filePath("c.000")}) {
        const TRun r = sim.Run({"write", input, "--yes"});
        EXPECT_EQ(r.Status, 1);
        EXPECT_TRUE(r.Has(QStringLiteral("Образ ПрП повреждён и в контроллер не записывается")))
            << r.Out.toStdString();
        EXPECT_TRUE(r.Err.contains(block + u'\n')) << r.Err.toStdString();
        EXPECT_FALSE(r.Out.contains(QStringLiteral("Запись ПрП в Сарветел")));
    }
    // The controller was not asked anything: still running its old program.
    EXPECT_EQ(sim.Run({"status"}).Out, QStringLiteral("Режим: Пуск\nНет ошибок\n"));
}

// An output may be named as long as the file system allows (255 bytes): the temporary files
// beside it have short names of their own.
TEST(ZentorcFiles, OutputNamesUpToTheLongestThatTheFileSystemTakes)
{
    QTemporaryDir dir;
    for (const int length : {251, 255}) {
        const QString stem = dir.filePath(QString(length - 4, u'x'));
        for (const QString &ext : {QStringLiteral(".prp"), QStringLiteral(".000")}) {
            const TRun r = Zentorc({"compile", Demo, "-o", stem + ext, "--alg", Catalogue});
            EXPECT_EQ(r.Status, 0) << length << ' ' << r.Err.toStdString();
        }
        EXPECT_EQ(Zentorc({"convert", Demo, stem + QStringLiteral(".zen")}).Status, 0) << length;
        EXPECT_TRUE(QFileInfo::exists(stem + QStringLiteral(".prp"))) << length;
        EXPECT_TRUE(QFileInfo::exists(stem + QStringLiteral(".hdr"))) << length;
        EXPECT_TRUE(QFileInfo::exists(stem + QStringLiteral(".zen"))) << length;
        EXPECT_EQ(Zentorc({"dump", stem + QStringLiteral(".000")}).Status, 0) << length;
    }
    // Nothing but the outputs is left in the folder.
    EXPECT_EQ(QDir(dir.path())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                  .filter(QStringLiteral("zentor"))
                  .size(),
              0);
}

TEST(ZentorcSignals, TheFirstInterruptEndsACommandAtOnce)
{
    // A controller that never answers keeps the status command waiting for seconds.
    TSim silent;
    ASSERT_TRUE(silent.Start({"--faults", "drop:1"}));
    for (const int signal : {SIGINT, SIGTERM}) {
        const QString log = silent.Dir.filePath(QStringLiteral("log%1").arg(signal));
        QProcess p;
        p.setProcessEnvironment(Environment());
        p.start(QStringLiteral(ZENTORC_PATH), {"--port", silent.Link, "--log", log, "status"});
        ASSERT_TRUE(p.waitForStarted(10000));
        // Signalled once its request is on the line, so surely waiting for the reply.
        for (int i = 0; i < 200 && !FileBytes(log).contains("01 01 C0 C2 19 9E "); ++i)
            QThread::msleep(25);
        ::kill(static_cast<pid_t>(p.processId()), signal);
        TRun r;
        Finish(p, r, 30000);
        EXPECT_EQ(r.Status, 128 + signal);
        EXPECT_TRUE(r.Out.isEmpty()) << r.Out.toStdString();
    }
}

TEST(ZentorcPort, WriteSaysWhyAFrameFailed)
{
    auto sim = std::make_unique<TSim>();
    ASSERT_TRUE(sim->Start({}, 19200));
    QProcess p;
    TRun r;
    ASSERT_TRUE(StartUntil(p, {"--port", sim->Link, "write", Demo, "--alg", Catalogue, "--yes"},
                           QStringLiteral("Запись секции 002"), r));
    // The controller vanishes in the middle of the write: no frame reaches anything now.
    sim.reset();
    Finish(p, r, 60000);
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Has(QStringLiteral("Запрос не удалось передать в порт")) ||
                r.Has(QStringLiteral("Контроллер не ответил")))
        << r.Out.toStdString();
    EXPECT_TRUE(r.Has(QStringLiteral("Запись ПрП не завершена")));
}
