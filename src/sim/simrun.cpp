#include "sim/simrun.h"

#include "compiler/algbase.h"
#include "compiler/instructiondecoder.h"
#include "model/zentorprogram.h"
#include "runtime/runreport.h"
#include "sim/simtexts.h"

#include <algorithm>
#include <cstring>

namespace {

const QString kIndent = QStringLiteral("  ");

// Why the blocks of an image that passed its check cannot run as they stand; empty when
// they can.
QStringList BlockProblems(const TZentorProgram &program, const TAlgBase &base)
{
    QStringList problems;
    for (int n = 0; n < TZentorProgram::SectionCount; ++n) {
        const TZentorSection &s = program.Sections[n];
        if (!s.Present || s.CodeLength <= 0)
            continue;
        const TDecodedBlock block = DecodeBlock(s, &base);
        if (block.End == TDecodedBlock::Unknown)
            problems.append(SimText::BlockUnknownCode(n, block.EndOpcode, block.EndOffset));
        else if (block.End == TDecodedBlock::Truncated)
            problems.append(SimText::BlockTruncated(n, block.EndOffset));
    }
    return problems;
}

} // namespace

void TSimTrend::Follow(const std::vector<TVarRef> &vars)
{
    std::lock_guard<std::mutex> guard(Lock);
    Vars = vars;
    Points.clear();
    Dropped = 0;
}

std::vector<TVarRef> TSimTrend::Variables() const
{
    std::lock_guard<std::mutex> guard(Lock);
    return Vars;
}

void TSimTrend::Record(long long scan, std::int64_t timeMs, const TRunState &state)
{
    std::lock_guard<std::mutex> guard(Lock);
    if (Vars.empty())
        return;
    TSimTrendPoint point;
    point.Scan = scan;
    point.TimeMs = timeMs;
    point.Values.reserve(Vars.size());
    for (const TVarRef &v : Vars)
        point.Values.push_back(state.Get(v));
    if (Points.size() >= Capacity) {
        Points.pop_front();
        ++Dropped;
    }
    Points.push_back(std::move(point));
}

std::vector<TSimTrendPoint> TSimTrend::Take(long long *dropped)
{
    std::deque<TSimTrendPoint> taken;
    long long lost = 0;
    {
        std::lock_guard<std::mutex> guard(Lock);
        taken.swap(Points);
        std::swap(lost, Dropped);
    }
    if (dropped)
        *dropped = lost;
    return {std::make_move_iterator(taken.begin()), std::make_move_iterator(taken.end())};
}

TSimPreparedProgram PrepareStoredImage(const std::uint8_t *image, int length, const TAlgBase &base)
{
    // The image as the controller keeps it, cut into its header and blocks again: what
    // runs is what a read of the controller would give.
    TSimPreparedProgram prepared;
    auto stored = std::make_unique<TZentorProgram>();
    stored->Clear();
    stored->Sections[0].Present = 0;
    length = std::clamp(length, 0, int(TZentorProgram::ImageSize));
    if (length > 0)
        std::memcpy(stored->Image, image, std::size_t(length));
    stored->ImageLength = length;
    // A damaged image (its check names every problem) is not run.
    const bool sound = stored->SplitImage();
    prepared.Problems = sound ? BlockProblems(*stored, base) : *stored->Messages;
    if (!prepared.Problems.isEmpty())
        return prepared;
    auto program = std::make_shared<TRunProgram>();
    program->Prepare(*stored, &base);
    prepared.Program = std::move(program);
    prepared.Sections = stored->PresentSectionCount();
    return prepared;
}

TSimProgramRun::TSimProgramRun() : Origin(std::chrono::steady_clock::now()) {}

void TSimProgramRun::Restart()
{
    ScanEngine.reset();
    RunProgram.reset();
    RunStatus = TSimRunStatus::Pending;
    ProblemLines.clear();
    ++Version;
    Fresh = true;
}

void TSimProgramRun::Redescribe()
{
    ++Version;
}

void TSimProgramRun::Install(std::uint64_t version, TSimPreparedProgram prepared)
{
    if (version != Version)
        return; // written or described anew meanwhile: another preparation follows
    PreparedVersion = version;
    ++Installed;
    ProblemLines = prepared.Problems;
    Sections = prepared.Sections;
    std::unique_ptr<TScanEngine> old = std::move(ScanEngine);
    std::shared_ptr<const TRunProgram> oldProgram = std::move(RunProgram);
    if (!prepared.Program) {
        RunStatus = TSimRunStatus::Damaged;
        Fresh = true;
        return;
    }
    auto engine = std::make_unique<TScanEngine>(*prepared.Program);
    if (old && !Fresh)
        engine->State = old->State;
    RunProgram = std::move(prepared.Program);
    ScanEngine = std::move(engine);
    RunStatus = TSimRunStatus::Ready;
    Fresh = false;
}

void TSimProgramRun::Scan()
{
    if (!ScanEngine)
        return;
    ScanEngine->Scan();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - Origin);
    Trend.Record(ScanEngine->Scans(), ms.count(), ScanEngine->State);
}

void TSimProgramRun::ResetVariables()
{
    if (ScanEngine)
        ScanEngine->State.ResetValues();
}

void TSimProgramRun::ResetLocks()
{
    if (ScanEngine)
        ScanEngine->State.ResetLocks();
}

QStringList TSimProgramRun::ReportLines() const
{
    QStringList lines;
    if (RunStatus == TSimRunStatus::Damaged) {
        lines.append(SimText::ProgramNotRun);
        for (const QString &problem : ProblemLines)
            lines.append(kIndent + problem);
        return lines;
    }
    if (!RunProgram)
        return lines;
    lines.append(SimText::ProgramReady(Sections, int(RunProgram->Places().size())));
    lines.append(ProgramReportLines(*RunProgram));
    return lines;
}
