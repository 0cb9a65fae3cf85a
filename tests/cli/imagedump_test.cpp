#include "cli/imagedump.h"

#include "../model/testblocks.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// An image assembled by the model: a key, sections 000, 101 and 737.
std::vector<std::uint8_t> SoundImage()
{
    auto p = std::make_unique<TZentorProgram>();
    p->Header.OrderDV = 3;
    p->Header.TechKeys[17] = {8, 2, QStringLiteral("ДАВЛЕНИЕ")};
    p->Header.ImpSource[5][0] = 10;
    p->Header.ImpSource[5][1] = 0x40;
    p->Header.ImpTicks[1] = 0x04;
    p->Header.TimeGen[2][0] = 20;
    p->Header.TimeGen[2][3] = 0x41;
    PutTestBlock(*p, 0, 2);
    PutTestBlock(*p, 33, 30);
    PutTestBlock(*p, 255, 100);
    p->AssembleImage();
    return std::vector<std::uint8_t>(p->Image, p->Image + p->ImageLength);
}

bool HasLine(const TImageDump &d, const QString &line)
{
    return d.Lines.contains(line);
}

std::string Text(const TImageDump &d)
{
    return d.Lines.join('\n').toStdString();
}

} // namespace

TEST(ImageDump, DescribesASoundImage)
{
    const std::vector<std::uint8_t> image = SoundImage();
    const TImageDump d = DescribeImage(image.data(), int(image.size()));
    EXPECT_EQ(d.Problems, 0) << Text(d);
    for (const char *line : {
             "Заголовок: 173 байт, записей технологических клавиш: 1",
             "Порядки: ДВ 3 (до ДВ037), КБ 0 (до КБ0), ТМ 1 (до ТМ017), ВД 1 (до ВД017), "
             "ВА 1 (до ВА017), АВ 1 (до АВ017)",
             "  ИВ05: +ВА005, такт 0,2",
             "  ТГ2: включение 10, отключение АВ000",
             "  клавиша 17 (пульт 2, кнопка 2): ВА002, имя «ДАВЛЕНИЕ»",
             "Слова групп 0–7: 8 36 0 0 0 0 0 106",
             "  секция 000: смещение 173, длина 8 байт, контрольная сумма верна",
             "  секция 101: смещение 181, длина 36 байт, контрольная сумма верна",
             "  секция 737: смещение 217, длина 106 байт, контрольная сумма верна",
             "Контрольная сумма образа: верна",
             "Контрольная сумма заголовка: верна",
             "Образ исправен",
         })
        EXPECT_TRUE(HasLine(d, QString::fromUtf8(line))) << line << "\n" << Text(d);
}

TEST(ImageDump, SaysWhatIsWrongWithADamagedImage)
{
    const std::vector<std::uint8_t> sound = SoundImage();
    struct Case
    {
        const char *what;
        std::function<void(std::vector<std::uint8_t> &)> damage;
        const char *line;
    };
    const std::vector<Case> cases = {
        {"truncated", [](auto &b) { b.resize(b.size() - 10); },
         "Ошибка в образе ПрП: блок по смещению 217 выходит за пределы загруженных данных"},
        {"truncated in the header", [](auto &b) { b.resize(150); },
         "Ошибка в образе ПрП: заголовок длиной 173 байт выходит за пределы загруженных данных"},
        {"shorter than the length word", [](auto &b) { b.resize(20); },
         "Ошибка в образе ПрП: заголовок длиной 162 байт выходит за пределы загруженных данных"},
        {"empty", [](auto &b) { b.clear(); },
         "Ошибка в образе ПрП: заголовок длиной 162 байт выходит за пределы загруженных данных"},
        {"length word past the end", [](auto &b) { b[142] = 0x40; },
         "Ошибка в образе ПрП: заголовок длиной 16557 байт длиннее 2000 байт"},
        {"length word below the fixed part", [](auto &b) { b[141] = 10; },
         "Ошибка в заголовке ПрП: заголовок длиной 11 байт короче 162 байт"},
        {"group word past the end", [](auto &b) { b[23] = 200; },
         "Ошибка в образе ПрП: блок по смещению 323 выходит за пределы загруженных данных"},
        {"group words disagree", [](auto &b) { std::swap(b[9], b[11]); },
         "Ошибка в образе ПрП: блок по смещению 181 длиной 36 байт выходит за конец группы 0 "
         "(смещение 209 по словам групп)"},
        {"image checksum", [](auto &b) { b[140] ^= 1; }, "Контрольная сумма образа: неверна"},
        {"header checksum", [](auto &b) { b[143] ^= 1; }, "Контрольная сумма заголовка: неверна"},
        {"block checksum", [](auto &b) { b[181 + 7] ^= 0x10; },
         "  секция 101: смещение 181, длина 36 байт, контрольная сумма неверна"},
        {"block too short", [](auto &b) { b[173] = 2; },
         "Ошибка в образе ПрП: блок по смещению 173 короче 6 байт"},
        {"key number", [](auto &b) { b[162] = 99; },
         "Ошибка в заголовке ПрП: неправильный номер технологической клавиши 99"},
        {"a fixed byte turned 0xFF, which no sum sees", [](auto &b) { b[150] = 0xFF; },
         "Ошибка в заголовке ПрП: байт 150 равен 0xFF, а должен быть 0x00"},
    };
    for (const Case &c : cases) {
        std::vector<std::uint8_t> image = sound;
        c.damage(image);
        // Exactly as many bytes as the image has, so that the sanitizer sees any read past.
        auto exact = std::make_unique<std::uint8_t[]>(image.size() + 0);
        std::copy(image.begin(), image.end(), exact.get());
        const TImageDump d = DescribeImage(exact.get(), int(image.size()));
        EXPECT_GT(d.Problems, 0) << c.what;
        EXPECT_TRUE(HasLine(d, QString::fromUtf8(c.line))) << c.what << "\n" << Text(d);
        EXPECT_FALSE(HasLine(d, QStringLiteral("Образ исправен"))) << c.what;
    }
}

TEST(ImageDump, BlockChecksumRule)
{
    std::uint8_t block[8] = {7, 7, 3, 3, 0, 0x1E, 0x1E, 0};
    block[4] = static_cast<std::uint8_t>((256 - ByteSum(block, 7)) % 256);
    EXPECT_TRUE(BlockChecksumHolds(block, 8));
    block[5] = 0x1F;
    EXPECT_FALSE(BlockChecksumHolds(block, 8));
    std::uint8_t shortBlock[5] = {4, 4, 3, 3, 0};
    EXPECT_FALSE(BlockChecksumHolds(shortBlock, 5)); // too short to carry a checksum
    const std::uint8_t tiny[1] = {200};
    EXPECT_FALSE(BlockChecksumHolds(tiny, 1)); // length byte past the data
}
