#pragma once
// The simulated controller's scan clock: a thread of its own that, once every cycle, takes
// the simulator's lock and runs one scan of the stored program while the controller is in
// "Пуск" (no scans in "Останов" or any other mode). A program written anew is prepared at
// the first tick after the controller has left programming mode. The lock is held for one
// tick only, so requests on the line are answered between scans as a controller answers
// them.

#include <QStringList>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class TSarvetelSimulator;

class TSimClock
{
public:
    static constexpr int DefaultCycleMs = 100;
    static constexpr int MaxCycleMs = 60000;

    explicit TSimClock(TSarvetelSimulator &sim, int cycleMs = DefaultCycleMs);
    ~TSimClock();
    TSimClock(const TSimClock &) = delete;
    TSimClock &operator=(const TSimClock &) = delete;

    // Called on the clock's thread, outside the simulator's lock, with what each new
    // preparation of the stored program found (TSimProgramRun::ReportLines), whoever made it.
    std::function<void(const QStringList &)> Prepared;

    void Start();
    // Ends the thread; a tick under way ends first.
    void Stop();

    // One tick, as the clock's thread makes it (the simulator's lock taken inside).
    void Tick();

private:
    void Loop();

    TSarvetelSimulator &Sim;
    const int CycleMs;
    std::uint64_t Reported = 0; // the preparation told last
    std::thread Worker;
    std::mutex StopLock;
    std::condition_variable Wake;
    bool StopFlag = false;
};
