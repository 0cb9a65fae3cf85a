// Frames and the reply parser, on buffers: the worked frames byte for byte, every reply
// item, every way a reply is rejected.

#include "linktesting.h"
#include "model/zentorprogram.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Sarvetel;

namespace {

Bytes Frame(const Bytes &payload, int capacity)
{
    Bytes f(payload.size() + 5);
    std::copy(payload.begin(), payload.end(), f.begin() + 4);
    TSarvetel::CompleteFrame(f.data(), int(f.size()), capacity);
    return f;
}

// Parses a reply as if it had just been read.
void Feed(TSarvetel &link, const Bytes &reply)
{
    ASSERT_LE(reply.size(), sizeof link.Reply);
    std::memcpy(link.Reply, reply.data(), reply.size());
    link.BytesRead = int(reply.size());
    link.ParseReply();
}

} // namespace

TEST(Frames, WorkedExamplesByteForByte)
{
    const std::uint8_t abc[] = {0x61, 0x62, 0x63};
    EXPECT_EQ(ByteSum(abc, 3), 0x27);
    EXPECT_EQ(Frame({0x19}, Capacity::Status), (Bytes{0x01, 0x01, 0xC0, 0xC2, 0x19, 0x9E}));
    EXPECT_EQ(Frame({0x04, 0x05}, Capacity::Block),
              (Bytes{0x01, 0x02, 0xC4, 0xC7, 0x04, 0x05, 0x98}));
    EXPECT_EQ(Frame({0x1B, 0x05}, Capacity::Section),
              (Bytes{0x01, 0x02, 0xD0, 0xD3, 0x1B, 0x05, 0xC7}));
}

TEST(Frames, CapacityBitsAndNinthLengthBit)
{
    EXPECT_EQ(Frame({0x5C}, 20)[2], 0xC0);
    EXPECT_EQ(Frame({0x1A, 0}, 46)[2], 0xC2);
    EXPECT_EQ(Frame({0x1B, 0}, 266)[2], 0xD0);
    EXPECT_EQ(Frame({0x1C, 1}, 128)[2], 0xC8);
    // A section write of 300 code bytes: N = 302.
    Bytes payload(302, 0x11);
    payload[0] = 0x5B;
    const Bytes f = Frame(payload, Capacity::WriteSection);
    EXPECT_EQ(f.size(), 307u);
    EXPECT_EQ(f[1], 0x2E);
    EXPECT_EQ(f[2], 0xC1);
    EXPECT_EQ(FrameLayout::AnnouncedPayload(f.data()), 302);
    EXPECT_EQ(f[3], ByteSum(f.data(), 3));
    EXPECT_EQ(f.back(), ByteSum(f.data(), 306));
}

TEST(Frames, CompletenessNeedsLengthChecksumsAndExactItems)
{
    const Bytes status = ReplyFrame({0x19, 0x02, 0xFF});
    EXPECT_TRUE(TSarvetel::IsCompleteReply(status.data(), int(status.size())));
    EXPECT_FALSE(TSarvetel::IsCompleteReply(status.data(), int(status.size()) - 1));
    Bytes bad = status;
    bad.back() ^= 1;
    EXPECT_FALSE(TSarvetel::IsCompleteReply(bad.data(), int(bad.size())));
    bad = status;
    bad[3] ^= 1;
    EXPECT_FALSE(TSarvetel::IsCompleteReply(bad.data(), int(bad.size())));
    // Items that run into the checksum, or stop short of it, are not a whole reply.
    const Bytes overrun = ReplyFrame({0x19, 0x80, 0xFF});
    EXPECT_FALSE(TSarvetel::IsCompleteReply(overrun.data(), int(overrun.size())));
    const Bytes header = ReplyFrame({});
    EXPECT_TRUE(TSarvetel::IsCompleteReply(header.data(), int(header.size())));
    // A frame that announces the wrong length.
    Bytes wrongLength = status;
    wrongLength[1] = 4;
    wrongLength[3] = ByteSum(wrongLength.data(), 3);
    wrongLength.back() = ByteSum(wrongLength.data(), int(wrongLength.size()) - 1);
    EXPECT_FALSE(TSarvetel::IsCompleteReply(wrongLength.data(), int(wrongLength.size())));
}

