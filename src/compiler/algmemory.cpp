#include "compiler/algmemory.h"

#include <algorithm>

void TAlgMemoryMap::Reserve(const TAlgMemoryRange &range)
{
    if (range.Size <= 0)
        return;
    const auto at = std::upper_bound(
        Sorted.begin(), Sorted.end(), range,
        [](const TAlgMemoryRange &a, const TAlgMemoryRange &b) { return a.Start < b.Start; });
    Sorted.insert(at, range);
}

int TAlgMemoryMap::Allocate(int size, int limit)
{
    // Ranges may overlap one another (an image from elsewhere): a gap starts where every
    // range before it has ended.
    int candidate = 0;
    for (const TAlgMemoryRange &r : Sorted) {
        if (r.Start >= candidate + size)
            break;
        candidate = std::max(candidate, r.End());
    }
    if (candidate + size > limit)
        return -1;
    Reserve({candidate, size});
    return candidate;
}

int TAlgMemoryMap::End() const
{
    int end = 0;
    for (const TAlgMemoryRange &r : Sorted)
        end = std::max(end, r.End());
    return end;
}
