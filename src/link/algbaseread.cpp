#include "link/algbaseread.h"

#include "compiler/algbase.h"
#include "core/textutils.h"
#include "link/sarvetel.h"
#include "link/sarveteldefs.h"

#include <memory>

using namespace Sarvetel;

namespace {

// The call's first three bytes (opcode, number, length) are not counted in PrpMemory.
constexpr int CallHeadLength = 3;
constexpr int MaxCallLength = 255 + CallHeadLength;

void ResetEntry(TAlgInfo &info)
{
    info = TAlgInfo();
}

} // namespace

bool AlgInfoFromDescription(const TAlgDescription &d, int n, TAlgInfo &info)
{
    ResetEntry(info);
    if (!d.Present)
        return true;
    if (d.ParamCount < 0 || d.ParamCount > TAlgInfo::MaxParams || d.RecordSize < CallHeadLength ||
        d.RecordSize > MaxCallLength)
        return false;
    info.Present = 1;
    info.Name = AlgNamePrefix + OctalText(n, 3);
    info.OwnMemory = d.Modifier;
    info.PrpMemory = static_cast<std::uint8_t>(d.RecordSize - CallHeadLength);
    info.ParamCount = static_cast<std::uint8_t>(d.ParamCount);
    for (int i = 0; i < d.ParamCount; ++i) {
        info.Params[i + 1].Kind = d.ParamTypes[i];
        info.Params[i + 1].Name = TrimSpaces(d.ParamNames[i]);
    }
    return true;
}

TAlgBaseReadResult ReadFromController(TAlgBase &base, TSarvetel &link, TProgress &progress)
{
    TAlgBaseReadResult result;
    // Filled aside: a controller that stops answering half-way must not leave the base
    // half refreshed.
    auto fresh = std::make_unique<TAlgInfo[]>(TAlgBase::AlgCount);
    progress.SetCaption(AlgReadCaption);
    progress.SetMaximum(TAlgBase::AlgCount - 1);
    progress.Show();
    for (int n = 1; n < TAlgBase::AlgCount; ++n) {
        progress.SetAction(AlgReadAction + OctalText(n, 3));
        progress.SetPosition(n);
        TLinkRead<TAlgDescription> read;
        for (int attempt = 0; attempt < AlgDescriptionAttempts && !read.Accepted(); ++attempt)
            read = link.ReadAlgorithm(n);
        if (!read.Accepted()) {
            result.NoAnswer = n;
            result.Failure = read;
            progress.Hide();
            return result;
        }
        if (!read.Value.Present)
            continue;
        ++result.Described;
        if (!AlgInfoFromDescription(read.Value, n, fresh[n]))
            result.Unusable.append(n);
    }
    progress.Hide();
    int count = base.Algs[0].Present ? 1 : 0;
    for (int n = 1; n < TAlgBase::AlgCount; ++n) {
        base.Algs[n] = fresh[n];
        count += base.Algs[n].Present ? 1 : 0;
    }
    base.Count = count;
    result.Ok = true;
    return result;
}