TEST(ReplyParser, RejectionsInOrderAndNothingParsedAfterThem)
{
    TSarvetel link(nullptr, nullptr);
    const Bytes good = ReplyFrame({0x03, 0x07});

    Bytes headerBad = good;
    headerBad[3] ^= 0x10;
    link.PRPBlockCount = 1;
    Feed(link, headerBad);
    EXPECT_EQ(link.ProtocolResult, ResultHeaderChecksum);
    EXPECT_EQ(link.PRPBlockCount, 1);

    Bytes packetBad = good;
    packetBad.back() ^= 0x01;
    Feed(link, packetBad);
    EXPECT_EQ(link.ProtocolResult, ResultPacketChecksum);
    EXPECT_EQ(link.PRPBlockCount, 1);

    Feed(link, ReplyFrame({0x03, 0x07}, 0x40));
    EXPECT_EQ(link.ProtocolResult, ResultFrameFailure);
    Feed(link, ReplyFrame({0x03, 0x07}, 0x20));
    EXPECT_EQ(link.ProtocolResult, ResultNoMemory);
    Feed(link, ReplyFrame({0x03, 0x07}, 0x60));
    EXPECT_EQ(link.ProtocolResult, ResultFrameFailure);
    EXPECT_EQ(link.PRPBlockCount, 1);

    // A header without a packet checksum passes both tests yet carries nothing.
    Bytes four = ReplyFrame({});
    four.pop_back();
    Feed(link, four);
    EXPECT_EQ(link.ProtocolResult, ResultBadPacket);
    Feed(link, Bytes{0x01, 0x00});
    EXPECT_EQ(link.ProtocolResult, ResultBadPacket);
    // ... but a header that reports a failure still says which.
    Bytes failed = {0x01, 0x00, 0x40, 0};
    failed[3] = ByteSum(failed.data(), 3);
    Feed(link, failed);
    EXPECT_EQ(link.ProtocolResult, ResultFrameFailure);

    Feed(link, good);
    EXPECT_EQ(link.ProtocolResult, ResultOk);
    EXPECT_EQ(link.PRPBlockCount, 7);
}

TEST(ReplyParser, ShortReplyIsCheckedOverWhatArrived)
{
    TSarvetel link(nullptr, nullptr);
    // The reply stopped after two items: its last byte is taken as the checksum.
    Bytes items = {0x03, 0x09, 0x03, 0x0A};
    Bytes f = ReplyFrame(items);
    f.resize(f.size() - 3); // 03 09 and then the "checksum" 03
    Feed(link, f);
    EXPECT_EQ(link.ProtocolResult, ResultPacketChecksum);
    Bytes cut = {0x01, 0x09, 0x00, 0x00, 0x03, 0x09};
    cut[3] = ByteSum(cut.data(), 3);
    cut.push_back(ByteSum(cut.data(), int(cut.size())));
    Feed(link, cut);
    EXPECT_EQ(link.ProtocolResult, ResultOk);
    EXPECT_EQ(link.PRPBlockCount, 9);
}

TEST(ReplyParser, StatusItemsSetResults)
{
    TSarvetel link(nullptr, nullptr);
    Feed(link, ReplyFrame({0x03, 0x05, 0x5B, 0x01, 0xAA, 0xBB, 0x03, 0x06}));
    EXPECT_EQ(link.ProtocolResult, ResultHeaderChecksum);
    EXPECT_EQ(link.PRPBlockCount, 6); // not rolled back, and the walk went on past 3 bytes
    Feed(link, ReplyFrame({0x5B, 0x00, 0x03, 0x04}));
    EXPECT_EQ(link.ProtocolResult, ResultOk);
    EXPECT_EQ(link.PRPBlockCount, 4);
    Feed(link, ReplyFrame({0x6C, 0x02, 0xCC, 0x03, 0x02}));
    EXPECT_EQ(link.ProtocolResult, ResultNoMemory);
    EXPECT_EQ(link.PRPBlockCount, 2);
    Feed(link, ReplyFrame({0x6C, 0x00, 0x03, 0x08}));
    EXPECT_EQ(link.ProtocolResult, ResultOk);
    EXPECT_EQ(link.PRPBlockCount, 8);
}

