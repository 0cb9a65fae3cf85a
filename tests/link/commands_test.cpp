// Every controller command over a real pseudo-terminal against a scripted controller: the
// exact request frames, what the replies leave in the link, the link status of failures,
// and the log of a whole exchange.

#include "linktesting.h"
#include "model/zentorprogram.h"
#include "prp/prpheader.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Sarvetel;

namespace {

Bytes Frame(const Bytes &payload, int capacity)
{
    Bytes f(payload.size() + 5);
    std::copy(payload.begin(), payload.end(), f.begin() + 4);
    TSarvetel::CompleteFrame(f.data(), int(f.size()), capacity);
    return f;
}

class Commands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Controller.Open());
        // Unscripted requests get a plain "done" for their first code.
        Controller.SetFallback([](const Bytes &f) {
            return TSimReply{ReplyFrame({f[4], 0x00}), 0};
        });
        Controller.Start();
        ASSERT_EQ(Port.OpenDevice(Controller.Path()), 0);
        Port.Timeouts.ReadTotalTimeoutMultiplier = 10; // a missing reply costs little here
    }

    TScriptedController Controller;
    TCOMPort Port;
    TSarvetel Link{&Port, nullptr};
};

} // namespace

TEST_F(Commands, RequestFramesOfEveryCommand)
{
    struct Case
    {
        const char *Name;
        std::function<void(TSarvetel &)> Run;
        std::vector<Bytes> Frames;
    };
    TZentorSection section;
    const Bytes code = {6, 6, 3, 3, 0xF0, 0x1E, 0x00};
    std::copy(code.begin(), code.end(), section.Code);
    section.CodeLength = int(code.size());
    const std::uint8_t keys[] = {0x10, 0x35, 0x3F};

    const Case cases[] = {
        {"ReadStatus",
         [](TSarvetel &l) { static_cast<void>(l.ReadStatus()); },
         {{0x01, 0x01, 0xC0, 0xC2, 0x19, 0x9E}}},
        {"ReadStatusOnOpen",
         [](TSarvetel &l) { static_cast<void>(l.ReadStatusOnOpen()); },
         {Frame({0x19, 0x60, 0x81}, 20)}},
        {"SetMode",
         [](TSarvetel &l) { static_cast<void>(l.SetMode(0x08)); },
         {Frame({0x5A, 0x08, 0x19}, 30)}},
        {"ReadScreenLines",
         [](TSarvetel &l) { static_cast<void>(l.ReadScreenLines(4)); },
         {Frame({0x1A, 0x04}, 46)}},
        {"SendKeys",
         [&](TSarvetel &l) { static_cast<void>(l.SendKeys(keys, 3)); },
         {Frame({0x59, 0x10, 0x59, 0x35, 0x59, 0x3F, 0x00, 0x00}, 16)}},
        {"ReadPRPBlockCount",
         [](TSarvetel &l) { static_cast<void>(l.ReadPRPBlockCount()); },
         {Frame({0x03}, 10)}},
        {"ReadPRPBlock",
         [](TSarvetel &l) { static_cast<void>(l.ReadPRPBlock(nullptr, 0, 5)); },
         {{0x01, 0x02, 0xC4, 0xC7, 0x04, 0x05, 0x98}}},
        {"ReadSection",
         [&](TSarvetel &l) { static_cast<void>(l.ReadSection(5, section)); },
         {{0x01, 0x02, 0xD0, 0xD3, 0x1B, 0x05, 0xC7}}},
        {"ReadSectionInfo",
         [](TSarvetel &l) { static_cast<void>(l.ReadSectionInfo(0x41)); },
         {Frame({0x22, 0x41, 0x41}, 80)}},
        {"WriteSection",
         [&](TSarvetel &l) { static_cast<void>(l.WriteSection(section)); },
         {Frame({0x5C}, 20), Frame({0x1D, 0x01}, 20),
          Frame({0x5B, 6, 6, 3, 3, 0xF0, 0x1E, 0x00, 0x00}, 16)}},
        {"DeleteSection",
         [](TSarvetel &l) { static_cast<void>(l.DeleteSection(7)); },
         {Frame({0x5F, 7, 7}, 10)}},
        {"ClearTechKey",
         [](TSarvetel &l) { static_cast<void>(l.ClearTechKey(63)); },
         {Frame({0x62, 63}, 12)}},
        {"ReadIOSetup",
         [](TSarvetel &l) { static_cast<void>(l.ReadIOSetup()); },
         {Frame({0x24}, 70)}},
        {"AutoIOSetup",
         [](TSarvetel &l) { static_cast<void>(l.AutoIOSetup()); },
         {Frame({0x67}, 10), Frame({0x24}, 70)}},
        {"ResetVariables",
         [](TSarvetel &l) { static_cast<void>(l.ResetVariables()); },
         {Frame({0x68}, 10)}},
        {"ResetVariableLocks",
         [](TSarvetel &l) { static_cast<void>(l.ResetVariableLocks()); },
         {Frame({0x69}, 10)}},
        {"ResetCoefficients",
         [](TSarvetel &l) { static_cast<void>(l.ResetCoefficients()); },
         {Frame({0x6A}, 10)}},
        {"ResetSystemMemory",
         [](TSarvetel &l) { static_cast<void>(l.ResetSystemMemory()); },
         {Frame({0x6B}, 10)}},
        {"ToggleMemoryType",
         [](TSarvetel &l) { static_cast<void>(l.ToggleMemoryType()); },
         {Frame({0x6C}, 24)}},
        {"ReadAlgorithm",
         [](TSarvetel &l) { static_cast<void>(l.ReadAlgorithm(0x0A)); },
         {Frame({0x1C, 0x0A}, 128)}},
    };
    for (const Case &c : cases) {
        Controller.ClearRequests();
        c.Run(Link);
        EXPECT_EQ(Controller.Requests(), c.Frames) << c.Name;
        EXPECT_EQ(Link.LinkStatus, LinkAccepted) << c.Name;
    }
    EXPECT_EQ(Frame({0x59, 0x10, 0x59, 0x35, 0x59, 0x3F, 0x00, 0x00}, 16)[2], 0xC0);
}

