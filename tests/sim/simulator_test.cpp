// The simulator as a controller, driven through the link over a real pseudo-terminal: every
// command, the replies' shape, the stored PRP, and each injected fault.

#include "../files/filetestutil.h"
#include "../fulldisk.h"
#include "link/prptransfer.h"
#include "link/sarvetelerrors.h"
#include "prp/imagecheck.h"
#include "simtesting.h"

#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

using namespace Sarvetel;

namespace {

class SimulatorLink : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(C.Opened);
        C.Port.Timeouts.ReadTotalTimeoutMultiplier = 10; // a lost reply costs little here
    }
    void Program()
    {
        static_cast<void>(C.Link.SetMode(ModeStop));
        static_cast<void>(C.Link.SetMode(ModeProgram));
        ASSERT_EQ(C.Link.Mode, std::uint32_t(ModeProgram));
    }
    TSimulatedController C;
    TSarvetel &L = C.Link;
};

} // namespace

TEST_F(SimulatorLink, ModesAndStatus)
{
    EXPECT_EQ(L.ReadStatus().Mode, std::uint32_t(ModeStop));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    EXPECT_EQ(L.ErrorsPresent, 0);
    static_cast<void>(L.ReadStatusOnOpen());
    EXPECT_EQ(L.LinkStatus, LinkAccepted);

    static_cast<void>(L.SetMode(ModeRun));
    EXPECT_EQ(L.Mode, std::uint32_t(ModeRun));
    static_cast<void>(L.SetMode(ModeProgram)); // not straight from "Пуск"
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    EXPECT_EQ(L.Mode, std::uint32_t(ModeRun));
    static_cast<void>(L.SetMode(ModeStop));
    static_cast<void>(L.SetMode(ModeProgram));
    EXPECT_EQ(L.Mode, std::uint32_t(ModeProgram));
    static_cast<void>(L.SetMode(0x40)); // no such mode
    EXPECT_EQ(L.Mode, std::uint32_t(ModeProgram));

    // "НП": mode 0x80 with its fault list.
    static_cast<void>(L.SetMode(ModeStop));
    static_cast<void>(L.SetMode(ModeFault));
    EXPECT_EQ(L.Mode, std::uint32_t(ModeFault));
    ASSERT_EQ(L.FaultCount, 1);
    EXPECT_EQ(SarvetelFaultText(L.FaultWord(0)), QStringLiteral("Программируемый отказ"));
    static_cast<void>(L.ReadStatusOnOpen()); // its short reply room holds no fault list
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    static_cast<void>(L.SetMode(ModeStop));
    EXPECT_EQ(L.Mode, std::uint32_t(ModeStop));
    static_cast<void>(L.ReadStatus());
    EXPECT_EQ(L.ErrorsPresent, 0);
}

TEST_F(SimulatorLink, ScreenReactsToKeys)
{
    static_cast<void>(L.ReadScreenLines(0));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    EXPECT_EQ(L.ScreenLines[0], QStringLiteral(" САРВЕТЕЛ-СИМ   "));
    EXPECT_EQ(L.ScreenLines[1], QStringLiteral("ОСТАНОВ         "));
    const std::uint8_t keys[] = {0x31, 0x32, 0x37};
    static_cast<void>(L.SendKeys(keys, 3));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    static_cast<void>(L.ReadScreenLines(2));
    EXPECT_EQ(L.ScreenLines[2], QStringLiteral("КЛАВИША 37      "));
    EXPECT_EQ(L.ScreenLines[3], QStringLiteral("ВВОД 127        "));
    const std::uint8_t reset[] = {0x10};
    static_cast<void>(L.SendKeys(reset, 1));
    static_cast<void>(L.ReadScreenLines(2));
    EXPECT_EQ(L.ScreenLines[3], QStringLiteral("ВВОД            "));
    for (int i : {4, 6, 8}) {
        static_cast<void>(L.ReadScreenLines(i));
        EXPECT_EQ(L.LinkStatus, LinkAccepted) << i;
    }
    // The fault key in "Пуск" stops the controller with a fault.
    static_cast<void>(L.SetMode(ModeRun));
    const std::uint8_t fault[] = {0x08};
    static_cast<void>(L.SendKeys(fault, 1));
    EXPECT_EQ(L.ReadStatus().Mode, std::uint32_t(ModeFault));
}

