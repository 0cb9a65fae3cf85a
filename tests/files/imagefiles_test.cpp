#include "files/programfiles.h"

#include "../model/testblocks.h"
#include "../prp/qtprint.h"
#include "filetestutil.h"
#include "model/zentorprogram.h"

#include <QDir>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>

namespace {

std::unique_ptr<TZentorProgram> NewProgram()
{
    return std::make_unique<TZentorProgram>();
}

// A compiled program: header with a key, sections 000, 101 and 300, image assembled.
std::unique_ptr<TZentorProgram> CompiledProgram()
{
    auto p = NewProgram();
    p->Header.OrderAV = 3;
    p->Header.TechKeys[17] = {8, 2, QStringLiteral("ДАВЛЕНИЕ")};
    p->Header.TimeGen[1][0] = 20;
    PutTestBlock(*p, 0, 2);
    PutTestBlock(*p, 33, 30);
    PutTestBlock(*p, 96, 250);
    p->AssembleImage();
    return p;
}

QByteArray ImageBytes(const TZentorProgram &p)
{
    return QByteArray(reinterpret_cast<const char *>(p.Image), p.ImageLength);
}

QStringList FilesIn(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::Files, QDir::Name);
}

} // namespace

TEST(PrpFile, WritesAndReadsTheImageBytes)
{
    QTemporaryDir dir;
    auto a = CompiledProgram();
    TFileContext ctx;
    const QString path = dir.filePath("x.prp");
    ASSERT_EQ(SaveToFile(*a, path, ctx), FileOk) << ctx.Error.toStdString();
    EXPECT_EQ(FileBytes(path), ImageBytes(*a));

    auto b = NewProgram();
    int decompiled = 0;
    ctx.DecompileAfterLoad = [&](TZentorProgram &p) {
        EXPECT_EQ(&p, b.get());
        EXPECT_TRUE(p.Sections[96].Present); // split before decompiling
        ++decompiled;
        return 0;
    };
    ASSERT_EQ(LoadFromFile(*b, path, ctx), FileOk);
    EXPECT_EQ(decompiled, 1);
    EXPECT_EQ(ctx.ErrorCount, 0);
    EXPECT_EQ(b->PresentSectionCount(), 3);
    EXPECT_EQ(b->Sections[33].CodeLength, 36);
    EXPECT_EQ(b->Header.TechKeys[17].Class, 8);
}

TEST(PrpFile, DropsTheSystemInformationPrefix)
{
    QTemporaryDir dir;
    auto a = CompiledProgram();
    const QString path = dir.filePath("x.prp");
    ASSERT_TRUE(PutFile(path, QByteArray(57, '\x05') + ImageBytes(*a)));
    auto b = NewProgram();
    TFileContext ctx;
    ASSERT_EQ(LoadFromFile(*b, path, ctx), FileOk);
    EXPECT_EQ(b->Messages->first(),
              QStringLiteral("Вероятно, в начале ПрП записана системная информация."));
    EXPECT_EQ(ImageBytes(*b), ImageBytes(*a));
    EXPECT_EQ(b->PresentSectionCount(), 3);
}

TEST(PrpFile, DamagedOrOversizedFilesAreReported)
{
    QTemporaryDir dir;
    auto a = CompiledProgram();
    const QString path = dir.filePath("x.prp");

    ASSERT_TRUE(PutFile(path, ImageBytes(*a).left(a->ImageLength - 10)));
    auto b = NewProgram();
    TFileContext ctx;
    EXPECT_EQ(LoadFromFile(*b, path, ctx), FileOk);
    EXPECT_EQ(ctx.ErrorCount, 1);
    EXPECT_TRUE(ctx.Damaged);
    EXPECT_TRUE(b->Sections[33].Present); // what came before the damage is kept
    EXPECT_TRUE(b->Messages->last().contains(QStringLiteral("выходит за пределы")));

    ASSERT_TRUE(PutFile(path, ImageBytes(*a) + QByteArray(25000, '\0')));
    ctx = TFileContext();
    EXPECT_EQ(LoadFromFile(*b, path, ctx), FileOk);
    EXPECT_EQ(b->ImageLength, 20000);
    EXPECT_TRUE(b->Messages->contains(
        QStringLiteral("Файл ПрП длиннее 20000 байт: прочитаны первые 20000 байт")));
    EXPECT_EQ(ctx.ErrorCount, 1);
    EXPECT_FALSE(ctx.Damaged); // the image itself is whole

    ASSERT_TRUE(PutFile(path, QByteArray()));
    ctx = TFileContext();
    EXPECT_EQ(LoadFromFile(*b, path, ctx), FileOk);
    EXPECT_EQ(ctx.ErrorCount, 1);
    EXPECT_TRUE(ctx.Damaged);
}

