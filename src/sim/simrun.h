#pragma once
// The simulated controller running its stored program: the program made ready for the scan
// engine (runtime/scanengine.h) from the stored image, the engine with the variables' state,
// and the trend of chosen variables. The scan clock (sim/simclock.h) scans while the
// controller is in "Пуск"; the request handlers start the run afresh when the program is
// written and clear the state or the locks on the controller's reset commands.
//
// Every member is used with the simulator's lock (TSarvetelSimulator::Lock) held, except
// the trend, which has a lock of its own: a window drains it without waiting for a scan,
// and a scan never waits for a window.

#include "compiler/algbase.h"
#include "runtime/runprogram.h"
#include "runtime/scanengine.h"

#include <QStringList>

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

enum class TSimRunStatus : std::uint8_t {
    Pending, // written anew and not prepared yet (it is prepared out of programming mode)
    Ready,   // prepared: it runs in "Пуск"
    Damaged, // a stored block is no code the controller can execute: nothing of it runs
};

// One scan's values of the variables a trend follows.
struct TSimTrendPoint
{
    long long Scan = 0;      // counts from 1 again when the program is written anew
    std::int64_t TimeMs = 0; // since the simulator started
    std::vector<int> Values; // in the order the variables were chosen
};

// The values of a few chosen variables after every scan, in a bounded ring that one reader
// drains. When the reader falls behind, the oldest points go and are counted.
class TSimTrend
{
public:
    static constexpr std::size_t Capacity = 1 << 16; // 1 h 49 min of scans at 100 ms

    // The variables to follow from the next scan on; the points so far are dropped.
    void Follow(const std::vector<TVarRef> &vars);
    std::vector<TVarRef> Variables() const;
    // After a scan (the scan thread).
    void Record(long long scan, std::int64_t timeMs, const TRunState &state);
    // Every point since the last call, oldest first; dropped (when given) gets the points
    // lost in between because the ring was full.
    std::vector<TSimTrendPoint> Take(long long *dropped = nullptr);

private:
    mutable std::mutex Lock;
    std::vector<TVarRef> Vars;
    std::deque<TSimTrendPoint> Points;
    long long Dropped = 0;
};

// A stored program made ready to run, or the reasons it cannot run. Made without any lock
// (from a copy of the stored image) and then handed to the run.
struct TSimPreparedProgram
{
    std::shared_ptr<const TRunProgram> Program; // null when it cannot run
    QStringList Problems;
    int Sections = 0;
};

// Prepares a stored image (header and blocks, as the controller keeps it), the calls decoded
// by base. A block that is no executable code leaves the program without Program and with
// the reasons in Problems: nothing of it is run, nothing is guessed.
TSimPreparedProgram PrepareStoredImage(const std::uint8_t *image, int length, const TAlgBase &base);

// What a preparation of the stored program needs: the image and the base as they were
// when it was taken, and the change of the stored program it answers.
struct TSimPreparation
{
    std::uint64_t Version = 0;
    std::vector<std::uint8_t> Image;
    std::unique_ptr<TAlgBase> Base;
};

class TSimProgramRun
{
public:
    TSimProgramRun();

    // The stored program was written: it is prepared anew and runs from a fresh state
    // (every variable 0 and off, no locks, no scans, coverage and log empty).
    void Restart();
    // The algorithm descriptions changed: the program is prepared again and keeps the
    // values and locks of its variables.
    void Redescribe();
    // The stored program or the descriptions changed since the last preparation.
    bool Stale() const { return Version != PreparedVersion; }
    // The change a preparation taken now answers.
    std::uint64_t Changes() const { return Version; }
    // A preparation's result: it runs unless the stored program changed again since the
    // preparation was taken (version), which then goes.
    void Install(std::uint64_t version, TSimPreparedProgram prepared);

    // One scan and the trend's point; nothing unless the run is Ready.
    void Scan();
    // The controller's "Сброс переменных" and "Сброс блокировок".
    void ResetVariables();
    void ResetLocks();

    TSimRunStatus Status() const { return RunStatus; }
    // One more for every preparation installed: a window sees by it that the program is
    // another.
    std::uint64_t Generation() const { return Installed; }
    const QStringList &Problems() const { return ProblemLines; }
    // The prepared program; it never changes, so it may be read without the lock.
    std::shared_ptr<const TRunProgram> Program() const { return RunProgram; }
    // The engine with the state, coverage and log; null unless Ready.
    TScanEngine *Engine() { return ScanEngine.get(); }
    const TScanEngine *Engine() const { return ScanEngine.get(); }
    // What the last preparation found, as zentor-sim tells it: the program's size, the
    // run's assumptions, what is not simulated and the variables the algorithms write; or
    // why the program is not run.
    QStringList ReportLines() const;

    TSimTrend Trend;

private:
    TSimRunStatus RunStatus = TSimRunStatus::Pending;
    std::uint64_t Version = 1;
    std::uint64_t PreparedVersion = 0;
    bool Fresh = true; // the next preparation starts from a fresh state
    std::uint64_t Installed = 0;
    int Sections = 0;
    QStringList ProblemLines;
    std::shared_ptr<const TRunProgram> RunProgram;
    std::unique_ptr<TScanEngine> ScanEngine;
    std::chrono::steady_clock::time_point Origin;
};
