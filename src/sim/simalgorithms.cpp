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
    return otherLength;
}
