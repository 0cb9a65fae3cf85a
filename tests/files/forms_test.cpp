// Every program form through the compiler: the old-format file read and written, images and
// section file sets decompiled after loading, text forms compiled before an image form is
// written, and the round trips between the forms for the example and generated programs.

#include "files/programfiles.h"

#include "../compiler/programgenerator.h"
#include "../compiler/qtprint.h"
#include "../fulldisk.h"
#include "core/cp1251.h"
#include "filetestutil.h"

#include "compiler/algbase.h"
#include "compiler/oldformat.h"
#include "compiler/zentorcompiler.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"

#include <QDir>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

const QString kDemo = QStringLiteral(ZENTOR_SOURCE_DIR "/examples/demo.zen");
const QString kBase = QStringLiteral(ZENTOR_SOURCE_DIR "/examples/BaseAlgs.alg");

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

QStringList Cp1251Text(const QByteArray &bytes)
{
    QStringList lines = DecodeCp1251(bytes).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The compiler and the algorithm base behind the file forms, as the desktop and zentorc
// connect them.
struct TForms
{
    TForms()
    {
        EXPECT_TRUE(Base.LoadFromFile(kBase));
        Compiler.AlgBase = &Base;
        ConnectCompiler(Ctx, Compiler);
    }
    std::unique_ptr<TZentorProgram> Load(const QString &path, int expected = FileOk)
    {
        auto p = std::make_unique<TZentorProgram>();
        Ctx.ErrorCount = 0;
        EXPECT_EQ(LoadFromFile(*p, path, Ctx), expected) << Ctx.Error.toStdString();
        return p;
    }
    void Save(TZentorProgram &p, const QString &path)
    {
        ASSERT_EQ(SaveToFile(p, path, Ctx), FileOk) << Ctx.Error.toStdString() << "\n"
                                                    << p.Messages->join(u'\n').toStdString();
    }

    TAlgBase Base;
    TZentorCompiler Compiler;
    TFileContext Ctx;
};

// The compiled blocks of the present sections, section by section.
QList<QByteArray> Blocks(const TZentorProgram &p)
{
    QList<QByteArray> blocks;
    for (int s = 0; s < TZentorProgram::SectionCount; ++s)
        if (p.Sections[s].Present && p.Sections[s].CodeLength > 0)
            blocks.append(QByteArray(reinterpret_cast<const char *>(p.Sections[s].Code),
                                     p.Sections[s].CodeLength)
                              .prepend(char(s)));
    return blocks;
}

} // namespace

TEST(OldFormatFile, ReadsNamesSectionsAndConvertsThem)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("old.prg");
    ASSERT_TRUE(
        PutFile(path, Cp1251Lines({"пролог без секции", "/к12 дв012", "", "000.", "00 если в к12 ",
                                   "01 тогда тс1.0.1 авария", "/к13 дв013 и ещё", "/без_значения",
                                   "105. хвост", " ! комментарий", "00 алг003 ", "1 =+ва001",
                                   "777.", "2 =ав002", "040.", "3 =ав003"})));
    TForms f;
    auto p = f.Load(path);
    EXPECT_EQ(p->Header.Text, QStringList({"/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ ", "к12    дв012",
                                           "к13    дв013 и ещё", "без_значения"}));
    EXPECT_EQ(p->Header.Valid, 0);
    EXPECT_EQ(p->Sections[0].Text,
              QStringList({"00 ЕСЛИ В ДВ012 ", "01 ТОГДА ТС1.0.1 ", "АВАРИЯ"}));
    // The line "777." names no section: it is reported and stays in the text, which the
    // lexer then refuses, so the section keeps its lines as they were.
    EXPECT_EQ(p->Sections[37].Text, QStringList({" ! комментарий", "00 алг003 ", "1 =+ва001",
                                                 "777.", "2 =ав002", "040.", "3 =ав003"}));
    EXPECT_FALSE(p->Sections[32].Present); // "040." would read as section 100
    EXPECT_TRUE(p->Sections[37].Present);
    EXPECT_EQ(p->Sections[37].NeedsCompile, 1);
    EXPECT_EQ(p->Sections[37].Modified, 1);
    EXPECT_EQ(p->HighestGroup, 1);
    EXPECT_EQ(p->Messages->join(u'|').toStdString(),
              QStringList({"Неправильный номер секции в строке 13",
                           "Неправильный номер секции в строке 15", "Преобразование формата",
                           "[105.3:1] Ошибка в строке 3 в позиции 1",
                           "После точки должно быть число либо точка лишняя"})
                  .join(u'|')
                  .toStdString());
    EXPECT_EQ(f.Ctx.ErrorCount, 3);
}