TEST_F(SimulatorLink, SectionsWrittenReadAndDeleted)
{
    const Bytes block = SectionBlock(33, {0x0C, 0x05, 0x10, 0x02, 0x1E});
    TZentorSection section;
    PutBlock(section, block);

    static_cast<void>(L.WriteSection(section)); // outside programming mode
    EXPECT_EQ(L.LinkStatus, LinkRejected);
    Program();
    static_cast<void>(L.WriteSection(section));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    EXPECT_EQ(L.ReadSectionInfo(33).Value, std::uint32_t(block.size()));
    EXPECT_EQ(L.ReadSectionInfo(34).Value, 0u);

    TZentorSection back;
    static_cast<void>(L.ReadSection(33, back));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    // The record comes back without its terminator, and written again it is the same block.
    ASSERT_EQ(back.CodeLength, int(block.size()) - 1);
    EXPECT_EQ(Bytes(back.Code, back.Code + back.CodeLength), Bytes(block.begin(), block.end() - 1));
    static_cast<void>(L.WriteSection(back));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    EXPECT_EQ(L.ReadSectionInfo(33).Value, std::uint32_t(block.size()));

    TZentorSection absent;
    absent.CodeLength = 9;
    static_cast<void>(L.ReadSection(40, absent));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    EXPECT_EQ(absent.CodeLength, 0);

    // A block whose own checksum is wrong is refused.
    TZentorSection broken;
    Bytes bad = block;
    bad[6] ^= 1;
    PutBlock(broken, bad);
    static_cast<void>(L.WriteSection(broken));
    EXPECT_EQ(L.LinkStatus, LinkRejected);

    static_cast<void>(L.DeleteSection(33));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    EXPECT_EQ(L.ReadSectionInfo(33).Value, 0u);
}

TEST_F(SimulatorLink, HeaderPartsKeysAndBlocksOfTheImage)
{
    auto header = std::make_unique<TPRPHeader>();
    header->OrderDV = 3;
    header->OrderKB = 7;
    header->OrderVA = 2;
    header->ImpSource[9][0] = 0x10;
    header->ImpSource[9][1] = 0x40;
    header->ImpSource[31][0] = 0x22;
    header->ImpSource[31][1] = 0x81;
    header->ImpTicks[7] = 0xC3;
    header->AdcOrder[1] = 15;
    header->TimeGen[2][0] = 20;
    header->TimeGen[2][3] = 0x41;
    header->TechKeys[5].Class = 3;
    header->TechKeys[5].Index = 6;
    header->TechKeys[5].Name = QStringLiteral("НАСОС 1 ");
    header->TechKeys[63].Class = 10;
    header->TechKeys[63].Index = 31;
    header->TechKeys[63].Name = QStringLiteral("ИМП");

    Program();
    EXPECT_TRUE(L.WriteHeader(*header));
    TZentorSection section;
    PutBlock(section, SectionBlock(0, {0x1E}));
    static_cast<void>(L.WriteSection(section));
    PutBlock(section, SectionBlock(200, {0x0C, 0x01}));
    static_cast<void>(L.WriteSection(section));

    // Part 0 read back directly.
    auto part = std::make_unique<TPRPHeader>();
    static_cast<void>(L.ReadHeaderPart(*part));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    EXPECT_EQ(part->OrderDV, 3);
    EXPECT_EQ(part->OrderKB, 7);
    EXPECT_EQ(part->AdcOrder[1], 15);
    EXPECT_EQ(part->TimeGen[2][3], 0x41);
    EXPECT_TRUE(L.ReadHeader(*part));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);

    // The whole PRP block by block: the header and its keys, both checksums.
    const int blocks = L.ReadPRPBlockCount().Value;
    const int length = C.WithSim([](TSarvetelSimulator &s) { return s.Program.ImageLength; });
    EXPECT_EQ(length, 162 + 2 * 11 + 7 + 8);
    EXPECT_EQ(blocks, (length + 63) / 64);
    std::vector<std::uint8_t> image(64 * 256);
    for (int k = 0; k < blocks; ++k) {
        static_cast<void>(L.ReadPRPBlock(image.data(), int(image.size()), k));
        ASSERT_EQ(L.LastBlockNumber, k);
    }
    EXPECT_TRUE(CheckPrpImage(image.data(), length).Sound());
    EXPECT_EQ(PRPImageLength(image.data(), blocks * 64), length);
    EXPECT_EQ(image[162], 5);
    EXPECT_EQ(image[163], 3);
    EXPECT_EQ(image[173], 63);

    // The header as the console reads it: three blocks, then as many as it is long.
    auto stored = std::make_unique<TPRPHeader>();
    static_cast<void>(L.ReadPRPIntoHeader(*stored));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    EXPECT_EQ(stored->BytesLength, 162 + 22);
    ASSERT_TRUE(stored->DecodeHeader());
    EXPECT_EQ(stored->ImpSource[9][0], 0x10);
    EXPECT_EQ(stored->ImpSource[31][1], 0x81);
    EXPECT_EQ(stored->ImpTicks[7], 0xC3);
    EXPECT_EQ(stored->TechKeys[5].Name, QStringLiteral("НАСОС 1 "));
    EXPECT_EQ(stored->TechKeys[63].Name, QStringLiteral("ИМП     "));
    EXPECT_EQ(stored->TechKeys[63].Index, 31);

    static_cast<void>(L.ClearTechKey(5));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    static_cast<void>(L.ReadPRPIntoHeader(*stored));
    ASSERT_TRUE(stored->DecodeHeader());
    EXPECT_EQ(stored->TechKeys[5].Class, 0);
    EXPECT_EQ(stored->TechKeys[63].Class, 10);
}

