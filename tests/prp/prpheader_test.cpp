#include "prp/prpheader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

int Word(const TPRPHeader &h, int offset)
{
    return h.Bytes[offset] | (h.Bytes[offset + 1] << 8);
}

QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteBytes(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

} // namespace

TEST(PrpHeader, ResetRestoresTheDefaults)
{
    auto h = std::make_unique<TPRPHeader>();
    h->Valid = 1;
    h->OrderDV = 9;
    h->ImpSource[3][1] = 0x40;
    h->TimeGen[5][2] = 8;
    h->TechKeys[63] = {5, 6, QStringLiteral("НАСОС   ")};
    h->Text = {"a"};
    h->Bytes[8] = 1;
    h->BytesLength = 300;
    h->Reset();

    EXPECT_EQ(h->Valid, 0);
    EXPECT_EQ(h->OrderDV, 1);
    EXPECT_EQ(h->ImpSource[3][1], 0x20);
    EXPECT_EQ(h->TimeGen[5][2], 0);
    EXPECT_EQ(h->TechKeys[63].Class, 0);
    EXPECT_EQ(h->TechKeys[63].Name, QStringLiteral("        "));
    EXPECT_TRUE(h->Text.isEmpty());
    EXPECT_EQ(h->Bytes[8], 0);
    EXPECT_EQ(h->BytesLength, 0);
}

TEST(PrpHeader, EncodesTheFixedPartAtItsOffsets)
{
    auto h = std::make_unique<TPRPHeader>();
    h->OrderDV = 2;
    h->OrderKB = 3;
    h->OrderTM = 4;
    h->OrderVD = 5;
    h->OrderVA = 6;
    h->OrderAV = 7;
    h->ImpSource[31][0] = 0x0A;
    h->ImpSource[31][1] = 0x81;
    h->ImpTicks[7] = 0xC0;
    h->AdcOrder[0] = 15;
    h->TimeGen[7][0] = 1;
    h->TimeGen[7][1] = 2;
    h->TimeGen[7][2] = 3;
    h->TimeGen[7][3] = 4;
    h->Bytes[8] = 0x55;   // reserved byte of a loaded image: kept
    h->Bytes[9] = 0x77;   // stale group word: cleared
    h->Bytes[139] = 0x12; // stale checksums: cleared
    h->Bytes[143] = 0x34;
    h->EncodeHeader();

    EXPECT_EQ(h->BytesLength, 162);
    EXPECT_EQ(Word(*h, 141), 161);
    const std::uint8_t expectStart[] = {0, 0, 2, 3, 4, 5, 6, 7, 0x55};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(h->Bytes[i], expectStart[i]) << "byte " << i;
    for (int i = 9; i < 25; ++i)
        EXPECT_EQ(h->Bytes[i], 0) << "group word byte " << i;
    EXPECT_EQ(h->Bytes[25], 0);
    EXPECT_EQ(h->Bytes[26], 0x20);
    EXPECT_EQ(h->Bytes[87], 0x0A);
    EXPECT_EQ(h->Bytes[88], 0x81);
    EXPECT_EQ(h->Bytes[96], 0xC0);
    EXPECT_EQ(h->Bytes[97], 15);
    EXPECT_EQ(h->Bytes[119], 1);
    EXPECT_EQ(h->Bytes[120], 2);
    EXPECT_EQ(h->Bytes[135], 3);
    EXPECT_EQ(h->Bytes[136], 4);
    EXPECT_EQ(h->Bytes[139], 0);
    EXPECT_EQ(h->Bytes[140], 0);
    EXPECT_EQ(h->Bytes[143], 0);
    const std::uint8_t constants[] = {0xA2, 0x80, 0xC9, 0, 0, 0xC9, 0,    0,    0xC9,
                                      0,    0,    0xC9, 0, 0, 0xFF, 0xA1, 0x80, 0xFC};
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ(h->Bytes[144 + i], constants[i]) << "byte " << 144 + i;
}

TEST(PrpHeader, EncodesKeyRecordsInKeyOrder)
{
    auto h = std::make_unique<TPRPHeader>();
    h->TechKeys[40] = {9, 0x7F, QStringLiteral("а!")}; // short name, lower-case Cyrillic
    h->TechKeys[5] = {2, 0x10, QStringLiteral("НАСОС 12")};
    h->EncodeHeader();

    ASSERT_EQ(h->BytesLength, 162 + 22);
    EXPECT_EQ(Word(*h, 141), 161 + 22);
    const std::uint8_t first[] = {5, 2, 0x10, 0x6E, 0x61, 0x73, 0x6F, 0x73, 0x20, '1', '2'};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(h->Bytes[162 + i], first[i]) << "byte " << i;
    const std::uint8_t second[] = {40, 9, 0x7F, 0xE0, 33, ' ', ' ', ' ', ' ', ' ', ' '};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(h->Bytes[173 + i], second[i]) << "byte " << i;
}

