// The PRP write and read jobs against the simulator: a write read back gives the same
// sections and header; progress, cancellation, questions and every failure path.

#include "link/prptransfer.h"
#include "simtesting.h"

using namespace Sarvetel;

namespace {

class Transfer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(C.Opened);
        C.Port.Timeouts.ReadTotalTimeoutMultiplier = 10;
        static_cast<void>(C.Link.SetMode(ModeStop));
        static_cast<void>(C.Link.SetMode(ModeProgram));
        ASSERT_EQ(C.Link.Mode, std::uint32_t(ModeProgram));
    }

    TTransferResult Write(TZentorProgram &p, TRecordingProgress &progress,
                          TTransferQuestions *questions = nullptr, int pauseMs = 0)
    {
        TPRPWriteThread job(C.Link, p, progress, questions);
        job.SectionPauseMs = pauseMs;
        job.Execute();
        return job.Result;
    }

    TTransferResult Read(TZentorProgram &p, TRecordingProgress &progress)
    {
        p.Clear();
        TPRPReadThread job(C.Link, p, progress, nullptr);
        job.Execute();
        return job.Result;
    }

    template <typename F> void Sim(F f)
    {
        C.WithSim([&](TSarvetelSimulator &s) {
            f(s);
            return 0;
        });
    }

    TSimulatedController C;
};

void ExpectSameProgram(const TZentorProgram &a, const TZentorProgram &b)
{
    for (int s = 0; s < 256; ++s) {
        const bool written = a.Sections[s].Present && a.Sections[s].CodeLength > 0;
        ASSERT_EQ(bool(b.Sections[s].Present), written) << s;
        if (!written)
            continue;
        EXPECT_EQ(Bytes(b.Sections[s].Code, b.Sections[s].Code + b.Sections[s].CodeLength),
                  Bytes(a.Sections[s].Code, a.Sections[s].Code + a.Sections[s].CodeLength))
            << s;
    }
    const TPRPHeader &x = a.Header, &y = b.Header;
    EXPECT_EQ(y.OrderDV, x.OrderDV);
    EXPECT_EQ(y.OrderTM, x.OrderTM);
    EXPECT_EQ(std::memcmp(y.ImpSource, x.ImpSource, sizeof x.ImpSource), 0);
    EXPECT_EQ(std::memcmp(y.ImpTicks, x.ImpTicks, sizeof x.ImpTicks), 0);
    EXPECT_EQ(std::memcmp(y.AdcOrder, x.AdcOrder, sizeof x.AdcOrder), 0);
    EXPECT_EQ(std::memcmp(y.TimeGen, x.TimeGen, sizeof x.TimeGen), 0);
    for (int k = 0; k < 64; ++k) {
        EXPECT_EQ(y.TechKeys[k].Class, x.TechKeys[k].Class) << k;
        if (x.TechKeys[k].Class) {
            EXPECT_EQ(y.TechKeys[k].Index, x.TechKeys[k].Index) << k;
            EXPECT_EQ(y.TechKeys[k].Name, x.TechKeys[k].Name) << k;
        }
    }
}

} // namespace