TEST_F(SimulatorLink, HeaderFramesByteForByte)
{
    auto header = std::make_unique<TPRPHeader>();
    for (int k = 0; k < 32; ++k) {
        header->ImpSource[k][0] = std::uint8_t(2 * k);
        header->ImpSource[k][1] = 0x40;
    }
    for (int i = 0; i < 8; ++i) {
        header->ImpTicks[i] = std::uint8_t(0x10 + i);
        header->AdcOrder[i] = std::uint8_t(i);
        for (int b = 0; b < 4; ++b)
            header->TimeGen[i][b] = std::uint8_t(0x80 + 4 * i + b);
    }
    header->TechKeys[2].Class = 1;
    header->TechKeys[2].Index = 0x41;
    header->TechKeys[2].Name = QStringLiteral("A!'Б    ");
    Program();
    C.TakeRequests();
    EXPECT_TRUE(L.WriteHeader(*header));
    const auto r = C.TakeRequests();
    ASSERT_EQ(r.size(), 13u);
    Bytes begin = {0x01, 0x02, 0xC0, 0xC3, 0x5C, 0x00, 0};
    begin[6] = ByteSum(begin.data(), 6);
    Bytes prepare = {0x01, 0x02, 0xC0, 0xC3, 0x1D, 0x03, 0};
    prepare[6] = ByteSum(prepare.data(), 6);
    for (int part = 0; part < 4; ++part) {
        EXPECT_EQ(r[std::size_t(3 * part)], begin);
        EXPECT_EQ(r[std::size_t(3 * part + 1)], prepare);
        const Bytes &f = r[std::size_t(3 * part + 2)];
        ASSERT_EQ(f.size(), 75u);
        EXPECT_EQ(Bytes(f.begin(), f.begin() + 4), (Bytes{0x01, 0x46, 0xC0, 0x08}));
        EXPECT_EQ(f[4], 0x5D);
        EXPECT_EQ(f[5], 0x45);
        EXPECT_EQ(f[6], 0);
        EXPECT_EQ(f[7], part);
        EXPECT_EQ(Bytes(f.begin() + 8, f.begin() + 14), (Bytes{1, 0, 1, 1, 1, 1}));
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(f[std::size_t(14 + 2 * i)], 2 * (8 * part + i));
            EXPECT_EQ(f[std::size_t(15 + 2 * i)], 0x40);
        }
        EXPECT_EQ(f[30], 0x10 + 2 * part);
        EXPECT_EQ(f[31], 0x11 + 2 * part);
        for (int m = 0; m < 8; ++m)
            EXPECT_EQ(f[std::size_t(32 + m)], m);
        for (int k = 0; k < 8; ++k) {
            EXPECT_EQ(f[std::size_t(40 + 2 * k)], 0x80 + 4 * k);
            EXPECT_EQ(f[std::size_t(41 + 2 * k)], 0x81 + 4 * k);
            EXPECT_EQ(f[std::size_t(56 + 2 * k)], 0x82 + 4 * k);
            EXPECT_EQ(f[std::size_t(57 + 2 * k)], 0x83 + 4 * k);
        }
        EXPECT_EQ(f[72], 0);
        EXPECT_EQ(f[73], 0);
        EXPECT_EQ(f[74], ByteSum(f.data(), 74));
    }
    Bytes key = {0x01, 0x0C, 0xC0, 0, 0x63, 2, 1, 0x41, 0x41, 33, 35};
    key.push_back(TextToController(QChar(u'Б')));
    for (int i = 0; i < 4; ++i)
        key.push_back(0x20);
    key[3] = ByteSum(key.data(), 3);
    key.push_back(ByteSum(key.data(), int(key.size())));
    EXPECT_EQ(r[12], key);
}

