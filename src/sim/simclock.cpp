#include "sim/simclock.h"

#include "protocol/wire.h"
#include "sim/simrun.h"
#include "sim/simulator.h"

#include <algorithm>
#include <chrono>

TSimClock::TSimClock(TSarvetelSimulator &sim, int cycleMs)
    : Sim(sim), CycleMs(std::clamp(cycleMs, 1, MaxCycleMs))
{
}

TSimClock::~TSimClock()
{
    Stop();
}

void TSimClock::Start()
{
    if (Worker.joinable())
        return;
    {
        std::lock_guard<std::mutex> guard(StopLock);
        StopFlag = false;
    }
    Worker = std::thread([this] { Loop(); });
}

void TSimClock::Stop()
{
    {
        std::lock_guard<std::mutex> guard(StopLock);
        StopFlag = true;
    }
    Wake.notify_all();
    if (Worker.joinable())
        Worker.join();
}

void TSimClock::Tick()
{
    // A program written anew is prepared outside the lock, so that the line and the windows
    // are not held up by it; it runs only if nothing was written meanwhile.
    TSimPreparation job;
    bool due = false;
    {
        std::lock_guard<std::mutex> state(Sim.Lock);
        due = Sim.TakePreparation(job);
    }
    if (due) {
        TSimPreparedProgram prepared =
            PrepareStoredImage(job.Image.data(), int(job.Image.size()), *job.Base);
        std::lock_guard<std::mutex> state(Sim.Lock);
        Sim.Run.Install(job.Version, std::move(prepared));
    }
    QStringList report;
    {
        std::lock_guard<std::mutex> state(Sim.Lock);
        if (Sim.Mode == Sarvetel::ModeRun)
            Sim.Run.Scan();
        if (Sim.Run.Generation() != Reported) {
            Reported = Sim.Run.Generation();
            report = Sim.Run.ReportLines();
        }
    }
    if (!report.isEmpty() && Prepared)
        Prepared(report);
}

void TSimClock::Loop()
{
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::milliseconds(CycleMs);
    auto next = Clock::now();
    for (;;) {
        Tick();
        // Ticks keep to the clock; after a stall (a slow tick, a suspended process) the
        // scans go on from now rather than run the missed ones back to back.
        next += period;
        const auto now = Clock::now();
        if (next < now)
            next = now + period;
        std::unique_lock<std::mutex> guard(StopLock);
        if (Wake.wait_until(guard, next, [this] { return StopFlag; }))
            return;
    }
}
