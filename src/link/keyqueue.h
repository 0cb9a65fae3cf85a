#pragma once
// Keys pressed on the console and not yet sent to the controller. Filled by one thread,
// drained by the one that sends them; a small lock keeps the two apart.

#include "protocol/wire.h"

#include <cstdint>
#include <mutex>

class TKeyQueue
{
public:
    static constexpr int Capacity = Sarvetel::MaxKeys; // what one key frame carries
    // Appends the key; a key beyond the capacity is dropped.
    void Push(std::uint8_t code);
    // Moves every queued key into keys (at least Capacity bytes) and returns their count.
    int TakeAll(std::uint8_t *keys);
    int Count() const;

private:
    mutable std::mutex Lock;
    std::uint8_t Keys[Capacity] = {};
    int Length = 0;
};
