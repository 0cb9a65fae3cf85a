// The whole-program compile: header, sections, progress, summary and image.

#include "compilertest.h"
#include "programgenerator.h"

#include "compiler/algmemory.h"
#include "compiler/codegen.h"
#include "compiler/decompiler.h"
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

TEST_F(CompileProgramTest, OnlyAHeaderErrorThatStopsTheHeaderFailsTheCompile)
{
    // A key line the header compiler reports and passes over.
    Program->Header.Text = QStringList{"/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА 1", "1 КБ10 X"};
    SetSection(0, {"ВСК"});
    EXPECT_TRUE(Run());
    EXPECT_EQ(Messages, QStringList{"[Заголовок.1]. Некорректный индекс КБ"} + kSummaryZero);

    // An order the header compiler stops at: the parts after it are never applied. The
    // sections are compiled and the image assembled all the same.
    Program->Header.Text =
        QStringList{"/ ЗАКАЗ ПЕРЕМЕННЫХ", "ВД 000 - 1777", "/ ЗАКАЗ ТМГ", "1 10 20"};
    SetSection(1, {"ВКЛ ДВ3"});
    Messages.clear();
    EXPECT_FALSE(Compiler.CompileWithReport(*Program, NoProgress()));
    QStringList expected = kSummaryZero;
    expected[2] = "  максимальный индекс ДВ: 003;";
    expected.prepend("[Заголовок.1:14]. Заказ ВД должен быть от 7 до 777.");
    expected.prepend("Компиляция...");
    expected.append("Обнаружены ошибки");
    EXPECT_EQ(Messages, expected);
    EXPECT_EQ(Program->Sections[1].CompiledOk, 1);
    EXPECT_EQ(Program->ImageLength, Program->Header.BytesLength + 7 + 8);
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

    // Only section 2 changed: section 1 keeps its block, and section 2's call takes memory
    // that no call of the sections left as they are uses.
    Program->CommitSectionText(2, {"АЛГ020 = +4 ВКЛ ТМ1"});
    TRecordingProgress progress;
    Messages.clear();
    ASSERT_TRUE(Compiler.CompileProgram(*Program, progress));
    EXPECT_EQ(progress.Calls, (QStringList{"caption Компиляция ПрП", "max 4", "pos 0", "show",
                                           "action Компиляция заголовка ПрП", "pos 1", "pos 3",
                                           "action Компиляция секции 002", "hide"}));
    EXPECT_EQ(Messages[5], "  максимальный индекс ТМ: 01.");
    EXPECT_EQ(Messages.last(), "Использовано 12 байт памяти алгоритмов");
    EXPECT_EQ(TByteList(Program->Sections[1].Code,
                        Program->Sections[1].Code + Program->Sections[1].CodeLength),
              block1);
    EXPECT_EQ(Program->Sections[2].Code[8], 0x08); // 0..7 belong to sections 0 and 1
    EXPECT_EQ(Program->ImageLength, Program->Header.BytesLength + 3 * 13 + 2);

    // Section 0 changed: its own old range is free again, and the others stay where they are.
    Program->CommitSectionText(0, {"ВКЛ ДВ7 АЛГ021 АЛГ020 = +1"});
    ASSERT_TRUE(Run());
    EXPECT_EQ(TByteList(Program->Sections[0].Code + 7, Program->Sections[0].Code + 12),
              (TByteList{0x20, 0x22, 0x02, 0x0C, 0xFA}));                  // 200 from 12
    EXPECT_EQ(Program->Sections[0].Code[15], 0x00);                        // 4 from 0
    EXPECT_EQ(Messages.last(), "Использовано 212 байт памяти алгоритмов"); // the highest end

    // Section 1's block changes without its text (as a block read back would): its call now
    // stands at 212, and the next run reads that from the block, not from the run before.
    TZentorSection &one = Program->Sections[1];
    one.Code[8] = AlgAddressLow(212);
    one.Code[9] = AlgAddressHigh(212);
    one.CodeLength -= 1;
    FinishBlock(one);
    Program->CommitSectionText(2, {"АЛГ020 = +5"});
    ASSERT_TRUE(Run());
    EXPECT_EQ(Program->Sections[2].Code[8], 0x04); // 4..7 is free now
    EXPECT_EQ(Messages.last(), "Использовано 216 байт памяти алгоритмов");
}

TEST_F(CompileProgramTest, APartialRunSummarisesTheWholeProgram)
{
    Program->Header.Text = {"/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ", "НАСОС ДВ003"};
    SetSection(0, {"ЕСЛИ ВКЛ ВД023 ТОГДА ВКЛ ДВ067", "АВ021 = +ВА027 ВКЛ ТМ41"});
    SetSection(1, {"ВКЛ ДВ1"});
    SetSection(2, {"ВКЛ НАСОС"});
    ASSERT_TRUE(Run());
    const QStringList whole = Messages;
    Program->CommitSectionText(1, {"ВКЛ ДВ2"});
    ASSERT_TRUE(Run());
    EXPECT_EQ(Messages, whole);
    EXPECT_EQ(whole[1], "  максимальный индекс ВД: 023;");
    // A section left as it is counts with the header's names as they are now.
    Program->Header.Text = {"/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ", "НАСОС ДВ100"};
    Program->CommitSectionText(1, {"ВКЛ ДВ1"});
    ASSERT_TRUE(Run());
    EXPECT_EQ(Messages[2], "  максимальный индекс ДВ: 100;");
}