TEST(OldFormatFile, WritesTheExport)
{
    QTemporaryDir dir;
    TForms f;
    auto p = std::make_unique<TZentorProgram>();
    p->Header.Text = {"/ ЗАКАЗ ПЕРЕМЕННЫХ", "ВД 000 - 777"};
    p->AddSection(37, QStringLiteral("Имя"));
    p->Sections[37].Text = {"00 ЕСЛИ В ДВ017"};
    p->Sections[0].Present = 0;
    f.Save(*p, dir.filePath("out.PRG"));
    EXPECT_EQ(FileBytes(dir.filePath("out.PRG")),
              Cp1251Lines({" !заказ переменных", " !вд=777", "", "105.", "!00 если в дв017"}));
    // The section's condition has no statement: the export says so, goes on and counts it
    // as an error. The header's order, which the old format keeps only as a comment, is
    // named too (no error: the form cannot hold it).
    EXPECT_EQ(p->Messages->join(u'|').toStdString(),
              "Синтаксическая ошибка в строке 0 в позиции 11|Секция 105 не компилируется: её "
              "строки записаны как комментарии|Формат .prg не хранит заголовок: прочитанная из "
              "файла программа будет без заказа переменных");
    EXPECT_EQ(f.Ctx.ErrorCount, 2);
    p->Messages->clear();
    f.Ctx.ErrorCount = 0;
    p->Header.Reset();
    p->Sections[37].Text = {"ВКЛ ДВ001"};
    f.Save(*p, dir.filePath("sound.prg"));
    EXPECT_TRUE(p->Messages->isEmpty()) << p->Messages->join(u'|').toStdString();
    EXPECT_EQ(f.Ctx.ErrorCount, 0);

    TFileContext none;
    EXPECT_EQ(SaveToFile(*p, dir.filePath("x.prg"), none), FileFormNotReady);
    EXPECT_TRUE(none.Error.contains(".prg"));
}

TEST(OldFormatFile, NoLineOfASectionThatDoesNotCompileIsLostOrMisread)
{
    QTemporaryDir dir;
    TForms f;
    auto p = std::make_unique<TZentorProgram>();
    const QStringList faulty{"ВКЛ ДВ1", "/ запись", "", "101. ошибка", "ТОГДА"};
    p->Sections[0].Text = faulty;
    p->AddSection(2, QString());
    p->Sections[2].Text = {"ВКЛ ДВ2"};
    f.Save(*p, dir.filePath("x.prg"));

    auto back = f.Load(dir.filePath("x.prg"));
    EXPECT_TRUE(back->Header.Text.isEmpty());
    QList<int> present;
    for (int s = 0; s < TZentorProgram::SectionCount; ++s)
        if (back->Sections[s].Present)
            present.append(s);
    EXPECT_EQ(present, QList<int>({0, 2}));
    // Every line comes back, in order, as a comment of its section.
    const QStringList text = back->Sections[0].Text;
    ASSERT_EQ(text.size(), faulty.size()) << text.join(u'|').toStdString();
    for (qsizetype i = 0; i < faulty.size(); ++i)
        EXPECT_EQ(text[i].trimmed().toLower(), (u'!' + faulty[i]).toLower());
}

