#include "../fulldisk.h"
#include "core/logger.h"
#include "core/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>

TEST(TextFile, SplitsAtEveryLineEnd)
{
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), (QStringList{"a"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (QStringList{"a", ""}));
    EXPECT_EQ(SplitLines("\n"), (QStringList{""}));
    EXPECT_TRUE(SplitLines("").isEmpty());
    EXPECT_EQ(SplitLines("a\r\rb"), (QStringList{"a", "", "b"}));
}

TEST(TextFile, WritesWindows1251WithCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.zen");
    QString error;
    ASSERT_TRUE(WriteTextFile(path, {QStringLiteral("Я"), ""}, error)) << error.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\xDF\r\n\r\n"));
    QStringList lines;
    ASSERT_TRUE(ReadTextFile(path, lines, error));
    EXPECT_EQ(lines, (QStringList{QStringLiteral("Я"), ""}));
}

TEST(TextFile, UnencodableCharacterKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.zen");
    QString error;
    ASSERT_TRUE(WriteTextFile(path, {"old"}, error));
    EXPECT_FALSE(WriteTextFile(path, {"ok", QStringLiteral("ab\u20ACc\u4e2d")}, error));
    EXPECT_TRUE(error.contains(QStringLiteral("в строке 2, позиции 5"))) << error.toStdString();
    QStringList lines;
    ASSERT_TRUE(ReadTextFile(path, lines, error));
    EXPECT_EQ(lines, QStringList{"old"});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary left behind
}

TEST(TextFile, MissingFileIsAnError)
{
    QStringList lines;
    QString error;
    EXPECT_FALSE(ReadTextFile("/nonexistent/dir/x.zen", lines, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(WriteTextFile("/nonexistent/dir/x.zen", {"a"}, error));
}

TEST(Logger, AppendsTimeStampedLines)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log");
    {
        TLogger log(path);
        ASSERT_TRUE(log.IsOpen());
        log.AddLine(QStringLiteral("Разбор команды 0A"));
    }
    {
        TLogger log(path);
        log.AddLine("second");
    }
    TLogger silent;
    silent.AddLine("nothing");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray all = f.readAll();
    const QList<QByteArray> lines = all.split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith("   \xD0\xE0\xE7\xE1\xEE\xF0 \xEA\xEE\xEC\xE0\xED\xE4\xFB 0A\r"));
    EXPECT_TRUE(lines[1].endsWith("   second\r"));
    EXPECT_TRUE(QRegularExpression("^\\d{1,2}:\\d{1,2}:\\d{1,2}   ")
                    .match(QString::fromLatin1(lines[1]))
                    .hasMatch());

    // A log that loses its lines says why.
    EXPECT_TRUE(TLogger(path).Error().isEmpty());
    EXPECT_FALSE(TLogger(dir.path()).Error().isEmpty());
    TLogger full("/dev/full");
    full.AddLine("lost");
    EXPECT_FALSE(full.Error().isEmpty());
}

TEST(Logger, KeepsTwoFilesOfAtMostTheLimit)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log");
    const QString older = TLogger::OlderFileName(path);
    // The numbers the lines of a file end with.
    const auto numbers = [](const QString &p) {
        QList<int> found;
        QFile f(p);
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray &line : f.readAll().split('\n'))
                if (line.endsWith('\r'))
                    found.append(line.chopped(1).split(' ').last().toInt());
        return found;
    };
    // A log left over the limit by an earlier run is set aside at the start.
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(300, 'x') + " 99\r\n");
    }
    const qint64 limit = 200;
    {
        TLogger log(path, limit);
        EXPECT_EQ(numbers(older), QList<int>{99});
        for (int i = 0; i < 40; ++i)
            log.AddLine(QStringLiteral("строка %1").arg(i));
        EXPECT_TRUE(log.Error().isEmpty()) << log.Error().toStdString();
    }
    // Each file stays within the limit; together they hold the latest lines without a gap,
    // the older file replaced at each turn.
    EXPECT_LE(QFileInfo(path).size(), limit);
    EXPECT_LE(QFileInfo(older).size(), limit);
    const QList<int> kept = numbers(older) + numbers(path);
    ASSERT_GT(numbers(older).size(), 3);
    ASSERT_GT(numbers(path).size(), 0);
    EXPECT_EQ(kept.last(), 39);
    for (qsizetype i = 1; i < kept.size(); ++i)
        EXPECT_EQ(kept[i], kept[i - 1] + 1);
    EXPECT_GT(kept.first(), 0);
    // A device is written as it is.
    TLogger null("/dev/null", 10);
    for (int i = 0; i < 3; ++i)
        null.AddLine(QStringLiteral("не переносится"));
    EXPECT_TRUE(null.Error().isEmpty());
    EXPECT_FALSE(QFile::exists(TLogger::OlderFileName("/dev/null")));
}

namespace {

QByteArray Contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString NoSpace()
{
    return QString::fromLocal8Bit(std::strerror(ENOSPC));
}

} // namespace

