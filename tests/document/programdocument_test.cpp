// The open program below the windows: what Open, Save as, Export and the compiles do to the
// program, its file, its changed mark and its messages, with the real compiler, the example
// program and the example algorithm base.

#include "../model/testblocks.h"
#include "../utf8text.h"
#include "core/textfile.h"
#include "document/programdocument.h"
#include "files/programfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

const QString kExamples = QStringLiteral(ZENTOR_SOURCE_DIR "/examples/");

class ProgramDocumentTest : public ::testing::Test
{
protected:
    QTemporaryDir Temp;
    TProgramDocument Doc;
    int Changes = 0; // the changed mark's news

    void SetUp() override
    {
        ASSERT_TRUE(Temp.isValid());
        Doc.LoadAlgorithmBase(kExamples + QStringLiteral("BaseAlgs.alg"));
        QObject::connect(&Doc, &TProgramDocument::ChangedMarkChanged, [this] { ++Changes; });
    }
    QString File(const QString &name) const { return Temp.path() + u'/' + name; }
    QString WriteProgram(const QString &name)
    {
        QString error;
        EXPECT_TRUE(WriteTextFile(File(name), {S("/ СЕКЦИЯ 000 !Пуск"), S("ВКЛ ДВ1")}, error));
        return File(name);
    }
    void OpenDemo()
    {
        ASSERT_TRUE(QFile::copy(kExamples + QStringLiteral("demo.zen"), File(S("demo.zen"))));
        ASSERT_TRUE(Doc.Open(File(S("demo.zen"))));
    }
    // The program as a cleared one is: the header, group 0 and its empty section 000.
    bool Cleared() const
    {
        const TZentorProgram &p = Doc.Program();
        return p.PresentSectionCount() == 1 && p.Sections[0].Present &&
               p.Sections[0].Text.isEmpty();
    }
};

} // namespace

TEST_F(ProgramDocumentTest, MessagesAreRecordsOfTheirPlaces)
{
    Doc.AddMessage(S("Компиляция..."));
    Doc.MessageSink()->append(S("[101.2:3] Синтаксическая ошибка в строке 2 в позиции 3"));
    Doc.MessageSink()->append(S("[Заголовок.4]. Ошибка"));
    Doc.MessagesWritten();
    const std::vector<TPlacedMessage> &m = Doc.Messages();
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].Node, -1);
    EXPECT_EQ(m[1].Node, 33);
    EXPECT_EQ(m[1].Line, 2);
    EXPECT_EQ(m[1].Column, 3);
    EXPECT_EQ(m[2].Node, TTreeItemInfo::HeaderCode);
    EXPECT_EQ(m[2].Line, 4);
    // A list cut back and written again is read again.
    Doc.TruncateMessages(1);
    Doc.AddMessage(S("[000.1:1] x"));
    ASSERT_EQ(Doc.Messages().size(), 2u);
    EXPECT_EQ(Doc.Messages()[1].Node, 0);
    EXPECT_EQ(Doc.Messages()[1].Text, S("[000.1:1] x"));
}

TEST_F(ProgramDocumentTest, CompileReportsTheSize)
{
    OpenDemo();
    ASSERT_TRUE(Doc.Compile(false));
    const QStringList list = Doc.MessageLines();
    ASSERT_FALSE(list.isEmpty());
    EXPECT_EQ(list.first(), S("Компиляция..."));
    EXPECT_TRUE(list.contains(S("Сведения о переменных")));
    EXPECT_EQ(list.last(), S("Компиляция завершена успешно. Размер ПрП ") +
                               QString::number(Doc.Program().ImageLength) + S(" байт."))
        << list.join(u'\n').toStdString();

    // Compile all compiles every section again.
    for (int n = 0; n < 256; ++n)
        Doc.Program().Sections[n].NeedsCompile = 0;
    Doc.Program().Sections[33].CompiledOk = 0;
    Doc.Compile(true);
    EXPECT_EQ(Doc.Program().Sections[33].CompiledOk, 1);
    EXPECT_TRUE(Doc.MessageLines().last().startsWith(S("Компиляция завершена успешно.")));
    EXPECT_EQ(Changes, 1); // the open; compiling a program source file leaves it unmarked
    EXPECT_FALSE(Doc.Changed());
}

