#include "model/zentorprogram.h"

#include "testblocks.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

int ImageWord(const TZentorProgram &p, int offset)
{
    return p.Image[offset] | (p.Image[offset + 1] << 8);
}

// Image checksum S (bytes 139, 140 and 143 taken as 0) and the header's own sum.
void ExpectChecksumsHold(const TZentorProgram &p)
{
    std::vector<std::uint8_t> copy(p.Image, p.Image + p.ImageLength);
    copy[139] = copy[140] = copy[143] = 0;
    const std::uint8_t s = ByteSum(copy.data(), p.ImageLength);
    EXPECT_EQ(p.Image[140], s);
    EXPECT_EQ(p.Image[139], 255 - s);
    const int h = ImageWord(p, 141) + 1;
    const std::uint8_t hd = ByteSum(p.Image, h);
    EXPECT_TRUE(hd == 1 || (hd == 0 && p.Image[143] == 0)) << int(hd);
}

std::unique_ptr<TZentorProgram> NewProgram()
{
    return std::make_unique<TZentorProgram>();
}

} // namespace

TEST(ZentorProgram, ClearLeavesSection000AndGroup0)
{
    auto p = NewProgram();
    EXPECT_EQ(p->Messages->size(), 0);
    PutTestBlock(*p, 200, 3);
    p->Sections[200].Name = "x";
    p->Sections[200].Text = {"a"};
    p->Sections[200].NeedsCompile = p->Sections[200].Modified = 1;
    p->Sections[200].CompiledOk = 1;
    p->Sections[0].Name = "n";
    p->Header.OrderKB = 7;
    p->Header.Text = {"h"};
    p->ImageLength = 500;
    p->Clear();

    EXPECT_EQ(p->PresentSectionCount(), 1);
    EXPECT_TRUE(p->Sections[0].Present);
    EXPECT_TRUE(p->Sections[0].Name.isEmpty());
    EXPECT_TRUE(p->Sections[0].Text.isEmpty());
    const TZentorSection &s = p->Sections[200];
    EXPECT_FALSE(s.Present || s.NeedsCompile || s.Modified);
    EXPECT_TRUE(s.Name.isEmpty() && s.Text.isEmpty());
    EXPECT_EQ(s.CodeLength, 0);
    EXPECT_EQ(s.CompiledOk, 0);    // nothing of the new program has been compiled
    EXPECT_EQ(p->HighestGroup, 6); // not reset here
    EXPECT_EQ(p->GroupPresent[0], 1);
    EXPECT_EQ(p->GroupPresent[6], 0);
    EXPECT_EQ(p->ImageLength, 0);
    EXPECT_EQ(p->Header.OrderKB, 0);
    EXPECT_TRUE(p->Header.Text.isEmpty());
}

TEST(ZentorProgram, AssemblesHeaderBlocksAndChecksums)
{
    auto p = NewProgram();
    p->Header.TechKeys[2] = {1, 5, QStringLiteral("КЛ      ")};
    PutTestBlock(*p, 32, 10);
    PutTestBlock(*p, 31, 4);
    PutTestBlock(*p, 255, 250);
    ASSERT_TRUE(p->AssembleImage());

    const int h = 162 + 11;
    EXPECT_EQ(p->ImageLength, h + 10 + 16 + 256);
    EXPECT_EQ(ImageWord(*p, 9), 10);  // group 0: section 31
    EXPECT_EQ(ImageWord(*p, 11), 16); // group 1: section 32
    EXPECT_EQ(ImageWord(*p, 23), 256);
    EXPECT_EQ(p->Image[h], 9); // section 31's block comes first
    EXPECT_EQ(p->Image[h + 2], 31);
    EXPECT_EQ(p->Image[h + 10 + 2], 32);
    ExpectChecksumsHold(*p);
    // The header object keeps the finished header.
    EXPECT_TRUE(std::equal(p->Image, p->Image + h, p->Header.Bytes));

    std::vector<std::uint8_t> first(p->Image, p->Image + p->ImageLength);
    ASSERT_TRUE(p->AssembleImage());
    EXPECT_EQ(std::vector<std::uint8_t>(p->Image, p->Image + p->ImageLength), first);
}