TEST(PrpFile, TextFormProgramIsCompiledBeforeWritingAnImage)
{
    QTemporaryDir dir;
    auto p = NewProgram();
    p->CommitSectionText(0, {"ВКЛ ДВ1"});
    TFileContext ctx;
    const QString path = dir.filePath("x.prp");
    EXPECT_EQ(SaveToFile(*p, path, ctx), FileNotCompiled);
    EXPECT_FALSE(ctx.Error.isEmpty());
    EXPECT_FALSE(QFile::exists(path));

    ctx.CompileBeforeImageSave = [](TZentorProgram &) { return false; };
    EXPECT_EQ(SaveToFile(*p, dir.filePath("x.000"), ctx), FileNotCompiled);
    EXPECT_TRUE(FilesIn(dir).isEmpty());

    ctx.CompileBeforeImageSave = [](TZentorProgram &q) {
        PutTestBlock(q, 0, 1);
        q.Sections[0].NeedsCompile = 0;
        return q.AssembleImage();
    };
    ASSERT_EQ(SaveToFile(*p, path, ctx), FileOk);
    EXPECT_EQ(FileBytes(path), ImageBytes(*p));
}

TEST(SectionFileSet, WritesOneFilePerPresentSectionAndTheHeader)
{
    QTemporaryDir dir;
    auto p = CompiledProgram();
    p->Sections[96].Present = 0;
    ASSERT_TRUE(PutFile(dir.filePath("prog.102"), "stale"));
    ASSERT_TRUE(PutFile(dir.filePath("other.102"), "other program"));
    TFileContext ctx;
    ASSERT_EQ(SaveToFile(*p, dir.filePath("prog.000"), ctx), FileOk) << ctx.Error.toStdString();
    EXPECT_EQ(FilesIn(dir), (QStringList{"other.102", "prog.000", "prog.101", "prog.hdr"}));
    EXPECT_EQ(FileBytes(dir.filePath("prog.101")),
              QByteArray(reinterpret_cast<const char *>(p->Sections[33].Code), 36));
    QByteArray header(reinterpret_cast<const char *>(p->Header.Bytes), p->Header.BytesLength);
    EXPECT_EQ(FileBytes(dir.filePath("prog.hdr")), header + '\0');
}

TEST(SectionFileSet, ImageToSetToImageIsByteIdentical)
{
    QTemporaryDir dir;
    auto a = CompiledProgram();
    a->Header.Bytes[8] = 0x5A; // kept through every form
    a->AssembleImage();
    TFileContext ctx;
    ASSERT_EQ(SaveToFile(*a, dir.filePath("x.prp"), ctx), FileOk);

    auto b = NewProgram();
    ASSERT_EQ(LoadFromFile(*b, dir.filePath("x.prp"), ctx), FileOk);
    ASSERT_EQ(SaveToFile(*b, dir.filePath("y.000"), ctx), FileOk) << ctx.Error.toStdString();

    auto c = NewProgram();
    ASSERT_EQ(LoadFromFile(*c, dir.filePath("y.000"), ctx), FileOk) << ctx.Error.toStdString();
    EXPECT_EQ(ctx.ErrorCount, 0);
    EXPECT_TRUE(c->Messages->contains(QStringLiteral("Загрузка из файла ") + dir.path() +
                                      QStringLiteral("/y.101")));
    EXPECT_TRUE(c->Messages->contains(QStringLiteral("Загрузка заголовка ПрП из файла ") +
                                      dir.path() + QStringLiteral("/y.hdr")));
    EXPECT_EQ(c->Sections[96].Modified, 1);
    EXPECT_EQ(c->Sections[96].NeedsCompile, 0);
    EXPECT_EQ(c->Sections[96].CodeLength, 256);
    ASSERT_EQ(SaveToFile(*c, dir.filePath("z.prp"), ctx), FileOk);
    EXPECT_EQ(FileBytes(dir.filePath("z.prp")), FileBytes(dir.filePath("x.prp")));
}