TEST_F(ProgramDocumentTest, ACompileThatChangesAnOpenedImageMarksIt)
{
    // An image whose call has its own memory at 100, where a compile would put it at 0.
    {
        TZentorCompiler compiler;
        compiler.AlgBase = &Doc.AlgBase();
        auto p = std::make_unique<TZentorProgram>();
        p->Sections[0].Text = {S("АЛГ003 = +ВА001 = АВ002 = 00.02.00 = 00.01.00 = ДВ001")};
        compiler.AlgMemoryUsed = 100;
        ASSERT_EQ(compiler.CompileSection(p->Sections[0], 0), 0);
        ASSERT_TRUE(p->AssembleImage());
        QString error;
        ASSERT_TRUE(WriteBinaryFile(
            File(S("x.prp")), QByteArray(reinterpret_cast<const char *>(p->Image), p->ImageLength),
            error));
    }
    ASSERT_TRUE(Doc.Open(File(S("x.prp"))));
    ASSERT_EQ(Doc.Program().PresentSectionCount(), 1);
    Doc.Compile(false); // nothing to compile: the image stays as it was
    EXPECT_FALSE(Doc.Changed());
    Doc.Compile(true);
    EXPECT_EQ(Doc.Program().Sections[0].Code[8], 0); // the call's memory moved to 0
    EXPECT_TRUE(Doc.Changed());
}

