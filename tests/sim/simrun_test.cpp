// The simulator runs its stored program: written through the link over a real
// pseudo-terminal, scanned by its clock in "Пуск" only, cleared by the controller's reset
// commands, started afresh by a write, and watched and set through the windows' access
// while the line is busy.

#include "../utf8text.h"
#include "sim/simclock.h"
#include "sim/simwatch.h"
#include "simtesting.h"

#include <atomic>
#include <chrono>
#include <thread>

using namespace Sarvetel;

namespace {

// ЕСЛИ ВКЛ ВД001 ТОГДА ВКЛ ДВ002 ИНАЧЕ ОТКЛ ДВ002
const Bytes kFollow = {0x7A, 0x01, 0x2C, 0x02, 0x42, 0x02};
// ВКЛ ДВ003, then a byte that begins no instruction
const Bytes kDamaged = {0x0C, 0x03, 0xFF};

const TVarRef VD001{TVarClass::VD, 1};
const TVarRef DV002{TVarClass::DV, 2};
const TVarRef DV003{TVarClass::DV, 3};

class SimulatorRun : public ::testing::Test
{
protected:
    static constexpr int kCycleMs = 5;

    void SetUp() override
    {
        ASSERT_TRUE(C.Opened);
        Clock.Start();
    }

    // Writes blocks (section, code) in programming mode and leaves it for "Останов".
    void Write(const std::vector<std::pair<int, Bytes>> &blocks)
    {
        static_cast<void>(L.SetMode(ModeStop));
        static_cast<void>(L.SetMode(ModeProgram));
        ASSERT_EQ(L.Mode, std::uint32_t(ModeProgram));
        for (const auto &[n, code] : blocks) {
            TZentorSection s;
            PutBlock(s, SectionBlock(n, code));
            static_cast<void>(L.WriteSection(s));
            ASSERT_EQ(L.LinkStatus, LinkAccepted) << n;
        }
        static_cast<void>(L.SetMode(ModeStop));
    }

    // The first snapshot that holds within 5 s.
    template <typename F> TSimSnapshot Until(F holds)
    {
        for (int i = 0; i < 1000; ++i) {
            TSimSnapshot s = W.Snapshot();
            if (holds(s))
                return s;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ADD_FAILURE() << "the simulator never got there";
        return W.Snapshot();
    }
    // Scans that run from now on (in "Пуск").
    TSimSnapshot AfterScans(int n)
    {
        const long long from = W.Snapshot().Scans;
        return Until([&](const TSimSnapshot &s) { return s.Scans >= from + n; });
    }
    // What no scan changes over ten cycles.
    TSimSnapshot TenCyclesLater()
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10 * kCycleMs));
        return W.Snapshot();
    }
    bool Set(const TVarRef &v, int value)
    {
        QString error;
        const bool ok = W.Set(v, value, error);
        EXPECT_TRUE(ok) << error.toStdString();
        return ok;
    }

    TSimulatedController C;
    TSarvetel &L = C.Link;
    TSimClock Clock{*C.Sim, kCycleMs};
    TSimWatch W{*C.Sim};
};