TEST(SectionFileSet, ReadsOnlySoundFilesNamedAfterTheirSection)
{
    QTemporaryDir dir;
    auto a = CompiledProgram();
    PutTestBlock(*a, 128, 4);
    auto block = [&](int s) {
        return QByteArray(reinterpret_cast<const char *>(a->Sections[s].Code),
                          a->Sections[s].CodeLength);
    };
    ASSERT_TRUE(PutFile(dir.filePath("s.000"), QByteArray()));    // present, no code
    ASSERT_TRUE(PutFile(dir.filePath("s.101"), block(33) + 'x')); // one byte too many
    ASSERT_TRUE(PutFile(dir.filePath("s.102"), QByteArray(300, '\x2B')));
    ASSERT_TRUE(PutFile(dir.filePath("s.103"), block(0).left(5))); // too short for a block
    ASSERT_TRUE(PutFile(dir.filePath("s.047"), block(0)));         // "047" would read as section 39
    ASSERT_TRUE(PutFile(dir.filePath("s.777"), block(0)));         // would wrap round to 31
    ASSERT_TRUE(PutFile(dir.filePath("s.107"), block(33)));        // section 39 holding 101's block
    ASSERT_TRUE(PutFile(dir.filePath("s.400"), block(128)));
    ASSERT_TRUE(PutFile(dir.filePath("s.txt"), "ignored"));
    ASSERT_TRUE(PutFile(dir.filePath("s.abc"), "ignored"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("s.005"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("s.006")).constData(), 0600), 0);
    auto p = NewProgram();
    TFileContext ctx;
    int decompiled = 0;
    ctx.DecompileAfterLoad = [&](TZentorProgram &) { return ++decompiled, 0; };
    ASSERT_EQ(LoadFromFile(*p, dir.filePath("s.000"), ctx), FileOk) << ctx.Error.toStdString();
    EXPECT_EQ(decompiled, 1);
    const QString d = dir.path() + u'/';
    const QStringList faults = {
        QStringLiteral("%1s.005 — не файл, а папка: не загружен").arg(d),
        QStringLiteral("%1s.006 — не файл, а канал (FIFO): не загружен").arg(d),
        QStringLiteral("Файл %1s.047 не загружен: его расширение не номер секции (000–737)").arg(d),
        QStringLiteral("Файл секции %1s.101 повреждён и не загружен").arg(d),
        QStringLiteral("Файл секции %1s.102 повреждён и не загружен").arg(d),
        QStringLiteral("Файл секции %1s.103 повреждён и не загружен").arg(d),
        QStringLiteral("Файл секции %1s.107 не загружен: номер секции в его блоке (101, 101) не "
                       "совпадает с именем файла")
            .arg(d),
        QStringLiteral("Файл %1s.777 не загружен: его расширение не номер секции (000–737)").arg(d),
    };
    QStringList found;
    for (const QString &line : *p->Messages)
        if (line.contains(QStringLiteral("не загружен")))
            found << line;
    EXPECT_EQ(found, faults);
    // The set has no header file either: it is damaged, and stores no image.
    EXPECT_EQ(p->Messages->last(),
              QStringLiteral("Набор секций %1s.000 неполон: нет файла заголовка %1s.hdr").arg(d));
    EXPECT_EQ(ctx.ErrorCount, faults.size() + 1);
    EXPECT_TRUE(ctx.Damaged);
    EXPECT_TRUE(p->Sections[0].Present);
    EXPECT_EQ(p->Sections[0].CodeLength, 0);
    EXPECT_EQ(p->Sections[128].CodeLength, 10);
    EXPECT_EQ(p->PresentSectionCount(), 2);
    EXPECT_EQ(p->ImageLength, 0);
}