TEST_F(Transfer, WriteThenReadGivesBackTheProgram)
{
    auto program = SampleProgram();
    TRecordingProgress wp;
    // The bar counts the bytes its line beside the action names, at every step.
    int total = program->Header.BytesLength;
    for (const TZentorSection &s : program->Sections)
        total += s.Present ? s.CodeLength : 0;
    wp.OnAction = [&](const QString &a) {
        if (a.startsWith(QStringLiteral("Запись секции"))) {
            EXPECT_EQ(wp.Detail,
                      QStringLiteral("Передано %1 из %2 байт").arg(wp.Position).arg(total))
                << a.toStdString();
        }
    };
    EXPECT_EQ(Write(*program, wp, nullptr, 100), TTransferResult::Done);
    EXPECT_EQ(wp.Caption, QStringLiteral("Запись ПрП"));
    EXPECT_EQ(wp.Maximum, total);
    EXPECT_EQ(wp.Actions.first(), QStringLiteral("Запрос длины ПрП"));
    EXPECT_EQ(wp.Actions[1], QStringLiteral("Запись заголовка ПрП"));
    EXPECT_EQ(wp.Actions.mid(2),
              (QStringList{"Запись секции 000", "Запись секции 001", "Запись секции 037",
                           "Запись секции 300", "Запись секции 337"}));
    EXPECT_EQ(wp.Position, total);
    EXPECT_EQ(wp.Detail, QStringLiteral("Передано %1 из %1 байт").arg(total));
    EXPECT_TRUE(wp.Shown);
    EXPECT_EQ(wp.Hidden, 1);

    auto back = std::make_unique<TZentorProgram>();
    TRecordingProgress rp;
    EXPECT_EQ(Read(*back, rp), TTransferResult::Done);
    EXPECT_EQ(rp.Caption, QStringLiteral("Чтение ПрП"));
    const int length = C.WithSim([](TSarvetelSimulator &s) { return s.Program.ImageLength; });
    const int blocks = (length + 63) / 64;
    EXPECT_EQ(rp.Maximum, blocks + 1);
    EXPECT_EQ(rp.Actions.last(),
              QStringLiteral("Считывание %1-го блока из %2").arg(blocks).arg(blocks));
    EXPECT_EQ(rp.Hidden, 1);
    // Exactly the controller's PRP: header length plus the group words.
    EXPECT_EQ(back->ImageLength, length);
    EXPECT_TRUE(back->Messages->isEmpty()) << back->Messages->join('\n').toStdString();
    ASSERT_TRUE(back->SplitImage()) << back->Messages->join('\n').toStdString();
    ExpectSameProgram(*program, *back);
    EXPECT_EQ(back->HighestGroup, 3);
}

TEST_F(Transfer, GroupZeroOnlyAndRepeatedWrite)
{
    auto program = std::make_unique<TZentorProgram>();
    program->Clear();
    PutBlock(program->Sections[0], SectionBlock(0, {0x1E}));
    PutBlock(program->Sections[5], SectionBlock(5, {0x1E, 0x1E}));
    TRecordingProgress wp;
    EXPECT_EQ(Write(*program, wp), TTransferResult::Done);
    EXPECT_EQ(wp.Maximum, program->Header.BytesLength + 7 + 8);
    // Writing again replaces, it does not add.
    PutBlock(program->Sections[5], SectionBlock(5, {0x0A, 0x01}));
    EXPECT_EQ(Write(*program, wp), TTransferResult::Done);
    auto back = std::make_unique<TZentorProgram>();
    TRecordingProgress rp;
    EXPECT_EQ(Read(*back, rp), TTransferResult::Done);
    ASSERT_TRUE(back->SplitImage());
    ExpectSameProgram(*program, *back);
}