TEST_F(SimulatorLink, IOSetupMemoryAndServiceCommands)
{
    static_cast<void>(L.ReadIOSetup());
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    EXPECT_EQ(L.IOSetup[0], 0xFF);
    EXPECT_EQ(L.IOSetup[15], 0);
    EXPECT_EQ(L.IOSetup[16], 1);
    EXPECT_EQ(L.IOSetup[17], 7);
    L.IOSetup[3] = 0x5A;
    L.IOSetup[15 + 7] = 4;
    L.IOSetup[15 + 1] = 7;
    L.IOSetup[25] = 0x98;
    static_cast<void>(L.WriteIOSetup());
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    TSarvetel other(&C.Port, nullptr);
    static_cast<void>(other.ReadIOSetup());
    EXPECT_EQ(Bytes(other.IOSetup, other.IOSetup + 30), Bytes(L.IOSetup, L.IOSetup + 30));

    static_cast<void>(L.ReleaseChannel(7));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    static_cast<void>(other.ReadIOSetup());
    EXPECT_EQ(other.IOSetup[15 + 7], 7);
    static_cast<void>(L.AutoIOSetup());
    EXPECT_EQ(L.IOSetup[16], 1);

    const std::uint8_t before = L.MemoryType;
    static_cast<void>(L.ToggleMemoryType());
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    static_cast<void>(other.ReadIOSetup());
    EXPECT_EQ(other.MemoryType, before ^ 1);
    static_cast<void>(L.ResetVariables());
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    static_cast<void>(L.ResetVariableLocks());
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    static_cast<void>(L.ResetCoefficients());
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    static_cast<void>(L.ResetSystemMemory());
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
}

TEST_F(SimulatorLink, AlgorithmDescriptions)
{
    C.WithSim([](TSarvetelSimulator &s) {
        TSimAlgorithm &a = s.Algorithms[10];
        a.Present = true;
        a.OwnMemory = 4;
        a.ParamCount = 3;
        a.Kinds[0] = 5;
        a.Kinds[1] = 4;
        a.Kinds[2] = 12;
        a.Names[0] = QStringLiteral("ВХОД");
        a.Names[1] = QStringLiteral("ВЫХОД1");
        a.Names[2] = QStringLiteral("К");
        return 0;
    });
    static_cast<void>(L.ReadAlgorithm(10));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    EXPECT_EQ(L.Algorithm.Present, 1);
    EXPECT_EQ(L.Algorithm.Modifier, 4);
    EXPECT_EQ(L.Algorithm.ParamCount, 3);
    EXPECT_EQ(L.Algorithm.ParamTypes[0], 5);
    EXPECT_EQ(L.Algorithm.ParamTypes[1], 4);
    EXPECT_EQ(L.Algorithm.ParamTypes[2], 12);
    EXPECT_EQ(L.Algorithm.ParamNames[0], QStringLiteral("ВХОД "));
    EXPECT_EQ(L.Algorithm.ParamNames[1], QStringLiteral("ВЫХОД"));
    EXPECT_EQ(L.Algorithm.RecordSize, 3 + 2 + 2 + 6 + 2);
    static_cast<void>(L.ReadAlgorithm(11));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    EXPECT_EQ(L.Algorithm.Present, 0);
}