TEST_F(Commands, StatusModeChangeScreenAndKeys)
{
    Controller.Queue(ReplyFrame({0x19, 0x02, 0x00}));
    EXPECT_EQ(Link.ReadStatus().Mode, 0x02u);
    EXPECT_EQ(Link.ErrorsPresent, 1);

    // The mode asked for and the status read back in one frame: refused when it differs.
    Controller.Queue(ReplyFrame({0x5A, 0x00, 0x19, 0x01, 0xFF}));
    static_cast<void>(Link.SetMode(0x08));
    EXPECT_EQ(Link.LinkStatus, LinkAccepted);
    EXPECT_NE(Link.Mode, 0x08u);
    Controller.Queue(ReplyFrame({0x5A, 0x00, 0x19, 0x08, 0xFF}));
    static_cast<void>(Link.SetMode(0x08));
    EXPECT_EQ(Link.Mode, 0x08u);

    Bytes lines = {0x1A, 34, 6};
    for (int i = 0; i < 16; ++i)
        lines.push_back(std::uint8_t(0x30 + i % 10));
    lines.push_back(7);
    for (int i = 0; i < 16; ++i)
        lines.push_back(0x20);
    Controller.Queue(ReplyFrame(lines));
    static_cast<void>(Link.ReadScreenLines(6));
    EXPECT_EQ(Link.ScreenLines[6], QStringLiteral("0123456789012345"));
    EXPECT_EQ(Link.ScreenLines[7], QString(16, QChar(u' ')));

    Controller.ClearRequests();
    static_cast<void>(Link.SendKeys(nullptr, 0)); // nothing to send, nothing sent
    std::uint8_t many[40];
    for (int i = 0; i < 40; ++i)
        many[i] = std::uint8_t(0x30 + i % 10);
    static_cast<void>(Link.SendKeys(many, 40)); // at most 36 go in one frame
    const auto requests = Controller.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].size(), std::size_t(5 + 2 * 36 + 2));
    EXPECT_EQ(requests[0][2], 0xC4); // capacity 82
}

