// Transfers over a noisy line: every request that is harmless to repeat is asked again by
// itself, so a line that loses or damages a few replies still carries whole programs; on a
// clean line the frames are exactly those the controller has always been sent.

#include "simtesting.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <thread>

using namespace Sarvetel;

namespace {

// Short time-outs: a lost reply costs a fraction of a second here, not the line's seconds.
void UseShortTimeouts(TCOMPort &port)
{
    port.Timeouts.ReadIntervalTimeout = 50;
    port.Timeouts.ReadTotalTimeoutMultiplier = 3;
    port.Timeouts.ReadTotalTimeoutConstant = 60;
}

// What a write command does first: the status, and the way into "Программирование".
bool EnterProgramming(TSarvetel &link)
{
    static_cast<void>(link.ReadStatus(RequestAttempts));
    if (link.LinkStatus != LinkAccepted)
        return false;
    if (link.Mode == ModeProgram)
        return true;
    static_cast<void>(link.SetMode(ModeStop, RequestAttempts));
    static_cast<void>(link.SetMode(ModeProgram, RequestAttempts));
    return link.LinkStatus == LinkAccepted && link.Mode == ModeProgram;
}

TTransferResult RunJob(TPRPTransferThread &job)
{
    job.Execute();
    return job.Result;
}

// The whole image the controller holds, read back as a transfer reads it.
bool ReadsBack(TSimulatedController &c, const Bytes &expected)
{
    auto back = std::make_unique<TZentorProgram>();
    back->Clear();
    TRecordingProgress progress;
    TPRPReadThread job(c.Link, *back, progress, nullptr);
    return RunJob(job) == TTransferResult::Done && back->Messages->isEmpty() &&
           Bytes(back->Image, back->Image + back->ImageLength) == expected;
}

// A program of the size the line tests need: 29 sections, six keys, 37 blocks.
std::unique_ptr<TZentorProgram> NoisyProgram()
{
    auto p = SampleProgram();
    for (int s = 2; s < 26; ++s)
        if (!p->Sections[s].Present)
            PutBlock(p->Sections[s], SectionBlock(s, Bytes(std::size_t(15 + 5 * s), 0x1E)));
    for (int k = 30; k < 34; ++k) {
        p->Header.TechKeys[k].Class = 3;
        p->Header.TechKeys[k].Index = std::uint8_t(k);
        p->Header.TechKeys[k].Name = QStringLiteral("КЛАПАН %1").arg(k - 30);
    }
    return p;
}

Bytes ImageOf(TZentorProgram &program)
{
    program.AssembleImage();
    return Bytes(program.Image, program.Image + program.ImageLength);
}

// A write with --verify: into programming mode, the write job, and the PRP read back equal
// to the program written. Every question of the job is answered Cancel: only what the
// transfer carries by itself counts.
bool WriteAndVerify(TSimulatedController &c)
{
    auto program = NoisyProgram();
    if (!EnterProgramming(c.Link))
        return false;
    TRecordingProgress progress;
    TPRPWriteThread job(c.Link, *program, progress, nullptr);
    job.SectionPauseMs = 0;
    return RunJob(job) == TTransferResult::Done && ReadsBack(c, ImageOf(*program));
}

void Noise(TSimulatedController &c, double percent, std::uint32_t seed)
{
    c.WithSim([&](TSarvetelSimulator &s) {
        s.Faults.SetNoise(percent, seed);
        return 0;
    });
}

// One write with --verify and one read, each on a line of its own with its own seed.
void NoisyRuns(std::uint32_t seed, std::atomic<int> &writes, std::atomic<int> &reads)
{
    TSimulatedController w;
    if (!w.Opened)
        return;
    UseShortTimeouts(w.Port);
    Noise(w, 5, seed);
    writes += WriteAndVerify(w);

    TSimulatedController r;
    if (!r.Opened)
        return;
    UseShortTimeouts(r.Port);
    auto program = NoisyProgram();
    if (!EnterProgramming(r.Link))
        return;
    TRecordingProgress progress;
    TPRPWriteThread job(r.Link, *program, progress, nullptr);
    job.SectionPauseMs = 0;
    if (RunJob(job) != TTransferResult::Done)
        return;
    Noise(r, 5, 1000 + seed);
    reads += ReadsBack(r, ImageOf(*program));
}

// A command that is harmless to repeat, the request (by its first item) that the line
// damages, and whether the command took.
struct TRepeatCase
{
    const char *Name;
    std::uint8_t Code;
    std::function<bool(TSarvetel &, TAttempts)> Took;
};

int CountOf(const std::vector<Bytes> &requests, std::uint8_t code)
{
    return int(std::count_if(requests.begin(), requests.end(),
                             [code](const Bytes &r) { return r.size() > 4 && r[4] == code; }));
}

} // namespace