TEST_F(SimulatorRun, TheProgramRunsInPuskOnlyAndTheResetCommandsClearValuesAndLocks)
{
    Write({{0, kFollow}});
    TSimSnapshot s = Until([](const TSimSnapshot &x) { return x.Status == TSimRunStatus::Ready; });
    EXPECT_EQ(W.Program().Program->Places().size(), 3u);

    // In "Останов" an input set stays unanswered: no scans.
    Set(VD001, 1);
    s = TenCyclesLater();
    EXPECT_FALSE(s.Scanning);
    EXPECT_EQ(s.Scans, 0);
    EXPECT_EQ(s.State.Get(DV002), 0);

    static_cast<void>(L.SetMode(ModeRun));
    s = AfterScans(2);
    EXPECT_TRUE(s.Scanning);
    EXPECT_EQ(s.State.Get(DV002), 1);
    Set(VD001, 0);
    s = Until([](const TSimSnapshot &x) { return x.State.Get(DV002) == 0; });

    // A lock holds against the program until "Сброс блокировок".
    QString error;
    ASSERT_TRUE(W.Lock(DV002, 1, error)) << error.toStdString();
    s = AfterScans(3);
    EXPECT_EQ(s.State.Get(DV002), 1);
    EXPECT_TRUE(s.State.IsLocked(DV002));
    static_cast<void>(L.ResetVariableLocks());
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    s = Until([](const TSimSnapshot &x) { return x.State.Get(DV002) == 0; });
    EXPECT_TRUE(s.State.Locks().empty());

    // "Сброс переменных": the input goes back to 0, and the program follows it.
    Set(VD001, 1);
    Until([](const TSimSnapshot &x) { return x.State.Get(DV002) == 1; });
    static_cast<void>(L.ResetVariables());
    EXPECT_EQ(L.LinkStatus, LinkAccepted);
    s = W.Snapshot();
    EXPECT_EQ(s.State.Get(VD001), 0);
    EXPECT_EQ(AfterScans(1).State.Get(DV002), 0);

    // "Останов" stops the scans; their count stays.
    static_cast<void>(L.SetMode(ModeStop));
    const long long scans = W.Snapshot().Scans;
    s = TenCyclesLater();
    EXPECT_FALSE(s.Scanning);
    EXPECT_EQ(s.Scans, scans);
    EXPECT_GT(scans, 0);

    // Variables the controller does not have are refused, and nothing changes.
    for (const TVarRef &v : {TVarRef{TVarClass::VD, 512}, TVarRef{TVarClass::AV, -1},
                             TVarRef{TVarClass::DV, 2, TVarPart::Time}}) {
        error.clear();
        EXPECT_FALSE(W.Set(v, 1, error));
        EXPECT_FALSE(W.Lock(v, 1, error));
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST_F(SimulatorRun, AWriteStartsAfreshAndADamagedBlockIsNotRun)
{
    Write({{0, kFollow}});
    static_cast<void>(L.SetMode(ModeRun));
    Until([](const TSimSnapshot &x) { return x.Scans > 0; });
    Set(VD001, 1);
    QString error;
    ASSERT_TRUE(W.Lock(DV003, 1, error));
    const std::uint64_t generation = AfterScans(2).Generation;

    // Writing in programming mode: nothing runs until the controller leaves it.
    static_cast<void>(L.SetMode(ModeStop));
    static_cast<void>(L.SetMode(ModeProgram));
    TZentorSection section;
    PutBlock(section, SectionBlock(1, {0x0C, 0x03}));
    static_cast<void>(L.WriteSection(section));
    TSimSnapshot s = TenCyclesLater();
    EXPECT_EQ(s.Status, TSimRunStatus::Pending);
    EXPECT_FALSE(W.Set(VD001, 1, error));
    EXPECT_EQ(error, S("Программа контроллера сейчас не выполняется: она записывается или "
                       "повреждена"));
    static_cast<void>(L.SetMode(ModeStop));
    s = Until([](const TSimSnapshot &x) { return x.Status == TSimRunStatus::Ready; });
    EXPECT_GT(s.Generation, generation);
    EXPECT_EQ(s.Scans, 0);
    EXPECT_EQ(s.State.Get(VD001), 0);
    EXPECT_TRUE(s.State.Locks().empty());
    EXPECT_EQ(W.Program().Program->Places().size(), 4u);

    // A block that holds no code the controller knows: the program is not run at all.
    Write({{2, kDamaged}});
    s = Until([](const TSimSnapshot &x) { return x.Status != TSimRunStatus::Pending; });
    EXPECT_EQ(s.Status, TSimRunStatus::Damaged);
    EXPECT_EQ(W.Program().Problems,
              QStringList{S("Секция 002 повреждена: неизвестный код FF на смещении 7")});
    static_cast<void>(L.SetMode(ModeRun));
    s = TenCyclesLater();
    EXPECT_FALSE(s.Scanning);
    EXPECT_EQ(s.Scans, 0);
    EXPECT_EQ(s.State.Get(DV003), 0);
}

// The clock, the line and a window at once, for ThreadSanitizer: every scan reaches the
// trend with the values it left, however busy the line is.
TEST_F(SimulatorRun, ScansRequestsAndAWindowTogether)
{
    Write({{0, kFollow}});
    QString error;
    ASSERT_TRUE(W.Follow({VD001, DV002}, error));
    static_cast<void>(L.SetMode(ModeRun));
    std::atomic<bool> done{false};
    std::vector<TSimTrendPoint> points;
    long long dropped = 0;
    std::thread window([&] {
        QString e;
        for (int i = 0; !done; ++i) {
            // Refused until the run is prepared: this wants the traffic, not the value.
            static_cast<void>(W.Set(VD001, i % 2, e));
            W.Snapshot();
            W.Coverage();
            long long lost = 0;
            for (TSimTrendPoint &p : W.TakeTrend(&lost))
                points.push_back(std::move(p));
            dropped += lost;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
    while (std::chrono::steady_clock::now() < end) {
        static_cast<void>(L.ReadStatus());
        EXPECT_EQ(L.LinkStatus, LinkAccepted);
        static_cast<void>(L.ReadScreenLines(0));
        static_cast<void>(L.ReadSectionInfo(0));
    }
    done = true;
    window.join();
    EXPECT_EQ(L.Mode, std::uint32_t(ModeRun));
    ASSERT_GT(points.size(), 10u);
    EXPECT_EQ(dropped, 0);
    for (std::size_t i = 0; i < points.size(); ++i) {
        ASSERT_EQ(points[i].Values.size(), 2u);
        EXPECT_EQ(points[i].Values[1], points[i].Values[0]) << points[i].Scan;
        if (i > 0) {
            EXPECT_EQ(points[i].Scan, points[i - 1].Scan + 1);
            EXPECT_GE(points[i].TimeMs, points[i - 1].TimeMs);
        }
    }
    const TSimCoverage coverage = W.Coverage();
    EXPECT_EQ(coverage.Executed, std::vector<std::uint8_t>({1, 1, 1}));
}

} // namespace