TEST_F(Commands, BlocksSectionsAndAlgorithms)
{
    Controller.Queue(ReplyFrame({0x03, 0x00}));
    EXPECT_EQ(Link.ReadPRPBlockCount().Value, 256);

    std::uint8_t image[128] = {};
    Bytes block = {0x04, 0x01};
    for (int i = 0; i < 64; ++i)
        block.push_back(std::uint8_t(0xC0 + i % 16));
    Controller.Queue(ReplyFrame(block));
    static_cast<void>(Link.ReadPRPBlock(image, sizeof image, 1));
    EXPECT_EQ(Link.LastBlockNumber, 1);
    EXPECT_EQ(image[64], 0xC0);
    EXPECT_EQ(image[127], 0xCF);
    EXPECT_EQ(Link.BlockDestination, nullptr); // only set for the command's duration

    TZentorSection record;
    Controller.Queue(ReplyFrame({0x1B, 4, 4, 9, 9, 0xE5, 0x00, 0x00}));
    static_cast<void>(Link.ReadSection(9, record));
    EXPECT_EQ(record.CodeLength, 4);
    EXPECT_EQ(record.Code[2], 9);
    EXPECT_EQ(Link.SectionRecord, nullptr);

    Controller.Queue(ReplyFrame({0x22, 0x30, 0x00}));
    EXPECT_EQ(Link.ReadSectionInfo(9).Value, 0x30u);

    Controller.Queue(ReplyFrame({0x1C, 4 + 6, 0, 1, 6, 0x21, 0x22, 0x23, 0x24, 0x25}));
    static_cast<void>(Link.ReadAlgorithm(3));
    EXPECT_EQ(Link.Algorithm.Present, 1);
    EXPECT_EQ(Link.Algorithm.ParamCount, 1);
    EXPECT_EQ(Link.Algorithm.ParamTypes[0], 5);
    EXPECT_EQ(Link.Algorithm.RecordSize, 5);
    Controller.Queue(ReplyFrame({0x1C, 0x00}));
    static_cast<void>(Link.ReadAlgorithm(4));
    EXPECT_EQ(Link.Algorithm.Present, 0);
    EXPECT_EQ(Link.LinkStatus, LinkAccepted);

    // A section the controller refuses.
    Controller.Queue(ReplyFrame({0x5C, 0x00}));
    Controller.Queue(ReplyFrame({0x1D, 0x00}));
    Controller.Queue(ReplyFrame({0x5B, 0x01, 0x00, 0x00}));
    static_cast<void>(Link.WriteSection(record));
    EXPECT_EQ(Link.LinkStatus, LinkRejected);
    EXPECT_EQ(Link.ProtocolResult, ResultHeaderChecksum);
}

TEST_F(Commands, HeaderReadTellsWhetherThePartCame)
{
    // Every answer accepted, none with the part: the header read has nothing to show.
    auto header = std::make_unique<TPRPHeader>();
    header->OrderKB = 2;
    EXPECT_FALSE(Link.ReadHeader(*header));
    EXPECT_EQ(Link.LinkStatus, LinkAccepted);
    EXPECT_EQ(header->OrderKB, 2);

    auto sent = std::make_unique<TPRPHeader>();
    sent->OrderKB = 7;
    Bytes part(1 + HeaderPartBlockLength, 0);
    part[0] = 0x5E;
    sent->EncodePart(0, part.data() + 1);
    Controller.Queue(ReplyFrame({0x5C, 0x00}));
    Controller.Queue(ReplyFrame({0x1D, 0x00}));
    Controller.Queue(ReplyFrame(part));
    EXPECT_TRUE(Link.ReadHeader(*header));
    EXPECT_EQ(header->OrderKB, 7);
}

