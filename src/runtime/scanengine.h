#pragma once
// The scan engine: runs a prepared program (runtime/runprogram.h) on a state, one scan at a
// time. A scan executes every present section once in ascending number, each instruction as
// its bytes say, each statement taking effect at once. The engine records which
// instructions ran at least once and keeps a run log: the ТС texts executed, with their
// field values, and the sums it had to saturate.
//
// The engine holds no lock and starts no thread: a caller that scans on a clock (the
// simulator) and shows the state in a window guards the engine with its own lock.

#include "runtime/runprogram.h"
#include "runtime/runstate.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

struct TRunLogEntry
{
    long long Scan = 0;
    int Place = 0; // the instruction
    QString Text;
};

class TScanEngine
{
public:
    // The log keeps this many entries; one more line says that it is full.
    static constexpr int LogLimit = 1000;

    // The program must outlive the engine.
    explicit TScanEngine(const TRunProgram &program);

    TRunState State;

    // One scan of the program.
    void Scan();
    long long Scans() const { return ScanCount; }

    // Which instructions ran at least once, by place (TRunProgram::Places()).
    const std::vector<std::uint8_t> &Executed() const { return Ran; }
    int ExecutedCount() const;
    void ResetCoverage();

    const std::vector<TRunLogEntry> &Log() const { return Entries; }
    bool LogFull() const { return Full; }
    // The log as lines: "цикл 3, секция 010, строка 2: …".
    QStringList LogLines() const;
    void ClearLog();

    // Values, locks, coverage, log and scan count as before the first scan.
    void Reset();

    const TRunProgram &Program() const { return P; }

private:
    const TRunProgram &P;
    long long ScanCount = 0;
    std::vector<std::uint8_t> Ran;
    std::vector<TRunLogEntry> Entries;
    bool Full = false;
    // Per step or leaf: reported once already; per text: the values logged last.
    std::vector<std::uint8_t> Saturated;
    std::vector<std::uint8_t> Beyond;
    std::vector<std::vector<int>> TextValues;
    std::vector<std::uint8_t> TextLogged;

    bool Evaluate(const TRunProgram::TStep &step);
    bool Leaf(const TRunProgram::TLeaf &leaf, int index);
    long long Sum(int first, int count) const;
    void Text(const TRunProgram::TStep &step);
    void AddLog(int place, const QString &text);
};