TEST(ReplyParser, ItemLengthsOfEveryKind)
{
    TSarvetel link(nullptr, nullptr);
    // Each item below is followed by 03 nn: the count lands only if every length before
    // it was right.
    struct Case
    {
        Bytes Item;
        const char *What;
    };
    const Case cases[] = {
        {{0x01, 0x01, 1, 2, 3}, "value report, sub-type 1"},
        {{0x01, 0x05, 1, 2, 3, 4, 5, 6}, "value report, sub-type 5"},
        {{0x01, 0x07, 1, 2, 3}, "value report, sub-type 7"},
        {{0x01, 0x09, 1, 2, 3, 4}, "value report, sub-type 9"},
        {{0x01, 0x0B}, "value report, other sub-type"},
        {{0x02}, "item 2"},
        {{0x05}, "item 5"},
        {{0x06}, "item 6"},
        {{0x07}, "item 7"},
        {{0x41}, "item 65"},
        {{0x1D, 0x00}, "item 29"},
        {{0x59, 0x00}, "item 89"},
        {{0x5A, 0x00}, "item 90"},
        {{0x5C, 0x00}, "item 92"},
        {{0x5D, 0x00}, "item 93"},
        {{0x5F, 0x00}, "item 95"},
        {{0x62, 0x00}, "item 98"},
        {{0x63, 0x00}, "item 99"},
        {{0x1F, 0x03, 0x03}, "item 31"},
        {{0x68, 0x03, 0x03}, "item 104"},
        {Cat({{0x23}, Repeat(0x03, 11)}), "item 35"},
        {{0x1B, 0x02, 0x03, 0x03, 0x03}, "item 27 without a record"},
        {{0x7F, 0x03}, "unknown code"},
        {{0x00, 0x03}, "code 0"},
        {{0x1C, 0x00, 0x00}, "absent algorithm"},
    };
    for (const Case &c : cases) {
        link.PRPBlockCount = 0;
        Feed(link, ReplyFrame(Cat({c.Item, {0x03, 0x2A}})));
        EXPECT_EQ(link.ProtocolResult, ResultOk) << c.What;
        EXPECT_EQ(link.PRPBlockCount, 42) << c.What;
        const Bytes f = ReplyFrame(Cat({c.Item, {0x03, 0x2A}}));
        EXPECT_TRUE(TSarvetel::IsCompleteReply(f.data(), int(f.size()))) << c.What;
    }
}

TEST(ReplyParser, BlockCountAndBlocks)
{
    TSarvetel link(nullptr, nullptr);
    Feed(link, ReplyFrame({0x03, 0x00}));
    EXPECT_EQ(link.PRPBlockCount, 256);

    std::uint8_t dest[3 * 64] = {};
    link.BlockDestination = dest;
    link.BlockDestinationSize = sizeof dest;
    Bytes data(64);
    for (int i = 0; i < 64; ++i)
        data[std::size_t(i)] = std::uint8_t(i + 1);
    Feed(link, ReplyFrame(Cat({{0x04, 0x02}, data})));
    EXPECT_EQ(link.LastBlockNumber, 2);
    EXPECT_EQ(dest[128], 1);
    EXPECT_EQ(dest[191], 64);
    EXPECT_EQ(dest[127], 0);
    // A block whose 64 bytes would not fit is ignored.
    link.LastBlockNumber = -1;
    Feed(link, ReplyFrame(Cat({{0x04, 0x03}, data})));
    EXPECT_EQ(link.ProtocolResult, ResultOk);
    EXPECT_EQ(link.LastBlockNumber, -1);
    // Without a destination nothing lands.
    link.BlockDestination = nullptr;
    Feed(link, ReplyFrame(Cat({{0x04, 0x00}, data})));
    EXPECT_EQ(link.LastBlockNumber, -1);
}

TEST(ReplyParser, StatusModeErrorsAndFaultList)
{
    TSarvetel link(nullptr, nullptr);
    Feed(link, ReplyFrame({0x19, 0x02, 0x00}));
    EXPECT_EQ(link.Mode, 0x02u);
    EXPECT_EQ(link.ErrorsPresent, 1);
    Feed(link, ReplyFrame({0x19, 0x01, 0xFF}));
    EXPECT_EQ(link.Mode, 0x01u);
    EXPECT_EQ(link.ErrorsPresent, 0);

    Feed(link, ReplyFrame(Cat({{0x19, 0x80}, Repeat(0xFF, 16)})));
    EXPECT_EQ(link.Mode, 0x80u);
    EXPECT_EQ(link.FaultCount, 0);

    Feed(link,
         ReplyFrame(Cat({{0x19, 0x80, 0x05, 0x03, 0xFF, 0x00, 0x21, 0x05}, Repeat(0xFF, 10)})));
    EXPECT_EQ(link.FaultCount, 2);
    EXPECT_EQ(link.FaultWord(0), 0x0305);
    EXPECT_EQ(link.FaultWord(1), 0x0521);
    EXPECT_EQ(ModeName(link.Mode), QStringLiteral("Неисправность"));
    EXPECT_EQ(ModeName(0x08), QStringLiteral("Программирование"));
    EXPECT_EQ(ModeName(0x40), QStringLiteral("Неизвестно"));
    EXPECT_EQ(ModeName(0x03), QStringLiteral("Неизвестно"));
}

