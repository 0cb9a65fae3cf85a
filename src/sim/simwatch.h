#pragma once
// The simulated controller's run as the windows see it: the watch table, the values beside
// the code and the trend plot. Every call is safe from any thread. A call that reads or
// changes the run takes the simulator's lock for as long as a copy or a change takes, so
// it waits at most for one scan or one request being answered; the trend has a lock of
// its own, and draining it never waits for a scan.
//
// A program written anew is prepared by the scan clock (sim/simclock.h) at its first tick
// after the controller has left programming mode; until then the run is Pending, and values
// can be neither read nor set.

#include "runtime/runprogram.h"
#include "runtime/runstate.h"
#include "runtime/scanengine.h"
#include "sim/simrun.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class TSarvetelSimulator;

// The run at one moment.
struct TSimSnapshot
{
    std::uint8_t Mode = 0; // the controller's mode (protocol/wire.h)
    TSimRunStatus Status = TSimRunStatus::Pending;
    bool Scanning = false; // Ready and in "Пуск": the clock scans
    std::uint64_t Generation = 0;
    long long Scans = 0; // since the program was prepared afresh
    // Every variable's value, lock and Б bit (all 0 unless Ready).
    TRunState State;
};

// The prepared program; it changes only with Generation.
struct TSimProgramInfo
{
    TSimRunStatus Status = TSimRunStatus::Pending;
    std::uint64_t Generation = 0;
    // Damaged: why nothing runs.
    QStringList Problems;
    // Ready: the places of its instructions (section and offset), the assumptions, what is
    // not simulated and the variables the algorithm calls write (TRunProgram's readers).
    // Never changes, so it is read without any lock.
    std::shared_ptr<const TRunProgram> Program;
};

// Which instructions ran at least once, by place (TRunProgram::Places()).
struct TSimCoverage
{
    std::uint64_t Generation = 0;
    std::vector<std::uint8_t> Executed;
};

// The run log from a given entry on.
struct TSimRunLog
{
    std::uint64_t Generation = 0;
    std::size_t Total = 0; // entries in the log; ask from here for the next ones
    std::vector<TRunLogEntry> Entries;
    bool Full = false; // the log holds no more entries
};

class TSimWatch
{
public:
    explicit TSimWatch(TSarvetelSimulator &sim) : Sim(sim) {}

    TSimSnapshot Snapshot() const;
    TSimProgramInfo Program() const;
    TSimCoverage Coverage() const;
    TSimRunLog Log(std::size_t from = 0) const;

    // The value once: the program may change it at its next scan. False, with error set,
    // when the run is not Ready or the variable is none of the controller's.
    [[nodiscard]] bool Set(const TVarRef &v, int value, QString &error);
    // Held at value whatever the program writes, until unlocked or the locks are reset.
    [[nodiscard]] bool Lock(const TVarRef &v, int value, QString &error);
    [[nodiscard]] bool Unlock(const TVarRef &v, QString &error);
    // As the controller's "Сброс блокировок".
    [[nodiscard]] bool ResetLocks(QString &error);

    // The trend: the variables to follow (the points so far dropped), and every point since
    // the last take, oldest first.
    [[nodiscard]] bool Follow(const std::vector<TVarRef> &vars, QString &error);
    std::vector<TSimTrendPoint> TakeTrend(long long *dropped = nullptr);

private:
    TSarvetelSimulator &Sim;

    // The engine; null with error set when the run is not Ready. The simulator's lock is
    // held.
    TScanEngine *Engine(QString &error) const;
};

// A variable the controller has: its index within its class, a time only of a timer.
bool IsControllerVariable(const TVarRef &v);