TEST(ZentorProgram, SectionWithoutCodeAddsNothing)
{
    auto p = NewProgram();
    ASSERT_TRUE(p->AssembleImage());
    EXPECT_EQ(p->ImageLength, 162);
    for (int g = 0; g < 8; ++g)
        EXPECT_EQ(ImageWord(*p, 9 + 2 * g), 0);
    ExpectChecksumsHold(*p);
}

TEST(ZentorProgram, ADeletedSectionAddedAgainBringsNoOldCode)
{
    auto p = NewProgram();
    ASSERT_TRUE(p->AssembleImage());
    const int empty = p->ImageLength;
    PutTestBlock(*p, 1, 6);
    p->Sections[1].Text = {QStringLiteral("ВКЛ ДВ1")};
    p->DeleteSection(1);
    EXPECT_EQ(p->Sections[1].CodeLength, 0);
    p->AddSection(1, QStringLiteral("Новая"));
    EXPECT_TRUE(p->Sections[1].Text.isEmpty());
    ASSERT_TRUE(p->AssembleImage());
    EXPECT_EQ(p->ImageLength, empty); // the old block does not reach the controller
    // Adding a section that is there already keeps its text and code.
    PutTestBlock(*p, 2, 4);
    p->Sections[2].Text = {QStringLiteral("ВКЛ ДВ2")};
    p->AddSection(2, QStringLiteral("Вторая"));
    EXPECT_EQ(p->Sections[2].CodeLength, 10);
    EXPECT_EQ(p->Sections[2].Text.size(), 1);
}

TEST(ZentorProgram, AssemblyStopsBeforeTheBlockThatDoesNotFit)
{
    auto p = NewProgram();
    for (int s = 0; s < 90; ++s)
        PutTestBlock(*p, s, 250); // 256 bytes each
    EXPECT_FALSE(p->AssembleImage());
    EXPECT_EQ(*p->Messages, QStringList{QStringLiteral("Размер ПрП превышает 20000 байт")});
    const int fitting = (20000 - 162) / 256;
    EXPECT_EQ(p->ImageLength, 162 + fitting * 256);
    EXPECT_EQ(ImageWord(*p, 9) + ImageWord(*p, 11) + ImageWord(*p, 13), fitting * 256);
    ExpectChecksumsHold(*p);
}

TEST(ZentorProgram, BlockDisagreeingWithItsLengthByteIsLeftOut)
{
    auto p = NewProgram();
    PutTestBlock(*p, 1, 3);
    PutTestBlock(*p, 2, 3);
    p->Sections[1].CodeLength = 5;
    // Too short to be a block even when byte 0 agrees: it would break the image's walk.
    PutTestBlock(*p, 3, 3);
    p->Sections[3].Code[0] = 2;
    p->Sections[3].CodeLength = 3;
    EXPECT_FALSE(p->AssembleImage());
    ASSERT_EQ(p->Messages->size(), 2);
    EXPECT_TRUE(p->Messages->first().startsWith(QStringLiteral("Ошибка в секции 001")));
    EXPECT_TRUE(p->Messages->last().startsWith(QStringLiteral("Ошибка в секции 003")));
    EXPECT_EQ(p->ImageLength, 162 + 9);
}

TEST(ZentorProgram, SplitGivesBackWhatWasAssembled)
{
    auto a = NewProgram();
    a->Header.OrderTM = 5;
    a->Header.TechKeys[63] = {9, 3, QStringLiteral("УРОВЕНЬ ")};
    a->Header.Bytes[8] = 0x44;
    PutTestBlock(*a, 0, 1);
    PutTestBlock(*a, 101, 40);
    PutTestBlock(*a, 230, 0);
    a->Sections[5].Present = 1; // present without code: leaves no block
    ASSERT_TRUE(a->AssembleImage());

    auto b = NewProgram();
    std::copy(a->Image, a->Image + a->ImageLength, b->Image);
    b->ImageLength = a->ImageLength;
    ASSERT_TRUE(b->SplitImage());
    EXPECT_TRUE(b->Messages->isEmpty());
    for (int s : {0, 101, 230}) {
        ASSERT_TRUE(b->Sections[s].Present) << s;
        ASSERT_EQ(b->Sections[s].CodeLength, a->Sections[s].CodeLength);
        EXPECT_TRUE(std::equal(a->Sections[s].Code, a->Sections[s].Code + a->Sections[s].CodeLength,
                               b->Sections[s].Code));
    }
    EXPECT_EQ(b->PresentSectionCount(), 3);
    EXPECT_EQ(b->HighestGroup, 7);
    EXPECT_EQ(b->GroupPresent[3], 1);
    EXPECT_EQ(b->GroupPresent[7], 1);
    EXPECT_EQ(b->GroupPresent[1], 0);
    EXPECT_EQ(b->Header.OrderTM, 5);
    EXPECT_EQ(b->Header.TechKeys[63].Class, 9);

    // Assembling the split program gives the same image, reserved byte 8 included.
    ASSERT_TRUE(b->AssembleImage());
    EXPECT_TRUE(std::equal(a->Image, a->Image + a->ImageLength, b->Image));
}

