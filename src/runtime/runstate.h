#pragma once
// The state a program runs on: every variable of the controller (a bit, an analog value, a
// timer's on-state and time), a Б bit per variable and a lock per variable. The program
// writes through Write, which a lock holds back; the user sets through Set and Lock, which
// always take.
//
// Each variable has a slot: one number from 0 to SlotCount - 1 for its value and its Б bit,
// and timers have a second slot of their own for their time. The scan engine addresses the
// state by slots; everything else by TVarRef.

#include "runtime/variables.h"

#include <array>
#include <cstdint>
#include <vector>

class TRunState
{
public:
    static constexpr int SlotCount = 512 + 512 + 8 + 256 + 64 + 128 + 128;
    static constexpr int TimerCount = 64;

    TRunState();

    // Every variable 0 and off, every timer's time 00.00.00, every Б bit off. Locks stay
    // and keep their values.
    void ResetValues();
    // Every lock released; the values stay as they are.
    void ResetLocks();

    int Get(const TVarRef &v) const;
    // The value once (a bit any non-zero value sets; an analog value is clamped to 16 bits);
    // a locked variable holds the new value.
    void Set(const TVarRef &v, int value);
    // The variable holds value until it is unlocked, whatever the program writes. A timer's
    // on-state and its time lock apart; Б bits, which no program writes, are simply set.
    void Lock(const TVarRef &v, int value);
    // Releases the variable's lock (a timer's: both of them).
    void Unlock(const TVarRef &v);
    bool IsLocked(const TVarRef &v) const;
    // Every lock, as variables with the part locked.
    std::vector<TVarRef> Locks() const;

    // The engine's access by slot.
    static int SlotOf(TVarClass c, int index);
    static int TimerSlot(int timer) { return SlotOf(TVarClass::TM, 0) + timer; }
    int Value(int slot) const { return Values[static_cast<std::size_t>(slot)]; }
    int Time(int timer) const { return Times[static_cast<std::size_t>(timer)]; }
    bool Bad(int slot) const { return BadBits[static_cast<std::size_t>(slot)] != 0; }
    // The program's writes: a locked value or time stays.
    void Write(int slot, int value)
    {
        if (!ValueLocked[static_cast<std::size_t>(slot)])
            Values[static_cast<std::size_t>(slot)] = value;
    }
    void WriteTime(int timer, int time)
    {
        if (!TimeLocked[static_cast<std::size_t>(timer)])
            Times[static_cast<std::size_t>(timer)] = time;
    }

private:
    std::array<std::int32_t, SlotCount> Values{};
    std::array<std::int32_t, TimerCount> Times{};
    std::array<std::uint8_t, SlotCount> BadBits{};
    std::array<std::uint8_t, SlotCount> ValueLocked{};
    std::array<std::uint8_t, TimerCount> TimeLocked{};
};
