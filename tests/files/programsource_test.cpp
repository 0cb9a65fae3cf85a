#include "files/programfiles.h"

#include "core/cp1251.h"
#include "filetestutil.h"
#include "model/zentorprogram.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

QByteArray Cp1251Lines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &l : lines) {
        QByteArray b;
        EncodeCp1251(l, b);
        out += b + "\r\n";
    }
    return out;
}

struct Loaded
{
    std::unique_ptr<TZentorProgram> Program = std::make_unique<TZentorProgram>();
    TFileContext Ctx;
    int Result = -1;
};

std::unique_ptr<Loaded> LoadBytes(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath("in.zen");
    auto l = std::make_unique<Loaded>();
    if (PutFile(path, bytes))
        l->Result = LoadFromFile(*l->Program, path, l->Ctx);
    return l;
}

} // namespace

TEST(ProgramSource, WritesHeaderThenEachSection)
{
    QTemporaryDir dir;
    auto p = std::make_unique<TZentorProgram>();
    p->Header.Text = {"/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ", ""};
    p->Sections[0].Name = QStringLiteral("А");
    p->Sections[0].Text = {"X"};
    p->Sections[0].Modified = 1;
    TFileContext ctx;
    const QString path = dir.filePath("p.ZeN"); // the extension is compared upper-case
    ASSERT_EQ(SaveToFile(*p, path, ctx), FileOk) << ctx.Error.toStdString();
    EXPECT_EQ(FileBytes(path), Cp1251Lines({QStringLiteral("/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ"), "", "",
                                            QStringLiteral("/ СЕКЦИЯ 000 !А"), "X"}));
    EXPECT_EQ(p->Sections[0].Modified, 0);

    // Section 33 of a program that reaches group 1 is written as 101.
    p->AddGroup(1);
    p->AddSection(33, QStringLiteral("Насосы"));
    ASSERT_EQ(SaveToFile(*p, path, ctx), FileOk);
    EXPECT_TRUE(
        FileBytes(path).endsWith(Cp1251Lines({"", QStringLiteral("/ СЕКЦИЯ 101 !Насосы")})));
}

TEST(ProgramSource, ReadsSectionLines)
{
    QTemporaryDir dir;
    auto l = LoadBytes(dir, Cp1251Lines({
                                QStringLiteral("ЗАГОЛОВОК"),
                                "",
                                QStringLiteral("/ СЕКЦИЯ    101"),
                                "A",
                                QStringLiteral("/ СЕКЦИЯ 737 ! Имя ! с восклицанием"),
                                QStringLiteral("/ СЕКЦИЯ 000 !"),
                            }));
    ASSERT_EQ(l->Result, FileOk);
    const TZentorProgram &p = *l->Program;
    EXPECT_EQ(p.Header.Text, QStringList{QStringLiteral("ЗАГОЛОВОК")});
    const TZentorSection &s33 = p.Sections[33];
    EXPECT_TRUE(s33.Present && s33.NeedsCompile && !s33.Modified);
    EXPECT_TRUE(s33.Name.isEmpty());
    EXPECT_EQ(s33.Text, QStringList{"A"});
    EXPECT_EQ(p.Sections[255].Name, QStringLiteral(" Имя ! с восклицанием"));
    EXPECT_EQ(p.Sections[0].NeedsCompile, 1);
    EXPECT_EQ(p.HighestGroup, 7);
    EXPECT_EQ(p.GroupPresent[1], 1);
    EXPECT_EQ(p.GroupPresent[2], 0);
    EXPECT_EQ(l->Ctx.ErrorCount, 0);
}

TEST(ProgramSource, KeepsUnreadableSectionLinesAsText)
{
    QTemporaryDir dir;
    auto l = LoadBytes(dir, Cp1251Lines({
                                "H",
                                "",
                                QStringLiteral("/ СЕКЦИЯ 12"),
                                QStringLiteral("/ СЕКЦИЯ 005"),
                                "",
                                QStringLiteral("/ СЕКЦИЯ 800 !x"),
                                // The last two digits are octal 00..37: these would read as
                                // sections 100, 137 and 437 (or none).
                                QStringLiteral("/ СЕКЦИЯ 040"),
                                QStringLiteral("/ СЕКЦИЯ 077"),
                                QStringLiteral("/ СЕКЦИЯ 377"),
                                "",
                            }));
    ASSERT_EQ(l->Result, FileOk);
    const TZentorProgram &p = *l->Program;
    EXPECT_EQ(p.Header.Text, (QStringList{"H", "", QStringLiteral("/ СЕКЦИЯ 12")}));
    EXPECT_EQ(p.Sections[5].Text,
              (QStringList{"", QStringLiteral("/ СЕКЦИЯ 800 !x"), QStringLiteral("/ СЕКЦИЯ 040"),
                           QStringLiteral("/ СЕКЦИЯ 077"), QStringLiteral("/ СЕКЦИЯ 377"), ""}));
    EXPECT_EQ(*p.Messages, (QStringList{QStringLiteral("Неправильный номер секции в строке 3"),
                                        QStringLiteral("Неправильный номер секции в строке 6"),
                                        QStringLiteral("Неправильный номер секции в строке 7"),
                                        QStringLiteral("Неправильный номер секции в строке 8"),
                                        QStringLiteral("Неправильный номер секции в строке 9")}));
    EXPECT_EQ(l->Ctx.ErrorCount, 5);
    EXPECT_EQ(p.PresentSectionCount(), 2);
}