TEST_F(Transfer, CancelBetweenSectionsEndsAfterTheCurrentOne)
{
    auto program = SampleProgram();
    TRecordingProgress wp;
    TPRPWriteThread job(C.Link, *program, wp, nullptr);
    job.SectionPauseMs = 0;
    wp.OnAction = [&](const QString &a) {
        if (a == QStringLiteral("Запись секции 001"))
            job.Terminate();
    };
    program->Messages->clear();
    job.Execute();
    EXPECT_EQ(job.Result, TTransferResult::Cancelled);
    EXPECT_EQ(wp.Hidden, 1);
    EXPECT_EQ(*program->Messages, QStringList{"Запись ПрП прервана по запросу."});
    Sim([](TSarvetelSimulator &s) {
        EXPECT_TRUE(s.Program.Sections[0].Present);
        EXPECT_TRUE(s.Program.Sections[1].Present);
        EXPECT_FALSE(s.Program.Sections[31].Present);
        EXPECT_FALSE(s.Program.Sections[96].Present);
    });

    // "Отмена" while a section is being asked again ends the write at once: no question
    // (which would be answered Cancel and fail the write), no further attempt.
    C.FailRequests(CodeWriteSection, 1000);
    wp.OnAction = [&](const QString &a) {
        if (a == QStringLiteral("Запись секции 000"))
            job.Terminate();
    };
    job.Terminated = false;
    program->Messages->clear();
    C.TakeRequests();
    job.Execute();
    C.FailRequests(CodeWriteSection, 0);
    EXPECT_EQ(job.Result, TTransferResult::Cancelled);
    EXPECT_EQ(*program->Messages, QStringList{"Запись ПрП прервана по запросу."});
    int sectionFrames = 0;
    for (const Bytes &r : C.TakeRequests())
        sectionFrames += r[4] == CodeWriteSection;
    EXPECT_EQ(sectionFrames, 1);

    // Cancelled from another thread while the job runs in its own.
    TRecordingProgress second;
    TPRPWriteThread running(C.Link, *program, second, nullptr);
    running.Start();
    running.Terminate();
    ASSERT_TRUE(running.WaitFor(20000));
    EXPECT_NE(running.Result, TTransferResult::Failed);
    EXPECT_EQ(second.Hidden, 1);

    // A cancelled read stops and still closes its window.
    auto back = std::make_unique<TZentorProgram>();
    TRecordingProgress rp;
    TPRPReadThread reader(C.Link, *back, rp, nullptr);
    rp.OnAction = [&](const QString &a) {
        if (a.startsWith(QStringLiteral("Считывание 1-го")))
            reader.Terminate();
    };
    reader.Execute();
    EXPECT_EQ(reader.Result, TTransferResult::Cancelled);
    EXPECT_EQ(*back->Messages, QStringList{"Чтение ПрП прервано по запросу."});
    EXPECT_EQ(rp.Hidden, 1);
    EXPECT_LE(back->ImageLength, 128);
}

TEST_F(Transfer, RefusedSectionIsAskedAgainThenStops)
{
    auto program = SampleProgram();
    Sim([](TSarvetelSimulator &s) {
        s.Faults.RejectSections = true;
        s.Faults.RejectSection = 1;
    });
    TScriptedQuestions q;
    q.Answer = [](int n) { return n < 2; }; // OK once, then Cancel
    TRecordingProgress wp;
    program->Messages->clear();
    EXPECT_EQ(Write(*program, wp, &q), TTransferResult::Failed);
    EXPECT_EQ(q.Asked, (QStringList{"Ошибка при записи секции. Повторить? / Внимание!",
                                    "Ошибка при записи секции. Повторить? / Внимание!"}));
    EXPECT_EQ(*program->Messages,
              QStringList{"Секция 001 не принята контроллером. Запись прервана."});
    EXPECT_EQ(wp.Hidden, 1);
    Sim([](TSarvetelSimulator &s) {
        EXPECT_TRUE(s.Program.Sections[0].Present);
        EXPECT_FALSE(s.Program.Sections[31].Present);
    });
    // Once the controller takes it, OK carries on with the rest.
    q.Asked.clear();
    q.Answer = [this](int) {
        Sim([](TSarvetelSimulator &s) { s.Faults = TSimFaults(); });
        return true;
    };
    Sim([](TSarvetelSimulator &s) {
        s.Faults.RejectSections = true;
        s.Faults.RejectSection = 1;
    });
    EXPECT_EQ(Write(*program, wp, &q), TTransferResult::Done);
    EXPECT_EQ(q.Asked.size(), 1);
    Sim([](TSarvetelSimulator &s) { EXPECT_TRUE(s.Program.Sections[127].Present); });
}