TEST(SectionFileSet, ASaveThatFailsLeavesTheOldSetAsItWas)
{
    QTemporaryDir dir;
    auto a = CompiledProgram();
    TFileContext ctx;
    const QString set = dir.filePath("prog.000");
    ASSERT_EQ(SaveToFile(*a, set, ctx), FileOk);
    QMap<QString, QByteArray> before;
    for (const QString &name : FilesIn(dir))
        before[name] = FileBytes(dir.filePath(name));

    // The new program has one more section, and a folder stands where its file would go.
    auto b = NewProgram();
    for (int s : {0, 1, 33, 40})
        PutTestBlock(*b, s, 3 + s);
    b->AssembleImage();
    ASSERT_TRUE(QDir(dir.path()).mkdir("prog.110"));
    EXPECT_EQ(SaveToFile(*b, set, ctx), FileIoError);
    EXPECT_EQ(ctx.Error, QStringLiteral("Не удалось записать файл %1: на его месте папка")
                             .arg(dir.filePath("prog.110")));
    QMap<QString, QByteArray> after;
    for (const QString &name : FilesIn(dir))
        after[name] = FileBytes(dir.filePath(name));
    EXPECT_EQ(after, before);
}

TEST(PrpFile, ChecksumsThatDoNotHoldAreNamed)
{
    QTemporaryDir dir;
    auto a = CompiledProgram();
    const QString image = QStringLiteral("Ошибка в образе ПрП: контрольная сумма образа неверна");
    const QString header =
        QStringLiteral("Ошибка в образе ПрП: контрольная сумма заголовка неверна");
    const QString block101 =
        QStringLiteral("Ошибка в секции 101: контрольная сумма блока кода неверна");
    struct Case
    {
        int Offset; // of the byte changed
        QStringList Messages;
    };
    const int inBlock101 = a->Header.BytesLength + a->Sections[0].CodeLength + 10;
    const QList<Case> cases = {
        {140, {header, image}}, // the image checksum itself, which the header sum covers
        {143, {header}},
        {2, {header, image}}, // a header byte
        {inBlock101, {block101, image}},
        {-1, {}},
    };
    for (const Case &c : cases) {
        QByteArray bytes = ImageBytes(*a);
        if (c.Offset >= 0)
            bytes[c.Offset] = static_cast<char>(bytes[c.Offset] ^ 0x10);
        ASSERT_TRUE(PutFile(dir.filePath("x.prp"), bytes));
        auto p = NewProgram();
        TFileContext ctx;
        ASSERT_EQ(LoadFromFile(*p, dir.filePath("x.prp"), ctx), FileOk);
        QStringList sums;
        for (const QString &line : *p->Messages)
            if (line.contains(QStringLiteral("контрольная сумма")))
                sums << line;
        EXPECT_EQ(sums, c.Messages) << c.Offset;
        EXPECT_EQ(ctx.ErrorCount, c.Messages.size()) << c.Offset;
    }

    // A section file set: its blocks carry their own checksums.
    QByteArray member(reinterpret_cast<const char *>(a->Sections[33].Code),
                      a->Sections[33].CodeLength);
    member[10] = static_cast<char>(member[10] ^ 0x10);
    ASSERT_TRUE(PutFile(dir.filePath("y.101"), member));
    auto p = NewProgram();
    TFileContext ctx;
    ASSERT_EQ(LoadFromFile(*p, dir.filePath("y.000"), ctx), FileOk);
    EXPECT_TRUE(p->Messages->contains(block101));
    EXPECT_TRUE(ctx.Damaged);
}