TEST_F(Commands, IOSetupFrameRoundTripAndChannelRelease)
{
    for (int i = 0; i < 15; ++i)
        Link.IOSetup[i] = std::uint8_t(0xA0 + i);
    for (int l = 0; l < 8; ++l)
        Link.IOSetup[15 + l] = 7;
    Link.IOSetup[15 + 1] = 3; // logical 1 on physical 3
    Link.IOSetup[15 + 4] = 0; // logical 4 on physical 0
    Link.IOSetup[15 + 7] = 6; // logical 7 on physical 6
    for (int i = 0; i < 7; ++i)
        Link.IOSetup[23 + i] = std::uint8_t(0x50 + i);
    Link.MemoryType = 0x02;

    Bytes expected(61, 0);
    expected[4] = 0x65;
    expected[5] = 0x36;
    expected[8] = 4;
    expected[9] = 0x02;
    expected[10] = 1;
    for (int i = 0; i < 15; ++i)
        expected[std::size_t(11 + i)] = std::uint8_t(0xA0 + i);
    expected[26 + 2] = 0x08;
    expected[27 + 2] = 1;
    expected[26 + 8] = 0x01;
    expected[27 + 8] = 4;
    expected[26 + 14] = 0x40;
    expected[27 + 14] = 7;
    expected[42] = 0x49;
    for (int i = 0; i < 7; ++i)
        expected[std::size_t(43 + i)] = std::uint8_t(0x50 + i);
    expected[50] = 2;
    expected[51] = 1;
    expected[6] = ByteSum(expected.data() + 5, 55);
    TSarvetel::CompleteFrame(expected.data(), 61, 20);

    Controller.ClearRequests();
    static_cast<void>(Link.WriteIOSetup());
    ASSERT_EQ(Controller.Requests().size(), 1u);
    EXPECT_EQ(Controller.Requests()[0], expected);
    // The data checksum makes the sum over bytes 5..59 come out as twice itself.
    const Bytes sent = Controller.Requests()[0];
    Bytes zeroed = sent;
    zeroed[6] = 0;
    EXPECT_EQ(sent[6], ByteSum(zeroed.data() + 5, 55));

    // The reply block of a read carries the same fields back.
    Bytes item(54, 0);
    item[0] = 0x24;
    for (int i = 1; i < 54; ++i)
        item[std::size_t(i)] = sent[std::size_t(6 + i)];
    TSarvetel reader(&Port, nullptr);
    Controller.Queue(ReplyFrame(item));
    static_cast<void>(reader.ReadIOSetup());
    EXPECT_EQ(reader.MemoryType, 0x02);
    EXPECT_EQ(Bytes(reader.IOSetup, reader.IOSetup + 30), Bytes(Link.IOSetup, Link.IOSetup + 30));

    Controller.ClearRequests();
    static_cast<void>(Link.ReleaseChannel(1)); // physical 3: mask 0x08, byte 15 + 3
    static_cast<void>(Link.ReleaseChannel(2)); // none: mask 0x80, byte 22
    static_cast<void>(Link.ReleaseChannel(8)); // no such logical channel: nothing sent
    const auto r = Controller.Requests();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0], Frame({0x66, 0x08, Link.IOSetup[18]}, 10));
    EXPECT_EQ(r[1], Frame({0x66, 0x80, Link.IOSetup[22]}, 10));
}

TEST_F(Commands, FailuresLeaveTheirLinkStatus)
{
    // No reply at all.
    Controller.SetFallback(nullptr);
    static_cast<void>(Link.ReadStatus());
    EXPECT_EQ(Link.LinkStatus, LinkNoReply);
    EXPECT_EQ(Link.BytesRead, 0);
    // A corrupt reply.
    Bytes bad = ReplyFrame({0x19, 0x01, 0xFF});
    bad[5] ^= 0x04;
    Controller.Queue(bad);
    static_cast<void>(Link.ReadStatus());
    EXPECT_EQ(Link.LinkStatus, LinkRejected);
    EXPECT_EQ(Link.ProtocolResult, ResultPacketChecksum);
    // A reply too late for its request is discarded before the next one.
    Controller.Queue(ReplyFrame({0x19, 0x04, 0xFF}), 400);
    Controller.Queue(ReplyFrame({0x19, 0x20, 0xFF}));
    static_cast<void>(Link.ReadStatus());
    EXPECT_EQ(Link.LinkStatus, LinkNoReply);
    static_cast<void>(Link.ReadStatus());
    EXPECT_EQ(Link.LinkStatus, LinkAccepted);
    EXPECT_EQ(Link.Mode, 0x20u);
    // Port closed: the request is not written.
    Port.Close();
    static_cast<void>(Link.ReadStatus());
    EXPECT_EQ(Link.LinkStatus, LinkNotWritten);
    TSarvetel portless(nullptr, nullptr);
    static_cast<void>(portless.ReadStatus());
    EXPECT_EQ(portless.LinkStatus, LinkNotWritten);
}

TEST_F(Commands, LogOfAnExchange)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("log"));
    {
        TLogger logger(file);
        Link.Logger = &logger;
        Controller.Queue(ReplyFrame({0x19, 0x01, 0xFF}));
        static_cast<void>(Link.ReadStatus());
        Controller.SetFallback(nullptr);
        static_cast<void>(Link.ReadPRPBlockCount());
        Link.Logger = nullptr;
    }
    const QStringList expected = {
        "Отправлена следующая последовательность",
        "01 01 C0 C2 19 9E ",
        "Принята следующая последовательность",
        "01 03 00 04 19 01 FF 22 ",
        "Разбор команды 19",
        "Отправлена следующая последовательность",
        "01 01 C0 C2 03 88 ",
    };
    EXPECT_EQ(LogLines(file), expected);
}
