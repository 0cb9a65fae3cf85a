#include "sim/simwatch.h"

#include "sim/simtexts.h"
#include "sim/simulator.h"

#include <algorithm>
#include <mutex>

bool IsControllerVariable(const TVarRef &v)
{
    if (v.Index < 0 || v.Index >= VarClassSize(v.Class))
        return false;
    return v.Part != TVarPart::Time || v.Class == TVarClass::TM;
}

namespace {

bool CheckVariable(const TVarRef &v, QString &error)
{
    if (IsControllerVariable(v))
        return true;
    error = SimText::NotAVariable(VarText(v));
    return false;
}

} // namespace

TScanEngine *TSimWatch::Engine(QString &error) const
{
    TScanEngine *engine = Sim.Run.Engine();
    if (!engine)
        error = SimText::NoRun;
    return engine;
}

TSimSnapshot TSimWatch::Snapshot() const
{
    TSimSnapshot s;
    std::lock_guard<std::mutex> state(Sim.Lock);
    s.Mode = Sim.Mode;
    s.Status = Sim.Run.Status();
    s.Generation = Sim.Run.Generation();
    if (const TScanEngine *engine = Sim.Run.Engine()) {
        s.Scanning = Sim.Mode == Sarvetel::ModeRun;
        s.Scans = engine->Scans();
        s.State = engine->State;
    }
    return s;
}

TSimProgramInfo TSimWatch::Program() const
{
    TSimProgramInfo info;
    std::lock_guard<std::mutex> state(Sim.Lock);
    info.Status = Sim.Run.Status();
    info.Generation = Sim.Run.Generation();
    info.Problems = Sim.Run.Problems();
    info.Program = Sim.Run.Program();
    return info;
}

TSimCoverage TSimWatch::Coverage() const
{
    TSimCoverage c;
    std::lock_guard<std::mutex> state(Sim.Lock);
    c.Generation = Sim.Run.Generation();
    if (const TScanEngine *engine = Sim.Run.Engine())
        c.Executed = engine->Executed();
    return c;
}

TSimRunLog TSimWatch::Log(std::size_t from) const
{
    TSimRunLog log;
    std::lock_guard<std::mutex> state(Sim.Lock);
    log.Generation = Sim.Run.Generation();
    if (const TScanEngine *engine = Sim.Run.Engine()) {
        const std::vector<TRunLogEntry> &entries = engine->Log();
        log.Total = entries.size();
        log.Full = engine->LogFull();
        if (from < entries.size())
            log.Entries.assign(entries.begin() + std::ptrdiff_t(from), entries.end());
    }
    return log;
}

bool TSimWatch::Set(const TVarRef &v, int value, QString &error)
{
    if (!CheckVariable(v, error))
        return false;
    std::lock_guard<std::mutex> state(Sim.Lock);
    TScanEngine *engine = Engine(error);
    if (engine)
        engine->State.Set(v, value);
    return engine != nullptr;
}

bool TSimWatch::Lock(const TVarRef &v, int value, QString &error)
{
    if (!CheckVariable(v, error))
        return false;
    std::lock_guard<std::mutex> state(Sim.Lock);
    TScanEngine *engine = Engine(error);
    if (engine)
        engine->State.Lock(v, value);
    return engine != nullptr;
}

bool TSimWatch::Unlock(const TVarRef &v, QString &error)
{
    if (!CheckVariable(v, error))
        return false;
    std::lock_guard<std::mutex> state(Sim.Lock);
    TScanEngine *engine = Engine(error);
    if (engine)
        engine->State.Unlock(v);
    return engine != nullptr;
}

bool TSimWatch::ResetLocks(QString &error)
{
    std::lock_guard<std::mutex> state(Sim.Lock);
    TScanEngine *engine = Engine(error);
    if (engine)
        engine->State.ResetLocks();
    return engine != nullptr;
}

bool TSimWatch::Follow(const std::vector<TVarRef> &vars, QString &error)
{
    for (const TVarRef &v : vars)
        if (!CheckVariable(v, error))
            return false;
    Sim.Run.Trend.Follow(vars);
    return true;
}

std::vector<TSimTrendPoint> TSimWatch::TakeTrend(long long *dropped)
{
    return Sim.Run.Trend.Take(dropped);
}