TEST_F(SimulatorLink, EveryReplyFitsItsCommandsCapacity)
{
    // The simulator's replies must never be longer than what the command reads, or a
    // real link would cut them and fail their checksum. Fault mode has the longest status.
    TZentorSection section;
    PutBlock(section, SectionBlock(7, Bytes(250, 0x1E)));
    Program();
    static_cast<void>(L.WriteSection(section));
    C.WithSim([](TSarvetelSimulator &s) {
        s.Algorithms[1].Present = true;
        s.Algorithms[1].ParamCount = 19;
        return 0;
    });
    C.TakeRequests();
    static_cast<void>(L.ReadSection(7, section));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    EXPECT_EQ(section.CodeLength, 255); // the block without its terminator
    static_cast<void>(L.ReadAlgorithm(1));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    EXPECT_EQ(L.Algorithm.ParamCount, 19);
    static_cast<void>(L.SetMode(ModeStop));
    static_cast<void>(L.SetMode(ModeFault));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    static_cast<void>(L.ReadStatus());
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    static_cast<void>(L.ReadStatusOnOpen());
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    const std::uint8_t keys[36] = {};
    static_cast<void>(L.SendKeys(keys, 36));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
}

TEST(Simulator, BrokenRequestFramesAreAnsweredWithAFrameFailure)
{
    auto sim = std::make_unique<TSarvetelSimulator>();
    Bytes f = {0x01, 0x01, 0xC0, 0xC2, 0x19, 0x9F};
    TSimReply r = sim->HandleRequest(f.data(), int(f.size()));
    ASSERT_EQ(r.Bytes.size(), 5u);
    EXPECT_EQ(r.Bytes[2] & 0x40, 0x40);
    f = {0x01, 0x05, 0xC0, 0xC6, 0x19, 0x9F}; // announces more than it has
    r = sim->HandleRequest(f.data(), int(f.size()));
    EXPECT_EQ(r.Bytes[2] & 0x40, 0x40);
    // Truncated items inside a good frame get no answer and no crash.
    for (std::uint8_t code : {0x5A, 0x1A, 0x59, 0x04, 0x5E, 0x1D, 0x63, 0x62, 0x1B, 0x22, 0x5B,
                              0x5F, 0x65, 0x66, 0x1C, 0x5D}) {
        Bytes g = {0, 0, 0, 0, code, 0};
        TSarvetel::CompleteFrame(g.data(), int(g.size()), 20);
        r = sim->HandleRequest(g.data(), int(g.size()));
        EXPECT_EQ(r.Bytes[2] & 0x60, 0) << int(code);
    }
}

TEST(Simulator, FaultListParsing)
{
    TSimFaults f;
    QString error;
    EXPECT_TRUE(f.Parse(QStringLiteral("drop:3,corrupt:2,refuse-mode,reject-section:33,slow:300:4"),
                        error));
    EXPECT_EQ(f.DropEvery, 3);
    EXPECT_EQ(f.CorruptEvery, 2);
    EXPECT_TRUE(f.RefuseMode);
    EXPECT_TRUE(f.RejectSections);
    EXPECT_EQ(f.RejectSection, 33);
    EXPECT_EQ(f.SlowMs, 300);
    EXPECT_EQ(f.SlowEvery, 4);
    EXPECT_TRUE(f.Parse(QStringLiteral("reject-section,garble-section:1"), error));
    EXPECT_EQ(f.RejectSection, -1);
    EXPECT_EQ(f.GarbleSection, 1);
    EXPECT_TRUE(f.Parse(QString(), error));
    EXPECT_EQ(f.DropEvery, 0);
    EXPECT_TRUE(f.Parse(QStringLiteral("noise:2.5:7"), error));
    EXPECT_EQ(f.NoiseBasisPoints, 250);
    for (const char *bad :
         {"drop", "drop:0", "drop:x", "slow:5:0", "reject-section:256", "refuse-mode:1", "explode",
          "noise", "noise:0", "noise:101", "noise:5:x", "noise:5:-1", "noise:5:1:2", "noise:nan"}) {
        EXPECT_FALSE(f.Parse(QString::fromUtf8(bad), error)) << bad;
        EXPECT_TRUE(error.contains(QString::fromUtf8(bad).section(':', 0, 0))) << bad;
    }
}

