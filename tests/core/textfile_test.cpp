#include "core/logger.h"
#include "core/textfile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
    EXPECT_TRUE(QRegularExpression("^\\d{1,2}:\\d{1,2}:\\d{1,2}   ").match(QString::fromLatin1(lines[1])).hasMatch());
}
