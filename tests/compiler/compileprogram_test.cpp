// The whole-program compile: header, sections, progress, summary and image.

#include "compilertest.h"

#include "core/progress.h"
#include "core/textutils.h"

#include <memory>

namespace {

// Remembers what the compile showed, one line per call.
class TRecordingProgress : public TProgress
{
public:
    QStringList Calls;
    void SetCaption(const QString &s) override { Calls.append("caption " + s); }
    void SetMaximum(int m) override { Calls.append("max " + QString::number(m)); }
    void SetPosition(int p) override { Calls.append("pos " + QString::number(p)); }
    void SetAction(const QString &s) override { Calls.append("action " + s); }
    void Show() override { Calls.append("show"); }
    void Hide() override { Calls.append("hide"); }
};

const QStringList kSummaryZero = {
    "Сведения о переменных",
    "  максимальный индекс ВД: 000;",
    "  максимальный индекс ДВ: 000;",
    "  максимальный индекс ВА: 000;",
    "  максимальный индекс АВ: 000;",
    "  максимальный индекс ТМ: 00.",
    "Использовано 0 байт памяти алгоритмов",
};

class CompileProgramTest : public CompilerTest
{
protected:
    CompileProgramTest() : Program(std::make_unique<TZentorProgram>())
    {
        Program->Messages = &Messages;
    }

    void SetSection(int n, const QStringList &text)
    {
        Program->AddGroup(n / 32);
        Program->AddSection(n, QString());
        Program->CommitSectionText(n, text);
    }

    bool Run()
    {
        Messages.clear();
        return Compiler.CompileProgram(*Program, NoProgress());
    }

    TByteList ImageBytes(int from, int count) const
    {
        return TByteList(Program->Image + from, Program->Image + from + count);
    }

    std::unique_ptr<TZentorProgram> Program;
};

} // namespace

TEST_F(CompileProgramTest, CompilesHeaderAndEverySectionThatNeedsIt)
{
    Program->Header.Text = QStringList{"/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ", "НАСОС ДВ012", "ПУСК ВКЛ"};
    SetSection(0, {"ПУСК НАСОС"});
    SetSection(97, {"ЕСЛИ ВКЛ ДВ017 ТОГДА ВКЛ ДВ5"}); // section 301, group 3
    EXPECT_TRUE(Run()) << Messages.join('|').toStdString();
    QStringList expected = kSummaryZero;
    expected[2] = "  максимальный индекс ДВ: 017;";
    EXPECT_EQ(Messages, expected);

    const int header = Program->Header.BytesLength;
    ASSERT_EQ(Program->ImageLength, header + 8 + 10);
    EXPECT_EQ(ImageBytes(header, 8), (TByteList{0x07, 0x07, 0x00, 0x00, 0xDC, 0x0C, 0x0A, 0x00}));
    EXPECT_EQ(ImageBytes(header + 8, 10),
              (TByteList{0x09, 0x09, 0x61, 0x61, 0x7B, 0x70, 0x0F, 0x2C, 0x05, 0x00}));
    for (int s : {0, 97}) {
        EXPECT_EQ(Program->Sections[s].CompiledOk, 1);
        EXPECT_EQ(Program->Sections[s].NeedsCompile, 0);
    }
}

TEST_F(CompileProgramTest, HeaderErrorsDoNotDecideTheResult)
{
    Program->Header.Text = QStringList{"/ НЕПОНЯТНЫЙ РАЗДЕЛ"};
    SetSection(0, {"ВСК"});
    EXPECT_TRUE(Run());
    ASSERT_GT(Messages.size(), kSummaryZero.size());
    EXPECT_TRUE(Messages[0].startsWith("[Заголовок.")) << Messages[0].toStdString();
    EXPECT_EQ(Messages.mid(Messages.size() - 7), kSummaryZero);
}

TEST_F(CompileProgramTest, FailingSectionsDoNotStopTheRun)
{
    SetSection(0, {"ВКЛ ДВ1"});
    SetSection(1, {"ТОГДА ВСК"});
    SetSection(2, {"ВКЛ ДВ8"});
    SetSection(3, {"ВКЛ ДВ3", "! конец"});
    // Section 2 had a block from an earlier compilation: a lexical failure keeps it.
    ASSERT_TRUE(Compiler.CompileSection(Program->Sections[2], 2) == 1);
    Program->Sections[2].Text = QStringList{"ВСК"};
    ASSERT_EQ(Compiler.CompileSection(Program->Sections[2], 2), 0);
    Program->Sections[2].Text = QStringList{"ВКЛ ДВ8"};
    Program->Sections[2].NeedsCompile = 1;

    EXPECT_FALSE(Run());
    EXPECT_EQ(Messages.mid(0, 3),
              (QStringList{"[001.0:1] Синтаксическая ошибка в строке 0 в позиции 1",
                           "[002.0:5] Ошибка в строке 0 в позиции 5", "Недопустимое слово ДВ8"}));
    EXPECT_EQ(Messages.size(), 3 + 7);
    EXPECT_EQ(Program->Sections[0].CompiledOk, 1);
    EXPECT_EQ(Program->Sections[1].CompiledOk, 0);
    EXPECT_EQ(Program->Sections[1].CodeLength, 0);
    EXPECT_EQ(Program->Sections[2].CompiledOk, 0);
    EXPECT_EQ(Program->Sections[2].CodeLength, 7);
    EXPECT_EQ(Program->Sections[3].CompiledOk, 1);
    // The image is assembled all the same: blocks of sections 0, 2 (the old one) and 3.
    EXPECT_EQ(Program->ImageLength, Program->Header.BytesLength + 8 + 7 + 8);
}