TEST(PrpFile, OnlyARegularFileIsRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::link("/dev/zero", dir.filePath("zero.prp")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.prp"));
    for (const QString &name : {QStringLiteral("zero.prp"), QStringLiteral("folder.prp")}) {
        auto p = NewProgram();
        TFileContext ctx;
        EXPECT_EQ(LoadFromFile(*p, dir.filePath(name), ctx), FileIoError) << name.toStdString();
        EXPECT_TRUE(ctx.Error.startsWith(dir.filePath(name) + QStringLiteral(" — не файл, а ")))
            << ctx.Error.toStdString();
        EXPECT_EQ(p->ImageLength, 0);
    }
}

TEST(SectionFileSet, MissingSetLeavesTheModelCleared)
{
    QTemporaryDir dir;
    ASSERT_TRUE(PutFile(dir.filePath("progx.101"), "x"));
    auto p = NewProgram();
    p->AddSection(5, "x");
    TFileContext ctx;
    EXPECT_EQ(LoadFromFile(*p, dir.filePath("prog.000"), ctx), FileSetNotFound);
    EXPECT_EQ(p->PresentSectionCount(), 1);
    EXPECT_EQ(LoadFromFile(*p, dir.filePath("none/prog.000"), ctx), FileSetNotFound);
}

// A set is taken as whole only when its header file is sound and each group's section files
// add up to the group's word in it; anything else is named and makes the load a damaged one.
TEST(SectionFileSet, AnIncompleteOrDamagedSetIsNamed)
{
    QTemporaryDir dir;
    const QString set = dir.filePath("s.000");
    const QString hdr = dir.filePath("s.hdr");
    const QString s101 = dir.filePath("s.101");
    auto a = CompiledProgram();
    auto other = CompiledProgram();
    const auto changeByte = [](const QString &path, int at, char value) {
        QByteArray b = FileBytes(path);
        b[at] = value;
        return PutFile(path, b);
    };
    struct Case
    {
        const char *What;
        std::function<bool()> Damage;
        QString Message;
    };
    const QList<Case> cases = {
        {"whole", [] { return true; }, QString()},
        {"no header file", [&] { return QFile::remove(hdr); },
         QStringLiteral("Набор секций %1 неполон: нет файла заголовка %2").arg(set, hdr)},
        {"a section file missing", [&] { return QFile::remove(s101); },
         QStringLiteral("Набор секций %1 неполон: в группе 1 не хватает 36 байт").arg(set)},
        {"a section file emptied", [&] { return PutFile(s101, QByteArray()); },
         QStringLiteral("Набор секций %1 неполон: в группе 1 не хватает 36 байт").arg(set)},
        {"a section file of another program",
         [&] {
             PutTestBlock(*other, 33, 40);
             return PutFile(s101,
                            QByteArray(reinterpret_cast<const char *>(other->Sections[33].Code),
                                       other->Sections[33].CodeLength));
         },
         QStringLiteral("Набор секций %1 повреждён: в группе 1 на 10 байт больше, чем записано в "
                        "заголовке")
             .arg(set)},
        {"a byte of a section file changed", [&] { return changeByte(s101, 20, 0x7F); },
         QStringLiteral("Ошибка в секции 101: контрольная сумма блока кода неверна")},
        {"a section file's terminator turned 0xFF",
         [&] { return changeByte(s101, 35, char(0xFF)); },
         QStringLiteral("Ошибка в секции 101: последний байт блока кода равен 0xFF, а должен быть "
                        "0x00")},
        {"the header's length word changed", [&] { return changeByte(hdr, 141, char(161 + 22)); },
         QStringLiteral("Файл заголовка %1 повреждён:").arg(hdr)},
        {"a fixed header byte turned 0xFF", [&] { return changeByte(hdr, 150, char(0xFF)); },
         QStringLiteral("Ошибка в заголовке ПрП: байт 150 равен 0xFF, а должен быть 0x00")},
    };
    for (const Case &c : cases) {
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(dir.filePath(name));
        TFileContext ctx;
        ASSERT_EQ(SaveToFile(*a, set, ctx), FileOk) << ctx.Error.toStdString();
        ASSERT_TRUE(c.Damage()) << c.What;
        auto p = NewProgram();
        ASSERT_EQ(LoadFromFile(*p, set, ctx), FileOk) << c.What;
        EXPECT_EQ(ctx.Damaged, !c.Message.isEmpty()) << c.What;
        EXPECT_EQ(ctx.ErrorCount > 0, !c.Message.isEmpty()) << c.What;
        if (!c.Message.isEmpty())
            EXPECT_TRUE(p->Messages->contains(c.Message)) << c.What << '\n'
                                                          << p->Messages->join('\n').toStdString();
        else
            EXPECT_EQ(ImageBytes(*p), ImageBytes(*a)); // the image the set stores
    }
}

// A save stopped at any point leaves the old set with an unfinished P.new beside it, or a
// finished P.new: the next load removes the first and completes the second, so the set read
// is always the whole old or the whole new one.
TEST(SectionFileSet, AnInterruptedSaveLeavesTheWholeOldOrTheWholeNewSet)
{
    QTemporaryDir dir;
    const QString set = dir.filePath("s.000");
    auto oldProgram = CompiledProgram();
    auto newProgram = NewProgram();
    for (int s : {0, 1, 40})
        PutTestBlock(*newProgram, s, 5 + s);
    newProgram->AssembleImage();
    TFileContext ctx;
    // The new set's files as the save stages them.
    QTemporaryDir staged;
    ASSERT_EQ(SaveToFile(*newProgram, staged.filePath("s.000"), ctx), FileOk);
    const QStringList newFiles = QDir(staged.path()).entryList(QDir::Files);
    ASSERT_EQ(newFiles, (QStringList{"s.000", "s.001", "s.110", "s.hdr"}));

    struct Case
    {
        const char *What;
        bool Ready; // the list was on the disk: the new set counts
        int Moved;  // files already moved into place
        const QByteArray *Expected;
        QString Note;
    };
    const QByteArray oldImage = ImageBytes(*oldProgram);
    const QByteArray newImage = ImageBytes(*newProgram);
    const QString removed =
        QStringLiteral("Набор секций %1: удалены остатки прерванной записи (%2)")
            .arg(set, dir.filePath("s.new"));
    const QString finished =
        QStringLiteral("Набор секций %1: запись, прерванная при замене файлов, завершена").arg(set);
    const QList<Case> cases = {
        {"staged in part", false, 0, &oldImage, removed},
        {"staged, list not yet final", false, 0, &oldImage, removed},
        {"finished, nothing moved", true, 0, &newImage, finished},
        {"finished, two files moved", true, 2, &newImage, finished},
        {"finished, every file moved", true, 4, &newImage, finished},
    };
    for (const Case &c : cases) {
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(dir.filePath(name));
        ASSERT_EQ(SaveToFile(*oldProgram, set, ctx), FileOk);
        ASSERT_TRUE(QDir(dir.path()).mkdir("s.new"));
        QByteArray list;
        for (int i = 0; i < newFiles.size(); ++i) {
            const QString ext = newFiles[i].right(3);
            const QByteArray data = FileBytes(staged.filePath(newFiles[i]));
            list += ext.toLatin1() + '\n';
            if (!c.Ready && i == 2)
                break; // stopped while writing
            ASSERT_TRUE(PutFile(dir.filePath(i < c.Moved ? "s." + ext : "s.new/" + ext), data));
        }
        ASSERT_TRUE(PutFile(dir.filePath(c.Ready ? "s.new/ready" : "s.new/list"), list));
        auto p = NewProgram();
        ASSERT_EQ(LoadFromFile(*p, set, ctx), FileOk) << c.What;
        EXPECT_FALSE(ctx.Damaged) << c.What << '\n' << p->Messages->join('\n').toStdString();
        EXPECT_EQ(ImageBytes(*p), *c.Expected) << c.What;
        EXPECT_TRUE(p->Messages->contains(c.Note)) << c.What;
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("s.new"))) << c.What;
        // Section 101 and 300 of the old set are gone with it, or all there.
        EXPECT_EQ(QFileInfo::exists(dir.filePath("s.101")), c.Expected == &oldImage) << c.What;
    }
}
