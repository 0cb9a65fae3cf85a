// The algorithm base read from a controller: the simulator describes the catalogue of
// examples/BaseAlgs.alg over a real pseudo-terminal, and what comes back must be the
// catalogue, call lengths included, and compile every program to the same bytes.

#include "compiler/algbase.h"
#include "compiler/zentorcompiler.h"
#include "files/programfiles.h"
#include "link/algbaseread.h"
#include "simtesting.h"

#include <functional>

using namespace Sarvetel;

namespace {

const QString Catalogue = QStringLiteral(ZENTOR_SOURCE_DIR "/examples/BaseAlgs.alg");

class TActionWatch : public TProgress
{
public:
    void SetAction(const QString &a) override
    {
        if (OnAction)
            OnAction(a);
    }
    std::function<void(const QString &)> OnAction;
};

class AlgBaseRead : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(C.Opened);
        ASSERT_TRUE(File->LoadFromFile(Catalogue));
        ASSERT_GT(File->Count, 20);
        C.WithSim([this](TSarvetelSimulator &s) {
            EXPECT_EQ(s.LoadAlgorithms(*File), std::vector<int>{}) << "call lengths it cannot tell";
            return 0;
        });
        C.Port.Timeouts.ReadTotalTimeoutMultiplier = 2; // a lost reply costs little here
    }

    // The catalogue's image of demo.zen, compiled with the given base.
    std::vector<std::uint8_t> CompileDemo(const TAlgBase &base)
    {
        auto program = std::make_unique<TZentorProgram>();
        TFileContext files;
        EXPECT_EQ(
            LoadFromFile(*program, QStringLiteral(ZENTOR_SOURCE_DIR "/examples/demo.zen"), files),
            FileOk);
        TZentorCompiler compiler;
        compiler.AlgBase = &base;
        program->MarkAllForCompile();
        EXPECT_TRUE(compiler.CompileProgram(*program, NoProgress()))
            << compiler.Messages->join(u'\n').toStdString();
        return {program->Image, program->Image + program->ImageLength};
    }

    TSimulatedController C;
    std::unique_ptr<TAlgBase> File = std::make_unique<TAlgBase>();
};

} // namespace

TEST_F(AlgBaseRead, TheControllersDescriptionsMatchTheCatalogue)
{
    auto base = std::make_unique<TAlgBase>();
    base->Algs[0].Present = 1; // entry 0 is the base's own and stays
    base->Algs[0].Name = QStringLiteral("нулевой");
    base->Algs[5].Present = 1; // stale entries 1..127 go
    base->Algs[0177].Present = 1;
    base->Algs[0177].Params[3].Comment = QStringLiteral("старое");
    const TAlgBaseReadResult r = ReadFromController(*base, C.Link);
    ASSERT_TRUE(r.Ok);
    EXPECT_EQ(r.NoAnswer, -1);
    EXPECT_TRUE(r.Unusable.isEmpty());

    int described = 0;
    for (int n = 1; n < TAlgBase::AlgCount; ++n) {
        const TAlgInfo &f = File->Algs[n];
        const TAlgInfo &b = base->Algs[n];
        SCOPED_TRACE(n);
        ASSERT_EQ(b.Present, f.Present);
        if (!f.Present) {
            EXPECT_EQ(b.ParamCount, 0);
            EXPECT_TRUE(b.Params[3].Comment.isEmpty());
            continue;
        }
        ++described;
        EXPECT_EQ(b.Name, QStringLiteral("Алг") + OctalText(n, 3));
        EXPECT_EQ(b.PrpMemory, f.PrpMemory);
        EXPECT_EQ(b.OwnMemory, f.OwnMemory);
        ASSERT_EQ(b.ParamCount, f.ParamCount);
        for (int i = 1; i <= f.ParamCount; ++i) {
            EXPECT_EQ(b.Params[i].Kind, f.Params[i].Kind) << i;
            EXPECT_EQ(b.Params[i].Name, f.Params[i].Name.left(5)) << i;
            EXPECT_TRUE(b.Params[i].Comment.isEmpty());
        }
    }
    EXPECT_EQ(r.Described, described);
    EXPECT_EQ(base->Count, described + 1);
    EXPECT_EQ(base->Algs[0].Name, QStringLiteral("нулевой"));

    // What matters to the compiler: a program compiles byte for byte as with the catalogue.
    EXPECT_EQ(CompileDemo(*base), CompileDemo(*File));
}

