#pragma once
// The controller's algorithm memory as a program's calls share it out: every call of an
// algorithm with own memory reserves OwnMemory bytes at the address its bytes 3 and 4 carry.
// No two calls of one program may share a byte, whichever sections were compiled together.

#include <cstdint>
#include <vector>

// A call's own-memory address as its bytes 3 and 4 carry it: the low byte, then the high
// byte less 6 (modulo 256).
constexpr std::uint8_t AlgAddressLow(int address)
{
    return static_cast<std::uint8_t>(address & 0xFF);
}
constexpr std::uint8_t AlgAddressHigh(int address)
{
    return static_cast<std::uint8_t>((address / 256 - 6) & 0xFF);
}
constexpr int AlgAddress(std::uint8_t low, std::uint8_t high)
{
    return low + 256 * ((high + 6) & 0xFF);
}

// [Start, Start + Size) of one call.
struct TAlgMemoryRange
{
    int Start = 0;
    int Size = 0;
    int End() const { return Start + Size; }
};

// A call as its code stands, read without the base (a call's length is in its own bytes):
// the algorithm and, when the call is long enough to hold one, its own-memory address.
struct TCallSite
{
    int Algorithm = 0;
    bool HasAddress = false;
    int Address = 0;
};

class TAlgMemoryMap
{
public:
    void Reserve(const TAlgMemoryRange &range);
    // The lowest address from which size bytes overlap no range and end by limit (that
    // range is then reserved); -1 when there is none. Over a map that holds no gap this is
    // its end, so a compile of the whole program hands out memory in call order.
    [[nodiscard]] int Allocate(int size, int limit);
    // The end of the highest range; 0 for an empty map.
    int End() const;
    const std::vector<TAlgMemoryRange> &Ranges() const { return Sorted; }

private:
    std::vector<TAlgMemoryRange> Sorted; // by Start
};