TEST(TextFile, OnlyRegularFilesAreReadAndNothingWaitsOrGrows)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.zen");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString big = dir.filePath("big.zen");
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(MaxTextFileSize + 1));
    }
    struct Case
    {
        QString Path;
        QString Reason;
    };
    const QList<Case> cases = {
        {dir.path(), dir.path() + QStringLiteral(" — не файл, а папка")},
        {"/dev/zero", QStringLiteral("/dev/zero — не файл, а устройство")},
        {fifo, fifo + QStringLiteral(" — не файл, а канал (FIFO)")},
        {big, QStringLiteral("Файл %1 не прочитан: он длиннее 16 МБ").arg(big)},
        {"/nonexistent/x.zen", QStringLiteral("Не удалось открыть файл /nonexistent/x.zen: ") +
                                   QString::fromLocal8Bit(std::strerror(ENOENT))},
    };
    for (const Case &c : cases) {
        QStringList lines;
        QString error;
        auto read =
            std::async(std::launch::async, [&] { return ReadTextFile(c.Path, lines, error); });
        if (read.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            // A reader waiting for a writer is let go, so that the test ends.
            ::close(::open(QFile::encodeName(c.Path).constData(), O_WRONLY | O_NONBLOCK));
            ADD_FAILURE() << "still reading " << c.Path.toStdString();
        }
        EXPECT_FALSE(read.get()) << c.Path.toStdString();
        EXPECT_EQ(error, c.Reason);
    }
    // The start of a long file, and whether there is more.
    QByteArray data;
    bool more = false;
    QString error;
    ASSERT_TRUE(ReadFileStart(big, 10, data, more, error));
    EXPECT_EQ(data, QByteArray(10, '\0'));
    EXPECT_TRUE(more);
    ASSERT_TRUE(ReadFileStart(big, MaxTextFileSize + 1, data, more, error));
    EXPECT_FALSE(more);
}

TEST(AtomicSave, FullDiskKeepsTheOldFilesAndSaysWhy)
{
    TFullDisk disk;
    REQUIRE_FULL_DISK(disk);
    const QString a = disk.Path("a.zen");
    const QString b = disk.Path("b.prp");
    QString error;
    ASSERT_TRUE(WriteTextFile(a, {"old"}, error));
    ASSERT_TRUE(WriteBinaryFile(b, "old image", error));
    ASSERT_TRUE(disk.Fill());
    const QStringList before = disk.Entries();

    EXPECT_FALSE(WriteTextFile(a, {"new"}, error));
    EXPECT_EQ(error, QStringLiteral("Не удалось записать файл ") + a + ": " + NoSpace());
    EXPECT_FALSE(WriteFilesTogether({{b, "new image"}, {a, "new"}}, error));
    EXPECT_EQ(error, QStringLiteral("Не удалось записать файл ") + b + ": " + NoSpace());
    EXPECT_EQ(Contents(a), QByteArray("old\r\n"));
    EXPECT_EQ(Contents(b), QByteArray("old image"));
    EXPECT_EQ(disk.Entries(), before);

    disk.Free();
    EXPECT_TRUE(WriteFilesTogether({{b, "new image"}, {a, "new"}}, error)) << error.toStdString();
    EXPECT_EQ(Contents(a), QByteArray("new"));
}

TEST(AtomicSave, FilesWrittenTogetherChangeAllOrNone)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("p.000");
    const QString b = dir.filePath("p.001");
    const QString c = dir.filePath("p.002");
    QString error;
    ASSERT_TRUE(WriteFilesTogether({{a, "old a"}, {b, "old b"}}, error));
    ASSERT_EQ(::chmod(QFile::encodeName(a).constData(), 0640), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("p.002"));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    // A folder where the third file goes: refused before any file is replaced.
    EXPECT_FALSE(WriteFilesTogether({{a, "new a"}, {b, "new b"}, {c, "new c"}}, error));
    EXPECT_EQ(error, QStringLiteral("Не удалось записать файл ") + c + ": на его месте папка");
    EXPECT_EQ(Contents(a), QByteArray("old a"));
    EXPECT_EQ(Contents(b), QByteArray("old b"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);

    ASSERT_TRUE(QDir(dir.path()).rmdir("p.002"));
    ASSERT_TRUE(WriteFilesTogether({{a, "new a"}, {b, "new b"}, {c, "new c"}}, error));
    EXPECT_EQ(Contents(c), QByteArray("new c"));
    // A replaced file keeps its permissions.
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(a).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(AtomicSave, AFailureWhileReplacingPutsTheOldFilesBack)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("p.hdr");
    const QString b = dir.filePath("p.000");
    QString error;
    ASSERT_TRUE(WriteFilesTogether({{a, "old a"}, {b, "old b"}}, error));
    // A file the system will not let go of: it can be read, not renamed.
    const int fd = ::open(QFile::encodeName(b).constData(), O_RDONLY);
    int flags = 0;
    const bool immutable = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                           (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    if (!immutable) {
        ::close(fd);
        GTEST_SKIP() << "this file system or user cannot make a file immutable";
    }
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);
    EXPECT_FALSE(WriteFilesTogether({{a, "new a"}, {b, "new b"}}, error));
    flags &= ~FS_IMMUTABLE_FL;
    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    ::close(fd);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Не удалось записать файл ") + b));
    EXPECT_EQ(Contents(a), QByteArray("old a"));
    EXPECT_EQ(Contents(b), QByteArray("old b"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), before);
}