TEST_F(AlgBaseRead, LostRepliesAreAskedAgain)
{
    C.WithSim([](TSarvetelSimulator &s) {
        s.Faults.DropEvery = 40;
        s.RequestCount = 0;
        return 0;
    });
    auto base = std::make_unique<TAlgBase>();
    C.TakeRequests();
    const TAlgBaseReadResult r = ReadFromController(*base, C.Link);
    ASSERT_TRUE(r.Ok);
    EXPECT_EQ(C.TakeRequests().size(), std::size_t(127 + 3));
    for (int n = 1; n < TAlgBase::AlgCount; ++n) {
        EXPECT_EQ(base->Algs[n].Present, File->Algs[n].Present) << n;
        EXPECT_EQ(base->Algs[n].ParamCount, File->Algs[n].ParamCount) << n;
    }
}

TEST_F(AlgBaseRead, AControllerThatFallsSilentLeavesTheBaseAsItWas)
{
    TActionWatch progress;
    progress.OnAction = [this](const QString &a) {
        if (a.endsWith(QStringLiteral("012")))
            C.WithSim([](TSarvetelSimulator &s) {
                s.Faults.DropEvery = 1;
                return 0;
            });
    };
    auto base = std::make_unique<TAlgBase>();
    base->Algs[1].Present = 1;
    base->Algs[1].Name = QStringLiteral("свой");
    base->Algs[1].PrpMemory = 7;
    base->Count = 1;
    C.TakeRequests();
    const TAlgBaseReadResult r = ReadFromController(*base, C.Link, progress);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.NoAnswer, 012);
    // Algorithm 012 was asked four times, and nothing after it.
    const auto requests = C.TakeRequests();
    ASSERT_EQ(requests.size(), std::size_t(9 + AlgDescriptionAttempts));
    EXPECT_EQ(requests.back()[5], 012);
    EXPECT_EQ(base->Algs[1].Name, QStringLiteral("свой"));
    EXPECT_EQ(base->Algs[1].PrpMemory, 7);
    EXPECT_EQ(base->Algs[2].Present, 0);
    EXPECT_EQ(base->Count, 1);
}

TEST(AlgBaseFromDescription, SizesNamesAndWhatDoesNotFit)
{
    TAlgDescription d;
    d.Present = 1;
    d.Modifier = 4;
    d.ParamCount = 2;
    d.ParamTypes[0] = 4;
    d.ParamTypes[1] = 8;
    d.ParamNames[0] = QStringLiteral("ВЫХ  ");
    d.ParamNames[1] = QStringLiteral("ДЕЛ А");
    d.RecordSize = 3 + 2 + 6 + 1;
    TAlgInfo info;
    info.Params[5].Comment = QStringLiteral("старое");
    ASSERT_TRUE(AlgInfoFromDescription(d, 0123, info));
    EXPECT_EQ(info.Present, 1);
    EXPECT_EQ(info.Name, QStringLiteral("Алг123"));
    EXPECT_EQ(info.OwnMemory, 4);
    EXPECT_EQ(info.PrpMemory, 3 + 2 + 6 + 1 - 3);
    EXPECT_EQ(info.ParamCount, 2);
    EXPECT_EQ(info.Params[1].Kind, 4);
    EXPECT_EQ(info.Params[1].Name, QStringLiteral("ВЫХ"));
    EXPECT_EQ(info.Params[2].Name, QStringLiteral("ДЕЛ А"));
    EXPECT_TRUE(info.Params[5].Comment.isEmpty());

    // The longest call an entry can describe is 258 bytes.
    d.RecordSize = 258;
    EXPECT_TRUE(AlgInfoFromDescription(d, 1, info));
    EXPECT_EQ(info.PrpMemory, 255);
    d.RecordSize = 259;
    EXPECT_FALSE(AlgInfoFromDescription(d, 1, info));
    EXPECT_EQ(info.Present, 0);
    d.RecordSize = 10;
    d.ParamCount = 20;
    EXPECT_FALSE(AlgInfoFromDescription(d, 1, info));
    EXPECT_EQ(info.Present, 0);

    d = TAlgDescription();
    EXPECT_TRUE(AlgInfoFromDescription(d, 1, info));
    EXPECT_EQ(info.Present, 0);
}
