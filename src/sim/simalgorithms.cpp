#include "compiler/algbase.h"
#include "sim/simulator.h"

std::vector<int> TSarvetelSimulator::LoadAlgorithms(const TAlgBase &base)
{
    std::vector<int> otherLength;
    for (int n = 0; n < 128; ++n) {
        TSimAlgorithm &a = Algorithms[n];
        a = TSimAlgorithm();
        const TAlgInfo &info = base.Algs[n];
        if (!info.Present)
            continue;
        a.Present = true;
        a.OwnMemory = info.OwnMemory;
        a.ParamCount = std::min<int>(info.ParamCount, TAlgInfo::MaxParams);
        for (int i = 0; i < a.ParamCount; ++i) {
            a.Kinds[i] = info.Params[i + 1].Kind;
            a.Names[i] = info.Params[i + 1].Name;
        }
        if (info.PrpMemory + 3 != AlgRecordCallLength(info))
            otherLength.push_back(n);
    }
    Run.Redescribe();
    return otherLength;
}

void TSarvetelSimulator::DescribedBase(TAlgBase &base) const
{
    base.Clear();
    for (int n = 0; n < 128; ++n) {
        const TSimAlgorithm &a = Algorithms[n];
        if (!a.Present)
            continue;
        TAlgInfo &info = base.Algs[n];
        info.Present = 1;
        info.OwnMemory = a.OwnMemory;
        info.ParamCount =
            static_cast<std::uint8_t>(std::clamp(a.ParamCount, 0, TAlgInfo::MaxParams));
        for (int i = 0; i < info.ParamCount; ++i) {
            info.Params[i + 1].Kind = a.Kinds[i];
            info.Params[i + 1].Name = a.Names[i];
        }
        // The call length a base read from this controller gives.
        info.PrpMemory = static_cast<std::uint8_t>(std::max(AlgRecordCallLength(info) - 3, 0));
        ++base.Count;
    }
}

bool TSarvetelSimulator::TakePreparation(TSimPreparation &job) const
{
    if (!Run.Stale() || Mode == Sarvetel::ModeProgram)
        return false;
    job.Version = Run.Changes();
    job.Image.assign(Program.Image, Program.Image + std::clamp(Program.ImageLength, 0,
                                                               int(TZentorProgram::ImageSize)));
    job.Base = std::make_unique<TAlgBase>();
    DescribedBase(*job.Base);
    return true;
}

bool TSarvetelSimulator::PrepareRun()
{
    TSimPreparation job;
    if (!TakePreparation(job))
        return false;
    Run.Install(job.Version,
                PrepareStoredImage(job.Image.data(), int(job.Image.size()), *job.Base));
    return true;
}