TEST(ProgramSource, SplitsAtEveryLineEnd)
{
    QTemporaryDir dir;
    QByteArray bytes = Cp1251Lines({"h1"});
    bytes += "h2\r";
    bytes += Cp1251Lines({QStringLiteral("/ СЕКЦИЯ 001 !n")}).replace("\r\n", "\n");
    bytes += "a\r\n\r\nb";
    auto l = LoadBytes(dir, bytes);
    ASSERT_EQ(l->Result, FileOk);
    EXPECT_EQ(l->Program->Header.Text, (QStringList{"h1", "h2"}));
    EXPECT_EQ(l->Program->Sections[1].Text, (QStringList{"a", "", "b"}));
}

TEST(ProgramSource, SaveAndLoadGiveTheSameFile)
{
    QTemporaryDir dir;
    auto p = std::make_unique<TZentorProgram>();
    p->Header.Text = {"", "HDR", "", ""};
    p->Sections[0].Text = {"", "x", ""};
    p->AddGroup(5);
    p->AddSection(170, QStringLiteral(" ведущий пробел"));
    p->Sections[170].Text = {"", ""};
    p->AddSection(171, "");
    p->AddSection(190, QStringLiteral("!!"));
    p->Sections[190].Text = {QStringLiteral("/ СЕКЦИЯ 9 текстом"), "end"};
    TFileContext ctx;
    const QString a = dir.filePath("a.zen");
    const QString b = dir.filePath("b.zen");
    ASSERT_EQ(SaveToFile(*p, a, ctx), FileOk);

    auto q = std::make_unique<TZentorProgram>();
    ASSERT_EQ(LoadFromFile(*q, a, ctx), FileOk);
    EXPECT_EQ(q->Header.Text, p->Header.Text);
    for (int s : {0, 170, 171, 190}) {
        EXPECT_EQ(q->Sections[s].Text, p->Sections[s].Text) << s;
        EXPECT_EQ(q->Sections[s].Name, p->Sections[s].Name) << s;
    }
    ASSERT_EQ(SaveToFile(*q, b, ctx), FileOk);
    EXPECT_EQ(FileBytes(a), FileBytes(b));
}

TEST(ProgramSource, UnsupportedAndUnreadableFiles)
{
    QTemporaryDir dir;
    auto p = std::make_unique<TZentorProgram>();
    p->Sections[0].Text = {"keep"};
    TFileContext ctx;
    EXPECT_EQ(LoadFromFile(*p, dir.filePath("x.txt"), ctx), FileLoadUnsupported);
    EXPECT_EQ(LoadFromFile(*p, dir.filePath("noextension"), ctx), FileLoadUnsupported);
    EXPECT_EQ(p->Sections[0].Text, QStringList{"keep"});
    EXPECT_EQ(SaveToFile(*p, dir.filePath("x.zen.bak"), ctx), FileSaveUnsupported);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    EXPECT_EQ(LoadFromFile(*p, dir.filePath("missing.zen"), ctx), FileIoError);
    EXPECT_TRUE(ctx.Error.contains("missing.zen"));
    EXPECT_EQ(SaveToFile(*p, dir.filePath("no/dir/x.zen"), ctx), FileIoError);
    EXPECT_FALSE(ctx.Error.isEmpty());

    // A character Windows-1251 cannot hold: the earlier file stays as it was.
    const QString path = dir.filePath("p.zen");
    ASSERT_EQ(SaveToFile(*p, path, ctx), FileOk);
    const QByteArray before = FileBytes(path);
    p->Sections[0].Text = {QStringLiteral("ok"), QStringLiteral("a\u4e2d")};
    EXPECT_EQ(SaveToFile(*p, path, ctx), FileIoError);
    EXPECT_TRUE(ctx.Error.contains(QStringLiteral("строке 4, позиции 2")))
        << ctx.Error.toStdString();
    EXPECT_EQ(FileBytes(path), before);

    // The old format needs the compiler; without one it is neither read nor written.
    EXPECT_EQ(LoadFromFile(*p, dir.filePath("old.prg"), ctx), FileFormNotReady);
    EXPECT_TRUE(ctx.Error.contains(".prg"));
    EXPECT_EQ(SaveToFile(*p, dir.filePath("old.PRG"), ctx), FileFormNotReady);
    EXPECT_FALSE(QFile::exists(dir.filePath("old.PRG")));
}