TEST(Simulator, NoiseIsRepeatableByItsSeedAndEveryDamagedReplyIsRejected)
{
    // Status requests to two controllers with the same seed and to one with another.
    Bytes request = {0, 0, 0, 0, 0x19, 0};
    TSarvetel::CompleteFrame(request.data(), int(request.size()), 24);
    const Bytes clean =
        TSarvetelSimulator().HandleRequest(request.data(), int(request.size())).Bytes;
    auto run = [&](std::uint32_t seed, int &lost, int &damaged) {
        auto sim = std::make_unique<TSarvetelSimulator>();
        sim->Faults.SetNoise(5, seed);
        Bytes pattern;
        lost = damaged = 0;
        for (int i = 0; i < 2000; ++i) {
            const Bytes reply = sim->HandleRequest(request.data(), int(request.size())).Bytes;
            lost += reply.empty();
            if (!reply.empty() && reply != clean) {
                ++damaged;
                EXPECT_FALSE(TSarvetel::IsCompleteReply(reply.data(), int(reply.size())));
            }
            pattern.push_back(reply.empty() ? 0 : reply == clean ? 1 : 2);
        }
        return pattern;
    };
    int lost = 0, damaged = 0, lost2 = 0, damaged2 = 0;
    const Bytes first = run(11, lost, damaged);
    EXPECT_EQ(run(11, lost2, damaged2), first);
    EXPECT_NE(run(12, lost2, damaged2), first);
    // About 5 % in all, lost and damaged alike (2000 draws: a wide margin).
    EXPECT_GT(lost + damaged, 60);
    EXPECT_LT(lost + damaged, 140);
    EXPECT_GT(lost, 20);
    EXPECT_GT(damaged, 20);
}

TEST_F(SimulatorLink, InjectedLinkFaults)
{
    C.WithSim([](TSarvetelSimulator &s) {
        s.Faults.DropEvery = 2;
        return 0;
    });
    int noReply = 0;
    for (int i = 0; i < 4; ++i) {
        static_cast<void>(L.ReadStatus());
        noReply += L.LinkStatus == LinkNoReply;
    }
    EXPECT_EQ(noReply, 2);

    C.WithSim([](TSarvetelSimulator &s) {
        s.Faults = TSimFaults();
        s.Faults.CorruptEvery = 1;
        return 0;
    });
    static_cast<void>(L.ReadStatus());
    EXPECT_EQ(L.LinkStatus, LinkRejected);
    EXPECT_EQ(L.ProtocolResult, ResultPacketChecksum);

    C.WithSim([](TSarvetelSimulator &s) {
        s.Faults = TSimFaults();
        s.Faults.RefuseMode = true;
        return 0;
    });
    static_cast<void>(L.SetMode(ModeProgram));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    EXPECT_EQ(L.Mode, std::uint32_t(ModeStop));

    // A late reply is never taken for the answer to the next request.
    C.WithSim([](TSarvetelSimulator &s) {
        s.Faults = TSimFaults();
        s.Faults.SlowMs = 600;
        s.Faults.SlowEvery = 2;
        return 0;
    });
    C.Port.Timeouts.ReadTotalTimeoutMultiplier = 10;
    int late = 0;
    for (int i = 0; i < 4; ++i) {
        static_cast<void>(L.ReadScreenLines(0));
        if (L.LinkStatus == LinkNoReply)
            ++late;
        else
            EXPECT_EQ(L.ScreenLines[0], QStringLiteral(" САРВЕТЕЛ-СИМ   "));
    }
    EXPECT_EQ(late, 2);

    C.WithSim([](TSarvetelSimulator &s) {
        s.Faults = TSimFaults();
        s.Faults.RejectSections = true;
        s.Faults.RejectSection = 5;
        return 0;
    });
    Program();
    TZentorSection a, b;
    PutBlock(a, SectionBlock(5, {0x1E}));
    PutBlock(b, SectionBlock(6, {0x1E}));
    static_cast<void>(L.WriteSection(a));
    EXPECT_EQ(L.LinkStatus, LinkRejected);
    static_cast<void>(L.WriteSection(b));
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
}