TEST(PrpHeader, LengthWordCarriesIntoItsHighByte)
{
    auto h = std::make_unique<TPRPHeader>();
    for (TTechKey &k : h->TechKeys)
        k.Class = 1;
    h->EncodeHeader();
    EXPECT_EQ(h->BytesLength, 162 + 64 * 11);
    EXPECT_EQ(h->Bytes[141], (161 + 704) & 0xFF);
    EXPECT_EQ(h->Bytes[142], (161 + 704) >> 8);
}

TEST(PrpHeader, DecodeGivesBackTheEncodedFields)
{
    auto a = std::make_unique<TPRPHeader>();
    a->OrderDV = 63;
    a->ImpSource[0][0] = 0xD0;
    a->ImpTicks[0] = 0x1B;
    a->AdcOrder[3] = 9;
    a->TimeGen[2][1] = 0x40;
    a->TechKeys[0] = {8, 0x7F, QStringLiteral("ТЕМП-1  ")};
    a->TechKeys[63] = {10, 31, QStringLiteral("ИМП!'#| ")};
    a->EncodeHeader();

    auto b = std::make_unique<TPRPHeader>();
    std::copy(a->Bytes, a->Bytes + a->BytesLength, b->Bytes);
    b->Bytes[137] = 5; // bytes 0, 1, 8, 137 and 138 are not read
    b->BytesLength = a->BytesLength;
    QStringList messages;
    ASSERT_TRUE(b->DecodeHeader(&messages));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(b->Reserved[0], 0);
    EXPECT_EQ(b->TechKeys[63].Name, QStringLiteral("ИМП!'#| "));

    // Every field came back: encoding the decoded header gives the same bytes.
    b->Bytes[137] = 0;
    b->EncodeHeader();
    ASSERT_EQ(b->BytesLength, a->BytesLength);
    EXPECT_TRUE(std::equal(a->Bytes, a->Bytes + a->BytesLength, b->Bytes));
}

TEST(PrpHeader, DecodeClearsKeysWithoutRecordButKeepsTheirNames)
{
    auto h = std::make_unique<TPRPHeader>();
    h->EncodeHeader();
    h->TechKeys[3] = {5, 7, QStringLiteral("ТАЙМЕР  ")};
    ASSERT_TRUE(h->DecodeHeader());
    EXPECT_EQ(h->TechKeys[3].Class, 0);
    EXPECT_EQ(h->TechKeys[3].Index, 7);
    EXPECT_EQ(h->TechKeys[3].Name, QStringLiteral("ТАЙМЕР  "));
}

TEST(PrpHeader, DecodeNeverReadsPastTheLoadedBytes)
{
    auto h = std::make_unique<TPRPHeader>();
    h->TechKeys[1] = {1, 1, QStringLiteral("A       ")};
    h->TechKeys[2] = {1, 2, QStringLiteral("B       ")};
    h->EncodeHeader();
    const int full = h->BytesLength;

    // The length word promises two records, only one was loaded.
    h->BytesLength = full - 11;
    h->TechKeys[2].Name = QStringLiteral("old     ");
    QStringList messages;
    EXPECT_FALSE(h->DecodeHeader(&messages));
    EXPECT_EQ(messages, QStringList{QStringLiteral(
                            "Ошибка в заголовке ПрП: записи технологических клавиш выходят за "
                            "пределы заголовка")});
    EXPECT_EQ(h->TechKeys[1].Class, 1);
    EXPECT_EQ(h->TechKeys[2].Class, 0);
    EXPECT_EQ(h->TechKeys[2].Name, QStringLiteral("old     "));

    // Less than the fixed part: nothing is decoded.
    h->BytesLength = 100;
    h->OrderDV = 42;
    messages.clear();
    EXPECT_FALSE(h->DecodeHeader(&messages));
    EXPECT_EQ(h->OrderDV, 42);
    EXPECT_EQ(messages, QStringList{QStringLiteral(
                            "Ошибка в заголовке ПрП: заголовок длиной 100 байт короче 162 байт")});

    // A length word below 161 cannot hold the fixed part either.
    h->BytesLength = full;
    h->Bytes[141] = 100;
    h->Bytes[142] = 0;
    messages.clear();
    EXPECT_FALSE(h->DecodeHeader(&messages));
    EXPECT_EQ(messages, QStringList{QStringLiteral(
                            "Ошибка в заголовке ПрП: заголовок длиной 101 байт короче 162 байт")});

    // Without a message list the problems are only in the result.
    h->BytesLength = -5;
    EXPECT_FALSE(h->DecodeHeader());
}