TEST(ZentorProgram, SplitOfAHeaderOnlyImageFindsNoSection)
{
    auto p = NewProgram();
    p->Sections[0].Present = 0;
    ASSERT_TRUE(p->AssembleImage());
    p->Clear();
    p->Sections[0].Present = 0;
    p->ImageLength = 162;
    ASSERT_TRUE(p->SplitImage());
    EXPECT_EQ(p->PresentSectionCount(), 0);
    EXPECT_EQ(p->ImageLength, 162);
}

TEST(ZentorProgram, SplitStopsAtDamageWithoutReadingPastTheData)
{
    auto a = NewProgram();
    PutTestBlock(*a, 1, 20);
    PutTestBlock(*a, 2, 20);
    ASSERT_TRUE(a->AssembleImage());
    const int full = a->ImageLength;
    struct Case
    {
        const char *what;
        int length;
        std::function<void(TZentorProgram &)> damage;
        QString message;
        int sectionsFound;
    };
    const QString past = QStringLiteral("Ошибка в образе ПрП: ");
    const std::vector<Case> cases = {
        {"truncated in the second block",
         full - 1,
         {},
         past + "блок по смещению 188 выходит за пределы загруженных данных",
         1},
        {"truncated in the header",
         150,
         {},
         past + "заголовок длиной 162 байт выходит за пределы загруженных данных",
         0},
        {"shorter than the length word",
         100,
         {},
         past + "заголовок длиной 162 байт выходит за пределы загруженных данных",
         0},
        {"group word past the end", full, [](TZentorProgram &p) { p.Image[9] = 200; },
         past + "блок по смещению 214 выходит за пределы загруженных данных", 2},
        {"length word past the end", full, [](TZentorProgram &p) { p.Image[142] = 5; },
         past + "заголовок длиной 1442 байт выходит за пределы загруженных данных", 0},
        {"block too short", full, [](TZentorProgram &p) { p.Image[162] = 4; },
         past + "блок по смещению 162 короче 6 байт", 0},
    };
    for (const Case &c : cases) {
        auto p = NewProgram();
        p->Sections[0].Present = 0;
        std::copy(a->Image, a->Image + full, p->Image);
        p->ImageLength = c.length;
        if (c.damage)
            c.damage(*p);
        std::fill(p->Image + c.length, p->Image + TZentorProgram::ImageSize, 0xFF);
        EXPECT_FALSE(p->SplitImage()) << c.what;
        EXPECT_TRUE(p->Messages->contains(c.message)) << c.what << '\n'
                                                      << p->Messages->join('\n').toStdString();
        EXPECT_EQ(p->PresentSectionCount(), c.sectionsFound) << c.what;
    }

    // A full 20000-byte image whose group words promise more.
    auto full20000 = NewProgram();
    for (int s = 0; s < 77; ++s)
        PutTestBlock(*full20000, s, 250);
    PutTestBlock(*full20000, 77, 120);
    ASSERT_TRUE(full20000->AssembleImage());
    ASSERT_EQ(full20000->ImageLength, 20000);
    full20000->Image[13] += 1;
    EXPECT_FALSE(full20000->SplitImage());
    EXPECT_EQ(full20000->Messages->last(),
              past + "блок по смещению 20000 выходит за пределы загруженных данных");

    // A header longer than the header buffer, within a long image.
    auto p = NewProgram();
    p->ImageLength = 5000;
    p->Image[141] = 0xFF;
    p->Image[142] = 0x0F;
    EXPECT_FALSE(p->SplitImage());
    EXPECT_EQ(p->Messages->last(),
              past + QStringLiteral("заголовок длиной 4096 байт длиннее 2000 байт"));
}