TEST_F(ProgramDocumentTest, AFileThatCannotBeReadLeavesAnEmptyProgram)
{
    ASSERT_TRUE(Doc.Open(WriteProgram(S("p.zen"))));
    EXPECT_EQ(Doc.FileName(), File(S("p.zen")));
    // Any extension the program does not know; a program source file that cannot be read.
    QFile f(File(S("образ.xyz")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QDir().mkpath(File(S("папка.zen")));
    for (const QString &bad : {File(S("образ.xyz")), File(S("папка.zen"))}) {
        ASSERT_TRUE(Doc.Open(File(S("p.zen"))));
        EXPECT_FALSE(Doc.Open(bad));
        EXPECT_EQ(Doc.MessageLines().last(), S("Ошибка при чтении файла"));
        // No current file the empty program could be saved over.
        EXPECT_TRUE(Doc.FileName().isEmpty());
        EXPECT_FALSE(Doc.Save());
        EXPECT_TRUE(Cleared());
    }
}

TEST_F(ProgramDocumentTest, ADamagedImageIsNotOpened)
{
    ASSERT_TRUE(Doc.Open(WriteProgram(S("good.zen"))));
    std::mt19937 rng(11);
    QByteArray noise(3000, 0);
    for (char &c : noise)
        c = static_cast<char>(rng());
    // Two blocks labelled section 000, every sum made to hold: the check still sees it.
    auto p = std::make_unique<TZentorProgram>();
    PutTestBlock(*p, 0, 3);
    PutTestBlock(*p, 1, 3);
    p->AssembleImage();
    p->Image[p->Header.BytesLength + 9 + 2] = p->Image[p->Header.BytesLength + 9 + 3] = 0;
    p->Image[p->Header.BytesLength + 9 + 4] =
        BlockChecksumByte(p->Image + p->Header.BytesLength + 9, 8);
    WriteImageSums(p->Image, p->ImageLength);
    const QByteArray twice(reinterpret_cast<const char *>(p->Image), p->ImageLength);
    const struct
    {
        const char *Name;
        QByteArray Bytes;
    } images[] = {{"пустой.prp", QByteArray()}, {"шум.prp", noise}, {"дважды.prp", twice}};
    // A section file set without its header file.
    TFileContext ctx;
    ASSERT_EQ(SaveToFile(*p, File(S("набор.000")), ctx), FileOk);
    ASSERT_TRUE(QFile::remove(File(S("набор.hdr"))));
    QStringList paths{File(S("набор.000"))};
    for (const auto &image : images) {
        QString error;
        ASSERT_TRUE(WriteBinaryFile(File(S(image.Name)), image.Bytes, error));
        paths.append(File(S(image.Name)));
    }
    for (const QString &path : paths) {
        const std::string name = path.toStdString();
        EXPECT_FALSE(Doc.Open(path)) << name;
        EXPECT_EQ(Doc.MessageLines().last(), S("Ошибка при чтении файла")) << name;
        EXPECT_FALSE(Doc.MessageLines().contains(S("Ок"))) << name;
        EXPECT_TRUE(Cleared()) << name;
        EXPECT_TRUE(Doc.FileName().isEmpty());
    }
}

TEST_F(ProgramDocumentTest, ExportedFormsOpenAgainWithoutACurrentFile)
{
    OpenDemo();
    const QString demo = Doc.FileName();
    // The image, the section file set and the old format (through the compiler both ways).
    const struct
    {
        const char *Name;
        QStringList Files;
        const char *Line; // a line the open writes
    } forms[] = {
        {"образ.prp", {S("образ.prp")}, "Декомпиляция секции 101"},
        {"набор.000", {S("набор.000"), S("набор.101"), S("набор.hdr")}, "Ок"},
        {"старая.prg", {S("старая.prg")}, "Ок"},
    };
    for (const auto &form : forms) {
        const std::string name = form.Name;
        ASSERT_TRUE(Doc.Open(demo)) << name;
        ASSERT_TRUE(Doc.Export(File(S(form.Name)))) << name;
        EXPECT_EQ(Doc.MessageLines().last(), S("Ок"))
            << Doc.MessageLines().join(u'\n').toStdString();
        EXPECT_EQ(Doc.FileName(), demo) << name; // an export leaves the program's file
        for (const QString &file : form.Files)
            EXPECT_TRUE(QFileInfo::exists(File(file))) << file.toStdString();
        if (QString(form.Name).endsWith(S(".prp"))) {
            EXPECT_EQ(QFileInfo(File(S(form.Name))).size(), Doc.Program().ImageLength);
        }

        ASSERT_TRUE(Doc.Open(File(S(form.Name)))) << name;
        EXPECT_TRUE(Doc.MessageLines().contains(S(form.Line)))
            << Doc.MessageLines().join(u'\n').toStdString();
        EXPECT_TRUE(Doc.FileName().isEmpty()) << name;
        // The sections come back as text, group 2 with them.
        EXPECT_TRUE(Doc.Program().Sections[33].Present) << name;
        EXPECT_FALSE(Doc.Program().Sections[33].Text.isEmpty()) << name;
        EXPECT_TRUE(Doc.Program().GroupPresent[2]) << name;
    }
}

TEST_F(ProgramDocumentTest, SaveAndSaveAsWriteTheProgramAndClearTheMark)
{
    ASSERT_TRUE(Doc.Open(WriteProgram(S("p.zen"))));
    Doc.Program().CommitSectionText(0, {S("ВКЛ ДВ2")});
    Doc.SetChanged(true);
    ASSERT_TRUE(Doc.Save());
    EXPECT_EQ(Doc.MessageLines(),
              QStringList({S("Сохранение в файл ") + File(S("p.zen")) + S("..."), S("Ok")}));
    EXPECT_FALSE(Doc.Changed());
    QStringList lines;
    QString error;
    ASSERT_TRUE(ReadTextFile(File(S("p.zen")), lines, error));
    EXPECT_TRUE(lines.contains(S("ВКЛ ДВ2")));

    // Save as moves the program to its new file; a file that cannot be written keeps it
    // where it was, marked.
    Doc.SetChanged(true);
    EXPECT_FALSE(Doc.SaveAs(File(S("нет/q.zen"))));
    EXPECT_EQ(Doc.MessageLines().last(), S("Ошибка при записи файла"));
    EXPECT_EQ(Doc.FileName(), File(S("p.zen")));
    EXPECT_TRUE(Doc.Changed());
    ASSERT_TRUE(Doc.SaveAs(File(S("q.zen"))));
    EXPECT_EQ(Doc.FileName(), File(S("q.zen")));
    EXPECT_FALSE(Doc.Changed());
    EXPECT_TRUE(QFileInfo::exists(File(S("q.zen"))));
}