TEST(Forms, AHeaderThatStopsTheHeaderCompilerIsNeverWrittenAsAnImage)
{
    QTemporaryDir dir;
    TForms f;
    auto p = std::make_unique<TZentorProgram>();
    p->Header.Text = {"/ ЗАКАЗ ПЕРЕМЕННЫХ", "ВД 000 - 1777"};
    p->Sections[0].Text = {"ВКЛ ДВ1"};
    p->MarkAllForCompile();
    // Compiled once already (F9), the image assembled: the export compiles again and fails.
    EXPECT_FALSE(f.Compiler.CompileWithReport(*p, NoProgress()));
    for (const char *name : {"x.prp", "x.000"})
        EXPECT_EQ(SaveToFile(*p, dir.filePath(name), f.Ctx), FileNotCompiled) << name;
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(Forms, DemoThroughImageAndSectionSetGivesTheSameBytes)
{
    QTemporaryDir dir;
    TForms f;
    auto a = f.Load(kDemo);
    f.Save(*a, dir.filePath("a.prp"));
    f.Save(*a, dir.filePath("a.000"));
    EXPECT_TRUE(a->Messages->contains(QStringLiteral("Компиляция...")));

    // The demo's two timer-generators, "0 10 20" and "1 ВА003 АВ012", are in the header
    // (on words from byte 105, off words from byte 121) and come back as text.
    const QByteArray image = FileBytes(dir.filePath("a.prp"));
    EXPECT_EQ(image.mid(105, 4).toHex(), "14000640");
    EXPECT_EQ(image.mid(121, 4).toHex(), "28001441");

    // .prp -> .zen -> .prp
    auto b = f.Load(dir.filePath("a.prp"));
    EXPECT_EQ(f.Ctx.ErrorCount, 0);
    EXPECT_TRUE(b->Messages->contains(QStringLiteral("Декомпиляция секции 211")));
    const QStringList &text = b->Header.Text;
    const qsizetype part = text.indexOf(QStringLiteral("/ ЗАКАЗ ТМГ"));
    ASSERT_GE(part, 0);
    EXPECT_EQ(text.mid(part + 1, 3), (QStringList{"0 10 20", "1 ВА003 АВ012", ""}));
    f.Save(*b, dir.filePath("b.zen"));
    auto c = f.Load(dir.filePath("b.zen"));
    f.Save(*c, dir.filePath("c.prp"));
    EXPECT_EQ(FileBytes(dir.filePath("c.prp")), FileBytes(dir.filePath("a.prp")));
    // ... and the decompiled text is stable.
    auto d = f.Load(dir.filePath("c.prp"));
    f.Save(*d, dir.filePath("d.zen"));
    EXPECT_EQ(FileBytes(dir.filePath("d.zen")), FileBytes(dir.filePath("b.zen")));

    // .000 -> .zen -> .000
    auto e = f.Load(dir.filePath("a.000"));
    EXPECT_EQ(f.Ctx.ErrorCount, 0);
    f.Save(*e, dir.filePath("e.zen"));
    EXPECT_EQ(FileBytes(dir.filePath("e.zen")), FileBytes(dir.filePath("b.zen")));
    auto g = f.Load(dir.filePath("e.zen"));
    f.Save(*g, dir.filePath("g.000"));
    for (const QString &name : QDir(dir.path()).entryList({"a.*"}, QDir::Files)) {
        if (name == u"a.prp")
            continue;
        const QString other = QStringLiteral("g.") + name.mid(2);
        EXPECT_EQ(FileBytes(dir.filePath(other)), FileBytes(dir.filePath(name)))
            << name.toStdString();
    }
}

TEST(Forms, DemoThroughTheOldFormatKeepsItsCode)
{
    QTemporaryDir dir;
    TForms f;
    auto a = f.Load(kDemo);
    f.Save(*a, dir.filePath("a.prp"));
    f.Save(*a, dir.filePath("a.prg"));
    const QStringList old = Cp1251Text(FileBytes(dir.filePath("a.prg")));
    EXPECT_TRUE(old.contains(QStringLiteral("105.")));
    for (const QString &line : old)
        EXPECT_EQ(line, ControllerLower(line));

    auto b = f.Load(dir.filePath("a.prg"));
    EXPECT_EQ(f.Ctx.ErrorCount, 0) << b->Messages->join(u'\n').toStdString();
    f.Save(*b, dir.filePath("b.zen"));
    auto c = f.Load(dir.filePath("b.zen"));
    f.Save(*c, dir.filePath("c.prp"));
    EXPECT_EQ(Blocks(*c), Blocks(*a));
}

// Generated programs of several sections over every group: compiling, decompiling and
// compiling again gives the same image; the old format keeps every block.
TEST(Forms, GeneratedProgramsRoundTrip)
{
    QTemporaryDir dir;
    TForms f;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        TProgramGenerator gen(seed * 7919, f.Base);
        auto a = std::make_unique<TZentorProgram>();
        if (seed % 2) {
            auto demo = f.Load(kDemo);
            a->Header.Text = demo->Header.Text;
        }
        const int sections = 1 + gen.Pick(12);
        for (int k = 0; k < sections; ++k) {
            const int s = gen.Pick(256);
            QStringList text;
            for (int n = 1 + gen.Pick(12); n > 0; --n) {
                QStringList more = text;
                more.append(gen.Piece());
                TZentorSection probe;
                probe.Text = more;
                QStringList messages;
                f.Compiler.Messages = &messages;
                f.Compiler.AlgMemoryUsed = 0;
                if (f.Compiler.CompileSection(probe, s) != 0 || probe.CodeLength == 0)
                    break;
                text = more;
            }
            a->AddSection(s, QStringLiteral("Секция %1").arg(s));
            a->AddGroup(s / 32);
            a->Sections[s].Text = text;
        }
        const QString stem = dir.filePath(QStringLiteral("g%1").arg(seed));
        f.Save(*a, stem + ".prp");
        auto b = f.Load(stem + ".prp");
        ASSERT_EQ(f.Ctx.ErrorCount, 0) << b->Messages->join(u'\n').toStdString();
        f.Save(*b, stem + ".zen");
        auto c = f.Load(stem + ".zen");
        f.Save(*c, stem + "c.prp");
        ASSERT_EQ(FileBytes(stem + "c.prp"), FileBytes(stem + ".prp")) << "seed " << seed;

        f.Save(*a, stem + ".prg");
        auto d = f.Load(stem + ".prg");
        ASSERT_EQ(f.Ctx.ErrorCount, 0) << d->Messages->join(u'\n').toStdString();
        f.Save(*d, stem + "d.prp");
        ASSERT_EQ(Blocks(*d), Blocks(*a)) << "seed " << seed;
    }
}