// Damage whose sums are made to hold again (or which they cannot see: 0x00 turned 0xFF) is
// still named, and the image is not taken as sound.
TEST(ZentorProgram, SplitNamesWhatTheSumsCannotSee)
{
    auto a = NewProgram();
    a->Sections[0].Present = 0;
    PutTestBlock(*a, 1, 4);
    PutTestBlock(*a, 2, 3);
    PutTestBlock(*a, 40, 2);
    a->Header.TechKeys[3] = {6, 1, QStringLiteral("ПУСК    ")};
    ASSERT_TRUE(a->AssembleImage());
    const int h = 173, b1 = h, b2 = h + 10, b40 = h + 19; // offsets of the three blocks
    // A block's own sum made to hold again after its bytes changed.
    const auto resum = [](std::uint8_t *block) { block[4] = BlockChecksumByte(block, block[0]); };
    struct Case
    {
        const char *what;
        std::function<void(std::uint8_t *)> damage;
        QString problem;
    };
    const QString image = QStringLiteral("Ошибка в образе ПрП: ");
    const QString header = QStringLiteral("Ошибка в заголовке ПрП: ");
    const std::vector<Case> cases = {
        {"a fixed header byte turned 0xFF", [](std::uint8_t *i) { i[150] = 0xFF; },
         header + QStringLiteral("байт 150 равен 0xFF, а должен быть 0x00")},
        {"reserved byte 137 set", [](std::uint8_t *i) { i[137] = 0x12; },
         header + QStringLiteral("байт 137 равен 0x12, а должен быть 0x00")},
        {"a block's terminator turned 0xFF", [&](std::uint8_t *i) { i[b2 + 8] = 0xFF; },
         QStringLiteral("Ошибка в секции 002: последний байт блока кода равен 0xFF, а должен "
                        "быть 0x00")},
        {"block 001 labelled 002 as well",
         [&](std::uint8_t *i) {
             i[b1 + 2] = i[b1 + 3] = 2;
             resum(i + b1);
         },
         image + QStringLiteral("блок секции 002 повторяется (смещение 183)")},
        {"block 002 labelled 001",
         [&](std::uint8_t *i) {
             i[b2 + 2] = i[b2 + 3] = 1;
             resum(i + b2);
         },
         image + QStringLiteral("блок секции 001 повторяется (смещение 183)")},
        {"block 040 labelled 737",
         [&](std::uint8_t *i) {
             i[b40 + 2] = i[b40 + 3] = 255;
             resum(i + b40);
         },
         image + QStringLiteral("блок секции 737 (смещение 192) стоит среди блоков группы 1")},
        {"the two section bytes differ",
         [&](std::uint8_t *i) {
             i[b2 + 3] = 7;
             resum(i + b2);
         },
         image + QStringLiteral("блок по смещению 183 помечен двумя номерами секции, 002 и 007")},
        {"the length byte's copy differs",
         [&](std::uint8_t *i) {
             i[b2 + 1] = 9;
             resum(i + b2);
         },
         QStringLiteral("Ошибка в секции 002: байт 1 блока кода (9) не повторяет его длину (8)")},
        {"group words swapped", [](std::uint8_t *i) { std::swap(i[9], i[11]); },
         image + QStringLiteral("блок по смещению 173 длиной 10 байт выходит за конец группы 0 "
                                "(смещение 181 по словам групп)")},
        {"header length off the key records' grid", [](std::uint8_t *i) { i[141] += 5; },
         header + QStringLiteral("длина заголовка 178 байт не равна 162 байтам и 11 байтам на "
                                 "каждую технологическую клавишу")},
        {"a key number past the keys", [](std::uint8_t *i) { i[162] = 64; },
         header + QStringLiteral("неправильный номер технологической клавиши 64")},
    };
    for (const Case &c : cases) {
        auto p = NewProgram();
        std::copy(a->Image, a->Image + a->ImageLength, p->Image);
        p->ImageLength = a->ImageLength;
        c.damage(p->Image);
        WriteImageSums(p->Image, p->ImageLength);
        EXPECT_FALSE(p->SplitImage()) << c.what;
        EXPECT_TRUE(p->Messages->contains(c.problem)) << c.what << '\n'
                                                      << p->Messages->join('\n').toStdString();
    }
    auto sound = NewProgram();
    std::copy(a->Image, a->Image + a->ImageLength, sound->Image);
    sound->ImageLength = a->ImageLength;
    EXPECT_TRUE(sound->SplitImage()) << sound->Messages->join('\n').toStdString();
}