TEST(PrpHeader, DecodeSkipsRecordsWithAKeyNumberAbove63)
{
    auto h = std::make_unique<TPRPHeader>();
    h->TechKeys[1] = {3, 1, QStringLiteral("A       ")};
    h->TechKeys[2] = {3, 2, QStringLiteral("B       ")};
    h->EncodeHeader();
    h->Bytes[162] = 200; // the first record's key number
    QStringList messages;
    EXPECT_FALSE(h->DecodeHeader(&messages));
    EXPECT_EQ(messages,
              QStringList{QStringLiteral(
                  "Ошибка в заголовке ПрП: неправильный номер технологической клавиши 200")});
    EXPECT_EQ(h->TechKeys[1].Class, 0);
    EXPECT_EQ(h->TechKeys[2].Class, 3);
}

TEST(PrpHeader, DecodeReadsWholeRecordsOfALengthWordOffTheGrid)
{
    auto h = std::make_unique<TPRPHeader>();
    h->TechKeys[9] = {4, 33, QStringLiteral("C       ")};
    h->EncodeHeader();
    h->Bytes[141] = 161 + 15; // one record and four stray bytes
    h->BytesLength = 162 + 15;
    ASSERT_TRUE(h->DecodeHeader());
    EXPECT_EQ(h->TechKeys[9].Class, 4);
}

TEST(PrpHeader, HdrFileEndsWithAZeroByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.hdr");
    auto h = std::make_unique<TPRPHeader>();
    h->TechKeys[5] = {1, 1, QStringLiteral("K       ")};
    h->EncodeHeader();
    h->TechKeys[5].Class = 0;
    h->EncodeHeader(); // the earlier, longer header left key number 5 at byte 162
    ASSERT_EQ(h->Bytes[162], 5);

    QString error;
    ASSERT_TRUE(h->SaveHdr(path, error)) << error.toStdString();
    QByteArray expected(reinterpret_cast<const char *>(h->Bytes), 162);
    expected.append('\0');
    EXPECT_EQ(FileBytes(path), expected);

    auto back = std::make_unique<TPRPHeader>();
    back->Valid = 1;
    back->OrderKB = 5;
    QStringList messages;
    ASSERT_TRUE(back->LoadHdr(path, error, &messages));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(back->BytesLength, 162);
    EXPECT_EQ(back->Valid, 0);
    EXPECT_EQ(back->OrderKB, 0);
}

TEST(PrpHeader, HdrFileProblemsAreReportedNotThrown)
{
    QTemporaryDir dir;
    auto h = std::make_unique<TPRPHeader>();
    QString error;
    EXPECT_FALSE(h->LoadHdr(dir.filePath("missing.hdr"), error));
    EXPECT_TRUE(error.contains(QStringLiteral("missing.hdr")));
    EXPECT_FALSE(h->SaveHdr(dir.filePath("no/such/dir/p.hdr"), error));
    EXPECT_FALSE(error.isEmpty());

    // An empty file: nothing to decode, and no negative length.
    const QString empty = dir.filePath("empty.hdr");
    ASSERT_TRUE(WriteBytes(empty, QByteArray()));
    QStringList messages;
    EXPECT_FALSE(h->LoadHdr(empty, error, &messages));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(h->BytesLength, 0);
    EXPECT_EQ(messages.size(), 1);

    // A file longer than the buffer is read up to the buffer.
    h->EncodeHeader();
    QByteArray big(reinterpret_cast<const char *>(h->Bytes), 162);
    big.append(QByteArray(5000, '\x01'));
    const QString bigPath = dir.filePath("big.hdr");
    ASSERT_TRUE(WriteBytes(bigPath, big));
    EXPECT_TRUE(h->LoadHdr(bigPath, error));
    EXPECT_EQ(h->BytesLength, TPRPHeader::BufferSize - 1);
}