TEST_F(Transfer, HeaderNotAcceptedIsAskedAndRewrittenWhole)
{
    // Part 0 fails every attempt: the user is asked, and OK writes the whole header again.
    auto program = SampleProgram();
    C.FailRequests(CodeHeaderPart, RequestAttempts);
    TScriptedQuestions q;
    int framesBefore = 0;
    q.Answer = [&](int) {
        for (const Bytes &r : C.TakeRequests())
            framesBefore += r[4] == CodeHeaderPart;
        return true;
    };
    TRecordingProgress wp;
    EXPECT_EQ(Write(*program, wp, &q), TTransferResult::Done);
    EXPECT_EQ(q.Asked, (QStringList{"Ошибка при записи заголовка. Повторить? / Внимание!"}));
    EXPECT_EQ(framesBefore, RequestAttempts);
    int headerFrames = 0;
    for (const Bytes &r : C.TakeRequests())
        headerFrames += r[4] == CodeHeaderPart;
    EXPECT_EQ(headerFrames, 4); // the whole header again, all four parts

    // Cancel stops the transfer before any section.
    Sim([](TSarvetelSimulator &s) {
        s.Program.Clear();
        s.Program.Sections[0].Present = 0;
        s.Reassemble();
    });
    C.FailRequests(CodeHeaderPart, RequestAttempts);
    TScriptedQuestions no;
    program->Messages->clear();
    EXPECT_EQ(Write(*program, wp, &no), TTransferResult::Failed);
    EXPECT_EQ(no.Asked.size(), 1);
    EXPECT_EQ(*program->Messages,
              QStringList{"Заголовок ПрП не принят контроллером. Запись прервана."});
    Sim([](TSarvetelSimulator &s) {
        for (int n = 0; n < 256; ++n)
            EXPECT_FALSE(s.Program.Sections[n].Present) << n;
    });
}

// A write that got no answer at all says so; "не принят" is for a controller that refused.
TEST_F(Transfer, SilenceIsNotARefusal)
{
    const struct
    {
        const char *SilentFrom; // the action from which the controller no longer answers
        const char *Message;
    } cases[] = {
        {"Запись заголовка ПрП",
         "Заголовок ПрП: не получен ответ от контроллера. Запись прервана."},
        {"Запись секции 001", "Секция 001: не получен ответ от контроллера. Запись прервана."},
    };
    for (const auto &c : cases) {
        auto program = SampleProgram();
        TRecordingProgress wp;
        wp.OnAction = [&](const QString &a) {
            if (a == QString::fromUtf8(c.SilentFrom))
                Sim([](TSarvetelSimulator &s) { s.Faults.DropEvery = 1; });
        };
        TScriptedQuestions no;
        TPRPWriteThread job(C.Link, *program, wp, &no);
        job.SectionPauseMs = 0;
        job.Execute();
        Sim([](TSarvetelSimulator &s) { s.Faults = TSimFaults(); });
        EXPECT_EQ(job.Result, TTransferResult::Failed);
        EXPECT_EQ(no.Asked.size(), 1);
        EXPECT_EQ(*program->Messages, QStringList{QString::fromUtf8(c.Message)});
        // What the job learned goes with it: the controller fell silent.
        EXPECT_NE(job.Seen.Exchange, 0u);
        EXPECT_FALSE(job.Seen.Answered);
    }
}

// "Отмена" in the header's phase ends the write after the frame in flight, not after the
// four parts and the keys.
TEST_F(Transfer, CancelDuringTheHeaderStopsAfterTheFrameInFlight)
{
    auto program = SampleProgram();
    TRecordingProgress wp;
    TPRPWriteThread job(C.Link, *program, wp, nullptr);
    C.WatchRequests([&job](const Bytes &r) {
        if (r.size() > 4 && r[4] == CodeHeaderPart)
            job.Terminate();
    });
    C.TakeRequests();
    job.Execute();
    C.WatchRequests(nullptr);
    EXPECT_EQ(job.Result, TTransferResult::Cancelled);
    EXPECT_EQ(*program->Messages, QStringList{"Запись ПрП прервана по запросу."});
    const std::vector<Bytes> sent = C.TakeRequests();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back()[4], CodeHeaderPart);
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                            [](const Bytes &r) { return r[4] == CodeHeaderPart; }),
              1);
}