TEST_F(CompileProgramTest, CallMemoryIsReadFromTheCallBytes)
{
    // АЛГ020 at 0x0A04, АЛГ024 (no own memory), АЛГ021 at 0; АЛГ030 is not in the base.
    TZentorSection s;
    const std::uint8_t block[] = {23,      23,   0,    0,    0,    0x20,    020 * 2, 4,
                                  0x04,    0x04, 0,    0,    0x20, 024 * 2, 0,       0x20,
                                  021 * 2, 2,    0x00, 0xFA, 0x20, 030 * 2, 0,       0};
    std::copy(std::begin(block), std::end(block), s.Code);
    s.CodeLength = sizeof block;
    std::vector<std::pair<int, int>> ranges;
    for (const TAlgMemoryRange &r : CallMemoryRanges(s, &Base))
        ranges.emplace_back(r.Start, r.Size);
    EXPECT_EQ(ranges, (std::vector<std::pair<int, int>>{{0x0A04, 4}, {0, 200}}));
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

namespace {

// One section text that compiles on its own: generated pieces and calls with own memory.
QStringList SectionText(TProgramGenerator &gen, TZentorCompiler &scratch)
{
    static const QStringList calls = {"АЛГ020 = +1", "АЛГ021", "Е В ДВ1 Т АЛГ020 = -ВА2"};
    QStringList text;
    TZentorSection section;
    for (int k = 0, wanted = 1 + gen.Pick(6); k < wanted; ++k) {
        QStringList more = text;
        more.append(gen.Chance(40) ? QStringList{calls[gen.Pick(int(calls.size()))]} : gen.Piece());
        section.Text = more;
        scratch.AlgMemoryUsed = 0;
        if (scratch.CompileSection(section, 0) != 0)
            break;
        text = more;
    }
    return text;
}

} // namespace

TEST_F(CompileProgramTest, PartialRunsInAnyOrderNeverShareAlgorithmMemory)
{
    TZentorCompiler scratch;
    QStringList scratchMessages;
    scratch.AlgBase = &Base;
    scratch.Messages = &scratchMessages;
    int checkedRuns = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        TProgramGenerator gen(seed, Base);
        Program = std::make_unique<TZentorProgram>();
        Program->Messages = &Messages;
        std::vector<int> numbers;
        for (int k = 0, count = 2 + gen.Pick(7); k < count; ++k) {
            const int n = gen.Pick(64);
            numbers.push_back(n);
            SetSection(n, SectionText(gen, scratch));
        }
        Program->MarkAllForCompile();
        ASSERT_TRUE(Run()) << Messages.join('\n').toStdString();
        for (int round = 0; round < 12; ++round) {
            for (int e = 0, edits = 1 + gen.Pick(3); e < edits; ++e)
                Program->CommitSectionText(numbers[gen.Pick(int(numbers.size()))],
                                           SectionText(gen, scratch));
            if (gen.Chance(15))
                Program->MarkAllForCompile();
            ASSERT_TRUE(Run()) << "seed " << seed << "\n" << Messages.join('\n').toStdString();
            ++checkedRuns;

            // Every call's range is found (their sizes add up to what the section's calls
            // take) and no two of them share a byte.
            std::vector<TAlgMemoryRange> all;
            int highest = 0;
            for (int n = 0; n < TZentorProgram::SectionCount; ++n) {
                const TZentorSection &s = Program->Sections[n];
                if (!s.Present)
                    continue;
                TZentorSection copy;
                copy.Text = s.Text;
                scratch.AlgMemoryUsed = 0;
                ASSERT_EQ(scratch.CompileSection(copy, n), 0);
                int size = 0;
                for (const TAlgMemoryRange &r : CallMemoryRanges(s, &Base)) {
                    size += r.Size;
                    highest = std::max(highest, r.End());
                    all.push_back(r);
                }
                EXPECT_EQ(size, scratch.AlgMemoryUsed) << "seed " << seed << " section " << n;
            }
            std::sort(all.begin(), all.end(), [](auto &a, auto &b) { return a.Start < b.Start; });
            for (size_t i = 1; i < all.size(); ++i)
                ASSERT_LE(all[i - 1].End(), all[i].Start) << "seed " << seed << " round " << round;
            EXPECT_EQ(Messages.last(),
                      QStringLiteral("Использовано %1 байт памяти алгоритмов").arg(highest));
        }

        // Compile all gives what compiling the same texts from scratch gives.
        const auto indexes = [this] {
            return Messages.mid(Messages.indexOf(QStringLiteral("Сведения о переменных")), 6);
        };
        const QStringList partialIndexes = indexes();
        Program->MarkAllForCompile();
        ASSERT_TRUE(Run());
        const QByteArray image(reinterpret_cast<const char *>(Program->Image),
                               Program->ImageLength);
        auto fresh = std::make_unique<TZentorProgram>();
        fresh->Messages = &Messages;
        std::swap(Program, fresh);
        for (int n = 0; n < TZentorProgram::SectionCount; ++n)
            if (fresh->Sections[n].Present)
                SetSection(n, fresh->Sections[n].Text);
        ASSERT_TRUE(Run());
        EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(Program->Image), Program->ImageLength),
                  image)
            << "seed " << seed;
        // The indexes of the last partial run were the whole program's.
        EXPECT_EQ(partialIndexes, indexes()) << "seed " << seed;
    }
    EXPECT_EQ(checkedRuns, 40 * 12);
}