TEST(ZentorProgram, RecognisesTheSystemInformationPrefix)
{
    auto a = NewProgram();
    PutTestBlock(*a, 3, 60);
    ASSERT_TRUE(a->AssembleImage());
    const int n = a->ImageLength;

    auto p = NewProgram();
    std::fill(p->Image, p->Image + 57, 0x11);
    std::copy(a->Image, a->Image + n, p->Image + 57);
    p->ImageLength = n + 57;
    ASSERT_TRUE(p->RecognisePrefix());
    EXPECT_EQ(*p->Messages,
              QStringList{QStringLiteral("Вероятно, в начале ПрП записана системная информация.")});
    EXPECT_EQ(p->ImageLength, n);
    EXPECT_TRUE(std::equal(a->Image, a->Image + n, p->Image));

    // An image that starts with its header is never shifted, whatever 201/202 hold.
    std::copy(a->Image, a->Image + n, p->Image);
    p->Image[201] = 0xA2;
    p->Image[202] = 0x80;
    p->ImageLength = n;
    EXPECT_FALSE(p->RecognisePrefix());
    // Only one of the two markers differing is not enough either.
    p->Image[144] = 0;
    EXPECT_FALSE(p->RecognisePrefix());
    // Too short to carry bytes 201 and 202.
    p->Image[145] = 0;
    p->ImageLength = 202;
    EXPECT_FALSE(p->RecognisePrefix());
}

TEST(ZentorProgram, SectionAndGroupEditing)
{
    auto p = NewProgram();
    p->AddGroup(3);
    p->AddSection(96, QStringLiteral("Насосы"));
    EXPECT_EQ(p->HighestGroup, 3);
    EXPECT_EQ(p->SectionLimit(), 128);
    EXPECT_EQ(p->PresentSectionCount(), 2); // 000 and 300
    p->AddGroup(1);
    EXPECT_EQ(p->HighestGroup, 3);

    p->CommitSectionText(96, {"ВКЛ ДВ1"});
    EXPECT_EQ(p->Sections[96].NeedsCompile, 1);
    EXPECT_EQ(p->Sections[96].Modified, 1);
    p->RenameSection(96, "B");
    EXPECT_EQ(p->Sections[96].Name, "B");

    p->AddSection(97, "C");
    p->DeleteSection(97);
    EXPECT_FALSE(p->Sections[97].Present);
    EXPECT_EQ(p->Sections[97].Name, "C");

    p->Sections[0].NeedsCompile = 0;
    p->MarkAllForCompile();
    EXPECT_EQ(p->Sections[0].NeedsCompile, 1);
    EXPECT_EQ(p->Sections[97].NeedsCompile, 0);

    p->DeleteGroup(3);
    EXPECT_EQ(p->GroupPresent[3], 0);
    EXPECT_FALSE(p->Sections[96].Present);
    EXPECT_TRUE(p->Sections[96].Text.isEmpty());
    p->AddGroup(3); // available again
    EXPECT_EQ(p->GroupPresent[3], 1);

    p->CommitHeaderText({"h1", "h2"});
    EXPECT_EQ(p->Header.Text, (QStringList{"h1", "h2"}));

    // Numbers outside the model are ignored.
    p->AddSection(256, "x");
    p->AddSection(-1, "x");
    p->AddGroup(8);
    p->DeleteGroup(-1);
    p->MarkPresent(300);
    EXPECT_EQ(p->HighestGroup, 3);
}