TEST(ReplyParser, ScreenLines)
{
    TSarvetel link(nullptr, nullptr);
    for (const QString &l : link.ScreenLines)
        EXPECT_EQ(l, QStringLiteral("    Тест Тест   "));
    Bytes line2(16, 0x41); // "AAAA..."
    Bytes line3(16, 0x20);
    line3[0] = 0x21;
    Feed(link, ReplyFrame(Cat({{0x1A, 34, 2}, line2, {3}, line3})));
    EXPECT_EQ(link.ScreenLines[2], QString(16, QChar(ControllerToText(0x41))));
    EXPECT_EQ(link.ScreenLines[3][0], ControllerToText(0x21));
    EXPECT_EQ(link.ScreenLines[3].size(), 16);
    // One line when the count is below 30.
    Feed(link, ReplyFrame(Cat({{0x1A, 17, 4}, line2})));
    EXPECT_EQ(link.ScreenLines[4], link.ScreenLines[2]);
    // A line number of 10 or more is ignored, and parsing goes on.
    const QString before = link.ScreenLines[0];
    Feed(link, ReplyFrame(Cat({{0x1A, 34, 10}, line2, {0}, line3, {0x03, 0x05}})));
    EXPECT_EQ(link.ScreenLines[0][0], ControllerToText(0x21));
    EXPECT_EQ(link.PRPBlockCount, 5);
    Feed(link, ReplyFrame(Cat({{0x1A, 34, 255}, line2, {200}, line3})));
    EXPECT_EQ(link.ProtocolResult, ResultOk);
    // A count of 0 carries no line.
    Feed(link, ReplyFrame({0x1A, 0x00, 0x03, 0x06}));
    EXPECT_EQ(link.PRPBlockCount, 6);
    (void)before;
}

TEST(ReplyParser, SectionBlockAndSectionInfo)
{
    TSarvetel link(nullptr, nullptr);
    TZentorSection record;
    link.SectionRecord = &record;
    // Block of L = 6: bytes 0..5 and the terminator; one more byte follows.
    const Bytes block = {6, 6, 5, 5, 0xEE, 0x1E, 0x00};
    Feed(link, ReplyFrame(Cat({{0x1B}, block, {0x00}, {0x03, 0x02}})));
    EXPECT_EQ(link.ProtocolResult, ResultOk);
    EXPECT_EQ(record.CodeLength, 6);
    EXPECT_EQ(Bytes(record.Code, record.Code + 6), Bytes(block.begin(), block.begin() + 6));
    EXPECT_EQ(link.PRPBlockCount, 2);
    link.SectionRecord = nullptr;

    Feed(link, ReplyFrame({0x22, 0x2A, 0x01}));
    EXPECT_EQ(link.SectionInfo, 0x2Au);
}

TEST(ReplyParser, AlgorithmDescription)
{
    TSarvetel link(nullptr, nullptr);
    // Modifier set, three parameters of wire types 4, 3, 7 (internal 7, 4, 8).
    Bytes item = {0x1C, 0, 0x05, 3, 4, 3, 7};
    const char *names[] = {"ВХОД ", "ВЫХ  ", "К    "};
    for (const char *n : names)
        for (QChar ch : QString::fromUtf8(n))
            item.push_back(TextToController(ch));
    item[1] = std::uint8_t(item.size());
    Feed(link, ReplyFrame(Cat({item, {0x03, 0x01}})));
    EXPECT_EQ(link.ProtocolResult, ResultOk);
    EXPECT_EQ(link.PRPBlockCount, 1);
    const TAlgDescription &a = link.Algorithm;
    EXPECT_EQ(a.Present, 1);
    EXPECT_EQ(a.Modifier, 5);
    EXPECT_EQ(a.ParamCount, 3);
    EXPECT_EQ(a.ParamTypes[0], 7);
    EXPECT_EQ(a.ParamTypes[1], 4);
    EXPECT_EQ(a.ParamTypes[2], 8);
    EXPECT_EQ(a.ParamNames[0], QStringLiteral("ВХОД "));
    EXPECT_EQ(a.ParamNames[2], QStringLiteral("К    "));
    EXPECT_EQ(a.RecordSize, 3 + 2 + 2 + 6 + 1);

    // Every wire type, no modifier.
    Bytes all = {0x1C, 0, 0x00, 13};
    for (int w = 0; w < 13; ++w)
        all.push_back(std::uint8_t(w));
    for (int i = 0; i < 13 * 5; ++i)
        all.push_back(0x20);
    all[1] = std::uint8_t(all.size());
    Feed(link, ReplyFrame(all));
    const std::uint8_t expected[13] = {1, 2, 3, 4, 7, 6, 5, 8, 9, 10, 11, 12, 0};
    for (int w = 0; w < 13; ++w)
        EXPECT_EQ(link.Algorithm.ParamTypes[w], expected[w]) << w;
    // 2 each for types 1,2,3,7,6,5,10,11,12; 6 for 4; 1 each for 8, 9; 0 for 0.
    EXPECT_EQ(link.Algorithm.RecordSize, 3 + 9 * 2 + 6 + 2);

    Feed(link, ReplyFrame({0x1C, 0x00, 0x00}));
    EXPECT_EQ(link.Algorithm.Present, 0);
}

