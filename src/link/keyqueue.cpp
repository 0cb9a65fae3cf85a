#include "link/keyqueue.h"

#include <algorithm>

void TKeyQueue::Push(std::uint8_t code)
{
    std::lock_guard<std::mutex> guard(Lock);
    if (Length < Capacity)
        Keys[Length++] = code;
}

int TKeyQueue::TakeAll(std::uint8_t *keys)
{
    std::lock_guard<std::mutex> guard(Lock);
    const int n = Length;
    std::copy(Keys, Keys + n, keys);
    Length = 0;
    return n;
}

int TKeyQueue::Count() const
{
    std::lock_guard<std::mutex> guard(Lock);
    return Length;
}