TEST_F(CompileProgramTest, OnlySectionsThatNeedCompilingAreCompiled)
{
    SetSection(0, {"АЛГ020 = +1"});
    SetSection(1, {"АЛГ020 = +2"});
    SetSection(2, {"АЛГ020 = +3"});
    ASSERT_TRUE(Run());
    EXPECT_EQ(Messages.last(), "Использовано 12 байт памяти алгоритмов");
    const TByteList block1(Program->Sections[1].Code,
                           Program->Sections[1].Code + Program->Sections[1].CodeLength);

    // Only section 2 changed: the counter starts again at 0 and section 1 keeps its block.
    Program->CommitSectionText(2, {"АЛГ020 = +4 ВКЛ ТМ1"});
    TRecordingProgress progress;
    Messages.clear();
    ASSERT_TRUE(Compiler.CompileProgram(*Program, progress));
    EXPECT_EQ(progress.Calls, (QStringList{"caption Компиляция ПрП", "max 4", "pos 0", "show",
                                           "action Компиляция заголовка ПрП", "pos 1", "pos 3",
                                           "action Компиляция секции 002", "hide"}));
    EXPECT_EQ(Messages[5], "  максимальный индекс ТМ: 01.");
    EXPECT_EQ(Messages.last(), "Использовано 4 байт памяти алгоритмов");
    EXPECT_EQ(TByteList(Program->Sections[1].Code,
                        Program->Sections[1].Code + Program->Sections[1].CodeLength),
              block1);
    EXPECT_EQ(Program->Sections[2].Code[8], 0x00); // own memory from 0 again
    EXPECT_EQ(Program->ImageLength, Program->Header.BytesLength + 3 * 13 + 2);
}

TEST_F(CompileProgramTest, ImageThatCannotBeReadBackWholeIsWarnedAbout)
{
    SetSection(0, {"ВСК"});
    ASSERT_TRUE(Run());
    const int header = Program->Header.BytesLength;
    // Full blocks of 255 bytes (a sum of 123 terms and a ВСК), then one block that brings
    // the image to exactly 16384 bytes: a sum of n terms and k ВСК.
    const int full = (16384 - header) / 256;
    const int rest = (16384 - header) % 256;
    ASSERT_GE(rest, 11);
    const int k = (rest - 9) % 2 == 1 ? 1 : 2;
    const int n = (rest - 9 - k) / 2;
    for (int s = 0; s < full; ++s)
        SetSection(s, {"АВ1 =" + QString(" +1").repeated(123) + " ВСК"});
    SetSection(full, {"АВ1 =" + QString(" +1").repeated(n) + QString(" ВСК").repeated(k)});
    EXPECT_TRUE(Run());
    EXPECT_EQ(Program->ImageLength, 16384);
    QStringList summary = kSummaryZero;
    summary[4] = "  максимальный индекс АВ: 001;";
    EXPECT_EQ(Messages, summary);

    // One byte more: the warning is the last line, and the compile still succeeds.
    Program->CommitSectionText(
        full, {"АВ1 =" + QString(" +1").repeated(n) + QString(" ВСК").repeated(k + 1)});
    EXPECT_TRUE(Run());
    EXPECT_EQ(Program->ImageLength, 16385);
    EXPECT_EQ(Messages, summary + QStringList{"Предупреждение. Размер ПрП больше 16384 байт: "
                                              "из контроллера его нельзя будет считать целиком"});
}

TEST_F(CompileProgramTest, ImageBeyondTheBufferFails)
{
    const QString sum = "АВ1 =" + QString(" +1").repeated(123) + " ВСК";
    for (int s = 0; s < 80; ++s)
        SetSection(s, {sum});
    EXPECT_FALSE(Run());
    for (int s = 0; s < 80; ++s)
        EXPECT_EQ(Program->Sections[s].CompiledOk, 1);
    EXPECT_LE(Program->ImageLength, TZentorProgram::ImageSize);
    // The model's own message ends the list; no warning follows it.
    EXPECT_FALSE(Messages.last().startsWith("Предупреждение. Размер ПрП"));
    EXPECT_EQ(Messages.indexOf("Использовано 0 байт памяти алгоритмов"), 6);
}