TEST(Simulator, MemoryIsFullAtTheBlockCountsLimit)
{
    auto sim = std::make_unique<TSarvetelSimulator>();
    sim->Mode = 0x08;
    int s = 0;
    TSimReply r;
    for (; s < 256; ++s) {
        const Bytes block = SectionBlock(s, Bytes(250, 0x1E));
        Bytes f(5 + 1 + block.size() + 1);
        f[4] = 0x5B;
        std::copy(block.begin(), block.end(), f.begin() + 5);
        TSarvetel::CompleteFrame(f.data(), int(f.size()), 16);
        r = sim->HandleRequest(f.data(), int(f.size()));
        if (r.Bytes[2] & 0x20)
            break;
    }
    EXPECT_LT(s, 256);
    EXPECT_LE(sim->Program.ImageLength, TSarvetelSimulator::MemorySize);
    EXPECT_GT(sim->Program.ImageLength + 256, TSarvetelSimulator::MemorySize);
}

TEST(Simulator, StateIsKeptAcrossRuns)
{
    QTemporaryDir dir;
    {
        auto sim = std::make_unique<TSarvetelSimulator>();
        sim->StateDir = dir.path();
        QString error;
        ASSERT_TRUE(sim->LoadState(error)) << error.toStdString();
        sim->Mode = 0x08;
        const Bytes block = SectionBlock(77, {0x0C, 0x03});
        Bytes f(5 + 1 + block.size() + 1);
        f[4] = 0x5B;
        std::copy(block.begin(), block.end(), f.begin() + 5);
        TSarvetel::CompleteFrame(f.data(), int(f.size()), 16);
        sim->HandleRequest(f.data(), int(f.size()));
        Bytes toggle = {0, 0, 0, 0, 0x6C, 0};
        TSarvetel::CompleteFrame(toggle.data(), 6, 24);
        sim->HandleRequest(toggle.data(), 6);
    }
    auto again = std::make_unique<TSarvetelSimulator>();
    again->StateDir = dir.path();
    QString error;
    ASSERT_TRUE(again->LoadState(error)) << error.toStdString();
    EXPECT_TRUE(again->Program.Sections[77].Present);
    EXPECT_EQ(again->Program.Sections[77].CodeLength, 8);
    EXPECT_EQ(again->MemoryType, 1);
    EXPECT_TRUE(CheckPrpImage(again->Program.Image, again->Program.ImageLength).Sound());

    // A damaged state is reported, not served.
    QFile prp(dir.filePath(QStringLiteral("prp.bin")));
    ASSERT_TRUE(prp.open(QIODevice::WriteOnly));
    prp.write(QByteArray(100, '\x7F'));
    prp.close();
    auto damaged = std::make_unique<TSarvetelSimulator>();
    damaged->StateDir = dir.path();
    EXPECT_FALSE(damaged->LoadState(error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Simulator, StateThatCannotBeKeptIsReportedAndTheOldStaysWhole)
{
    TFullDisk disk;
    REQUIRE_FULL_DISK(disk);
    auto sim = std::make_unique<TSarvetelSimulator>();
    sim->StateDir = disk.Path(QStringLiteral("state"));
    sim->Mode = 0x08;
    auto store = [&sim](int s) {
        const Bytes block = SectionBlock(s, {0x0C, 0x03});
        Bytes f(5 + 1 + block.size() + 1);
        f[4] = 0x5B;
        std::copy(block.begin(), block.end(), f.begin() + 5);
        TSarvetel::CompleteFrame(f.data(), int(f.size()), 16);
        sim->HandleRequest(f.data(), int(f.size()));
    };
    store(77);
    ASSERT_TRUE(sim->StateError.isEmpty()) << sim->StateError.toStdString();
    const QString prp = disk.Path(QStringLiteral("state/prp.bin"));
    const QByteArray kept = FileBytes(prp);
    ASSERT_FALSE(kept.isEmpty());

    ASSERT_TRUE(disk.Fill());
    store(78);
    EXPECT_TRUE(sim->StateError.endsWith(QString::fromLocal8Bit(std::strerror(ENOSPC))))
        << sim->StateError.toStdString();
    EXPECT_EQ(FileBytes(prp), kept);
}