TEST(Forms, DamagedBlocksAreReportedAndKept)
{
    QTemporaryDir dir;
    TForms f;
    auto a = f.Load(kDemo);
    f.Save(*a, dir.filePath("a.000"));
    // Section 101's block with an opcode no row covers, its checksum kept right.
    QByteArray block = FileBytes(dir.filePath("a.101"));
    ASSERT_GT(block.size(), 8);
    block[5] = char(0x8B);
    block[4] = 0;
    std::uint8_t sum =
        ByteSum(reinterpret_cast<const std::uint8_t *>(block.constData()), block.size() - 1);
    block[4] = char((256 - sum) % 256);
    ASSERT_TRUE(PutFile(dir.filePath("a.101"), block));
    auto b = f.Load(dir.filePath("a.000"));
    EXPECT_EQ(f.Ctx.ErrorCount, 1);
    EXPECT_TRUE(b->Messages->contains(
        QStringLiteral("Ошибка декомпиляции секции 101: неизвестный код 8B на смещении 5")));
    EXPECT_EQ(b->Sections[33].CompiledOk, 0);
    EXPECT_EQ(b->Sections[33].Text.size(), 1);
    // The code itself stays: written back as an image form it is the same block.
    f.Save(*b, dir.filePath("b.000"));
    EXPECT_EQ(FileBytes(dir.filePath("b.101")), block);
}

TEST(Forms, ASaveOnAFullDiskFailsAndKeepsTheOldFiles)
{
    TFullDisk disk("1m");
    REQUIRE_FULL_DISK(disk);
    TForms f;
    auto a = f.Load(kDemo);
    const QStringList names = {"p.zen", "p.prg", "p.prp", "p.000"};
    for (const QString &name : names)
        f.Save(*a, disk.Path(name));
    QMap<QString, QByteArray> before;
    for (const QString &name : disk.Entries())
        before[name] = FileBytes(disk.Path(name));

    auto b = f.Load(kDemo);
    b->AddSection(200, QStringLiteral("Новая"));
    b->CommitSectionText(200, {QStringLiteral("ВКЛ ДВ1")});
    ASSERT_TRUE(disk.Fill());
    for (const QString &name : names) {
        EXPECT_EQ(SaveToFile(*b, disk.Path(name), f.Ctx), FileIoError) << name.toStdString();
        EXPECT_TRUE(f.Ctx.Error.endsWith(QString::fromLocal8Bit(std::strerror(ENOSPC))))
            << f.Ctx.Error.toStdString();
    }
    QMap<QString, QByteArray> after;
    for (const QString &name : disk.Entries())
        after[name] = FileBytes(disk.Path(name));
    EXPECT_EQ(after, before);
}