TEST(ReplyParser, IOSetupBlock)
{
    TSarvetel link(nullptr, nullptr);
    Bytes item(IOSetupItemLength, 0);
    item[0] = 0x24;
    item[3] = 0x03;
    for (int i = 0; i < 15; ++i)
        item[std::size_t(5 + i)] = std::uint8_t(0x10 + i);
    // Pairs: physical 2 serves logical 0, physical 6 serves logical 7, a bad mask for
    // logical 3, a logical channel out of range.
    const int pairs[][2] = {{0x04, 0}, {0x40, 7}, {0x05, 3}, {0x01, 9}};
    for (int s = 0; s < 4; ++s) {
        item[std::size_t(20 + 2 * s)] = std::uint8_t(pairs[s][0]);
        item[std::size_t(21 + 2 * s)] = std::uint8_t(pairs[s][1]);
    }
    for (int i = 0; i < 7; ++i)
        item[std::size_t(37 + i)] = std::uint8_t(0x60 + i);
    Feed(link, ReplyFrame(Cat({item, {0x03, 0x09}})));
    EXPECT_EQ(link.ProtocolResult, ResultOk);
    EXPECT_EQ(link.PRPBlockCount, 9);
    EXPECT_EQ(link.MemoryType, 0x03);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(link.IOSetup[i], 0x10 + i);
    const int physical[8] = {2, 7, 7, 7, 7, 7, 7, 6};
    for (int l = 0; l < 8; ++l)
        EXPECT_EQ(link.IOSetup[15 + l], physical[l]) << l;
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(link.IOSetup[23 + i], 0x60 + i);
}

TEST(ReplyParser, ItemsThatRunPastTheReplyAreNotApplied)
{
    TSarvetel link(nullptr, nullptr);
    std::uint8_t dest[64 * 4] = {};
    link.BlockDestination = dest;
    link.BlockDestinationSize = sizeof dest;
    Feed(link, ReplyFrame({0x04, 0x01, 0x55, 0x55}));
    EXPECT_EQ(link.ProtocolResult, ResultOk);
    EXPECT_EQ(link.LastBlockNumber, -1);
    EXPECT_EQ(dest[64], 0);
    TZentorSection record;
    link.SectionRecord = &record;
    Feed(link, ReplyFrame({0x1B, 0xFF, 0x01, 0x02}));
    EXPECT_EQ(record.CodeLength, 0);
}

TEST(ReplyParser, LogsFramesAndItemsExactly)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("log"));
    {
        TLogger logger(file);
        TSarvetel link(nullptr, &logger);
        Feed(link, ReplyFrame({0x19, 0x02, 0xFF, 0x7E, 0x00}));
        Bytes bad = ReplyFrame({0x03, 0x01});
        bad.back() ^= 1;
        Feed(link, bad);
        Feed(link, ReplyFrame({0x03, 0x01}, 0x40));
        Feed(link, ReplyFrame({0x03, 0x01}, 0x20));
        bad = ReplyFrame({0x03, 0x01});
        bad[3] ^= 1;
        Feed(link, bad);
    }
    const QStringList lines = LogLines(file);
    const QStringList expected = {
        "Принята следующая последовательность",
        "01 05 00 06 19 02 FF 7E 00 A5 ",
        "Разбор команды 19",
        "Разбор команды 7E",
        "Принята следующая последовательность",
        "01 02 00 03 03 01 0B ",
        "Неверная КС пакета",
        "Принята следующая последовательность",
        "01 02 40 43 03 01 8A ",
        "Сбой при приёме кадра пульта",
        "Принята следующая последовательность",
        "01 02 20 23 03 01 4A ",
        "Недостаточно памяти",
        "Принята следующая последовательность",
        "01 02 00 02 03 01 0A ",
        "Неверная КС заголовка",
    };
    EXPECT_EQ(lines, expected);
}