TEST(NoisyLine, EachRequestIsSentAgainByItselfUntilItsAttemptsAreUsed)
{
    TSimulatedController c;
    ASSERT_TRUE(c.Opened);
    TSarvetel &link = c.Link;
    auto program = SampleProgram();
    ASSERT_TRUE(EnterProgramming(link));
    TRecordingProgress progress;
    TPRPWriteThread job(link, *program, progress, nullptr);
    job.SectionPauseMs = 0;
    ASSERT_EQ(RunJob(job), TTransferResult::Done);
    std::vector<std::uint8_t> image(TZentorProgram::ImageSize);
    TZentorSection section;
    PutBlock(section, SectionBlock(5, {0x1E}));

    const auto accepted = [&] { return link.LinkStatus == LinkAccepted; };
    const TRepeatCase cases[] = {
        {"status", CodeStatus,
         [&](TSarvetel &l, TAttempts a) {
             static_cast<void>(l.ReadStatus(a));
             return accepted();
         }},
        {"mode", CodeSetMode,
         [&](TSarvetel &l, TAttempts a) {
             static_cast<void>(l.SetMode(ModeProgram, a));
             return accepted() && l.Mode == ModeProgram;
         }},
        {"block count", CodeBlockCount,
         [](TSarvetel &l, TAttempts a) { return l.ReadPRPBlockCount(a).Value > 0; }},
        {"block", CodeBlock,
         [&](TSarvetel &l, TAttempts a) {
             static_cast<void>(l.ReadPRPBlock(image.data(), int(image.size()), 1, a));
             return accepted() && l.LastBlockNumber == 1;
         }},
        {"header part", CodeHeaderPart,
         [&](TSarvetel &l, TAttempts a) { return l.WriteHeader(program->Header, a).Ok; }},
        {"key", CodeWriteTechKey,
         [&](TSarvetel &l, TAttempts a) { return l.WriteHeader(program->Header, a).Ok; }},
        {"section", CodeWriteSection,
         [&](TSarvetel &l, TAttempts a) { return l.WriteSection(section, a).Ok; }},
    };
    const std::atomic<bool> stopped{true};
    for (const TRepeatCase &k : cases) {
        c.TakeRequests();
        ASSERT_TRUE(k.Took(link, RequestAttempts)) << k.Name;
        const int clean = CountOf(c.TakeRequests(), k.Code);
        // Three damaged: the fourth attempt takes.
        c.FailRequests(k.Code, 3);
        EXPECT_TRUE(k.Took(link, RequestAttempts)) << k.Name;
        EXPECT_EQ(CountOf(c.TakeRequests(), k.Code), clean + 3) << k.Name;
        // Four damaged: the command fails after its fourth attempt and sends nothing more.
        c.FailRequests(k.Code, 4);
        EXPECT_FALSE(k.Took(link, RequestAttempts)) << k.Name;
        std::vector<Bytes> sent = c.TakeRequests();
        EXPECT_EQ(CountOf(sent, k.Code), 4) << k.Name;
        EXPECT_EQ(sent.back()[4], k.Code) << k.Name;
        // One attempt, and a transfer that was asked to stop, send it once; a header is
        // stopped between any two of its frames, so one asked before its first sends none.
        for (const bool stop : {false, true}) {
            const TAttempts once = stop ? TAttempts(RequestAttempts, &stopped) : TAttempts();
            const bool header = k.Code == CodeHeaderPart || k.Code == CodeWriteTechKey;
            c.FailRequests(k.Code, 1);
            EXPECT_FALSE(k.Took(link, once)) << k.Name;
            EXPECT_EQ(CountOf(c.TakeRequests(), k.Code), stop && header ? 0 : 1) << k.Name;
            c.FailRequests(k.Code, 0);
        }
    }

    // "Недостаточно памяти" is the controller's answer: asking again cannot change it.
    c.WithSim([](TSarvetelSimulator &s) {
        for (int n = 0; s.Program.ImageLength + 256 <= TSarvetelSimulator::MemorySize; ++n) {
            PutBlock(s.Program.Sections[n], SectionBlock(n, Bytes(250, 0x1E)));
            s.Program.MarkPresent(n);
            s.Reassemble();
        }
        return 0;
    });
    PutBlock(section, SectionBlock(200, Bytes(250, 0x1E)));
    EXPECT_FALSE(link.WriteSection(section, RequestAttempts));
    EXPECT_EQ(link.ProtocolResult, ResultNoMemory);
    EXPECT_EQ(CountOf(c.TakeRequests(), CodeWriteSection), 1);
}

TEST(NoisyLine, NearlyEveryWriteAndReadSucceedsWithFivePercentOfRepliesLostOrDamaged)
{
    // The seeds run side by side: the time goes into waiting for lost replies.
    constexpr int Runs = 30, Lines = 6;
    std::atomic<int> writes{0}, reads{0};
    std::atomic<std::uint32_t> next{1};
    std::vector<std::thread> lines;
    for (int i = 0; i < Lines; ++i)
        lines.emplace_back([&] {
            for (std::uint32_t seed = next++; seed <= Runs; seed = next++)
                NoisyRuns(seed, writes, reads);
        });
    for (std::thread &t : lines)
        t.join();
    EXPECT_GE(writes, Runs - 1) << "writes with --verify that succeeded";
    EXPECT_GE(reads, Runs - 1) << "reads that succeeded";
}

TEST(NoisyLine, ACleanLineCarriesTheSameFramesInTheSameOrderAsEver)
{
    // The requests of a clean write (with its mode change) and read, as recorded before
    // any request was repeated.
    QFile f(QStringLiteral(ZENTOR_SOURCE_DIR "/tests/sim/data/clean-transfer-frames.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList expected = QString::fromLatin1(f.readAll()).split('\n', Qt::SkipEmptyParts);

    TSimulatedController c;
    ASSERT_TRUE(c.Opened);
    auto program = SampleProgram();
    ASSERT_TRUE(EnterProgramming(c.Link));
    TRecordingProgress progress;
    TPRPWriteThread job(c.Link, *program, progress, nullptr);
    job.SectionPauseMs = 0;
    ASSERT_EQ(RunJob(job), TTransferResult::Done);
    ASSERT_TRUE(ReadsBack(c, ImageOf(*program)));
    QStringList sent;
    for (const Bytes &r : c.TakeRequests())
        sent << HexDump(r.data(), int(r.size())).trimmed();
    EXPECT_EQ(sent, expected);
}