TEST_F(Transfer, ReadAsksAgainForLostBlocksAndStopsOnOneThatNeverComes)
{
    auto program = SampleProgram();
    TRecordingProgress wp;
    ASSERT_EQ(Write(*program, wp), TTransferResult::Done);

    // Every third reply lost: each block is asked again and the read is whole.
    Sim([](TSarvetelSimulator &s) { s.Faults.DropEvery = 3; });
    auto back = std::make_unique<TZentorProgram>();
    TRecordingProgress rp;
    EXPECT_EQ(Read(*back, rp), TTransferResult::Done);
    ASSERT_TRUE(back->SplitImage());
    ExpectSameProgram(*program, *back);

    // Block 2 never arrives: the read stops with the message, and keeps no stale bytes.
    Sim([](TSarvetelSimulator &s) { s.Faults = TSimFaults(); });
    back = std::make_unique<TZentorProgram>();
    TPRPReadThread job(C.Link, *back, rp, nullptr);
    rp.OnAction = [&](const QString &a) {
        if (a.startsWith(QStringLiteral("Считывание 1-го")))
            Sim([](TSarvetelSimulator &s) { s.Faults.CorruptEvery = 1; });
    };
    job.Execute();
    EXPECT_EQ(job.Result, TTransferResult::Failed);
    EXPECT_EQ(*back->Messages,
              (QStringList{"Блок 2 ПрП не получен от контроллера. Чтение прервано."}));
    EXPECT_LE(back->ImageLength, 128);

    // No block count at all.
    back = std::make_unique<TZentorProgram>();
    Sim([](TSarvetelSimulator &s) {
        s.Faults.CorruptEvery = 0;
        s.Faults.DropEvery = 1;
    });
    rp.OnAction = nullptr;
    EXPECT_EQ(Read(*back, rp), TTransferResult::Failed);
    EXPECT_EQ(back->Messages->size(), 1);
    EXPECT_EQ(back->ImageLength, 0);
    Sim([](TSarvetelSimulator &s) { s.Faults = TSimFaults(); });
}

// What is read is taken only as the image check allows. A byte turned from 0x00 into 0xFF on
// the line passes every sum of the frame and the image: the layout's checks find it where
// they can (a block's terminator), a second read finds it anywhere.
TEST_F(Transfer, ReadTakesOnlyAWholeImage)
{
    // One block whose instruction at image offset 200, in PRP block 3, is 0x00.
    auto program = std::make_unique<TZentorProgram>();
    program->Clear();
    program->Sections[0].Present = 0;
    Bytes code(40, 0x1E);
    code[33] = 0x00;
    PutBlock(program->Sections[0], SectionBlock(0, code));
    TRecordingProgress wp;
    ASSERT_EQ(Write(*program, wp), TTransferResult::Done);
    const auto stored = C.WithSim([](TSarvetelSimulator &s) {
        return Bytes(s.Program.Image, s.Program.Image + s.Program.ImageLength);
    });
    ASSERT_EQ(stored.size(), 208u);
    ASSERT_EQ(stored[200], 0x00);
    const auto readOnce = [&](int flipBlock) {
        Sim([flipBlock](TSarvetelSimulator &s) {
            s.Faults.FlipBlock = flipBlock;
            s.Faults.Flipped = false;
        });
        auto back = std::make_unique<TZentorProgram>();
        TRecordingProgress rp;
        EXPECT_EQ(Read(*back, rp), TTransferResult::Done);
        return back;
    };

    // Once, the 0x00 of block 0 (header byte 0) turned 0xFF: the check names it.
    auto back = readOnce(0);
    EXPECT_FALSE(back->SplitImage());
    EXPECT_TRUE(back->Messages->contains(
        QStringLiteral("Ошибка в заголовке ПрП: байт 0 равен 0xFF, а должен быть 0x00")));
    // Once, the instruction's 0x00 turned 0xFF: nothing can see it.
    back = readOnce(3);
    EXPECT_TRUE(back->SplitImage()) << back->Messages->join('\n').toStdString();
    EXPECT_EQ(back->Image[200], 0xFF);

    // Twice: the reads differ, and nothing is taken.
    Sim([](TSarvetelSimulator &s) { s.Faults.Flipped = false; });
    back = std::make_unique<TZentorProgram>();
    TRecordingProgress rp;
    TPRPReadThread twice(C.Link, *back, rp, nullptr);
    twice.ReadTwice = true;
    twice.Execute();
    EXPECT_EQ(twice.Result, TTransferResult::Failed);
    EXPECT_EQ(twice.StopMessage,
              QStringLiteral("ПрП считан дважды, и считанное различается начиная с байта 200: "
                             "ПрП не принят"));
    EXPECT_EQ(rp.Maximum, 2 * (4 + 1));
    EXPECT_EQ(rp.Actions.last(), QStringLiteral("Повторное считывание 4-го блока из 4"));
    // Twice over a line that gives the same bytes both times: taken.
    back = std::make_unique<TZentorProgram>();
    TPRPReadThread again(C.Link, *back, rp, nullptr);
    again.ReadTwice = true;
    again.Execute();
    EXPECT_EQ(again.Result, TTransferResult::Done);
    EXPECT_TRUE(std::equal(stored.begin(), stored.end(), back->Image));
    EXPECT_EQ(back->ImageLength, 208);

    // The controller's own image damaged: the split names it.
    Sim([](TSarvetelSimulator &s) { s.Program.Image[s.Program.ImageLength - 3] ^= 0x01; });
    back = readOnce(-1);
    EXPECT_FALSE(back->SplitImage());
    EXPECT_TRUE(back->Messages->contains(
        QStringLiteral("Ошибка в образе ПрП: контрольная сумма образа неверна")));
}

TEST_F(Transfer, TheLargestPrpReads257Blocks)
{
    // 64 keys and 61 sections make a PRP of more than 255 blocks: the count is sent as 0.
    auto program = std::make_unique<TZentorProgram>();
    program->Clear();
    program->Sections[0].Present = 0;
    for (int k = 0; k < 64; ++k) {
        program->Header.TechKeys[k].Class = 3;
        program->Header.TechKeys[k].Index = std::uint8_t(k % 8);
    }
    for (int s = 0; s < 60; ++s)
        PutBlock(program->Sections[s * 4], SectionBlock(s * 4, Bytes(250, 0x1E)));
    PutBlock(program->Sections[250], SectionBlock(250, Bytes(144, 0x1E)));
    program->AddGroup(7);
    TRecordingProgress wp;
    ASSERT_EQ(Write(*program, wp), TTransferResult::Done);
    const int length = C.WithSim([](TSarvetelSimulator &s) { return s.Program.ImageLength; });
    ASSERT_GT(length, 255 * 64);
    ASSERT_LE(length, 256 * 64);

    C.TakeRequests();
    auto back = std::make_unique<TZentorProgram>();
    TRecordingProgress rp;
    EXPECT_EQ(Read(*back, rp), TTransferResult::Done);
    EXPECT_EQ(rp.Maximum, 257);
    EXPECT_TRUE(back->Messages->isEmpty());
    EXPECT_EQ(back->ImageLength, length);
    int blockRequests = 0;
    for (const Bytes &r : C.TakeRequests())
        blockRequests += r[4] == 0x04;
    EXPECT_GE(blockRequests, 257);
    ASSERT_TRUE(back->SplitImage());
    ExpectSameProgram(*program, *back);
}
