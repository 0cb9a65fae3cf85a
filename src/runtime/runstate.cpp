#include "runtime/runstate.h"

#include <algorithm>

namespace {

constexpr TVarClass kClasses[VarClassCount] = {TVarClass::VD, TVarClass::DV, TVarClass::KB,
                                               TVarClass::KS, TVarClass::TM, TVarClass::VA,
                                               TVarClass::AV};

int Normalised(const TVarRef &v, int value)
{
    if (v.Part == TVarPart::Time)
        return value;
    if (v.Part == TVarPart::Bad || !IsAnalogClass(v.Class))
        return value != 0 ? 1 : 0;
    return std::clamp(value, -32768, 32767);
}

} // namespace

TRunState::TRunState()
{
    ResetValues();
}

int TRunState::SlotOf(TVarClass c, int index)
{
    int slot = 0;
    for (TVarClass k : kClasses) {
        if (k == c)
            return slot + index;
        slot += VarClassSize(k);
    }
    return slot + index;
}

void TRunState::ResetValues()
{
    for (std::size_t s = 0; s < Values.size(); ++s)
        if (!ValueLocked[s])
            Values[s] = 0;
    for (std::size_t t = 0; t < Times.size(); ++t)
        if (!TimeLocked[t])
            Times[t] = 0;
    BadBits.fill(0);
}

void TRunState::ResetLocks()
{
    ValueLocked.fill(0);
    TimeLocked.fill(0);
}

int TRunState::Get(const TVarRef &v) const
{
    switch (v.Part) {
    case TVarPart::Time:
        return Time(v.Index);
    case TVarPart::Bad:
        return Bad(SlotOf(v.Class, v.Index)) ? 1 : 0;
    default:
        return Value(SlotOf(v.Class, v.Index));
    }
}

void TRunState::Set(const TVarRef &v, int value)
{
    const int x = Normalised(v, value);
    switch (v.Part) {
    case TVarPart::Time:
        Times[static_cast<std::size_t>(v.Index)] = x;
        break;
    case TVarPart::Bad:
        BadBits[static_cast<std::size_t>(SlotOf(v.Class, v.Index))] = static_cast<std::uint8_t>(x);
        break;
    default:
        Values[static_cast<std::size_t>(SlotOf(v.Class, v.Index))] = x;
        break;
    }
}

void TRunState::Lock(const TVarRef &v, int value)
{
    Set(v, value);
    if (v.Part == TVarPart::Time)
        TimeLocked[static_cast<std::size_t>(v.Index)] = 1;
    else if (v.Part == TVarPart::Value)
        ValueLocked[static_cast<std::size_t>(SlotOf(v.Class, v.Index))] = 1;
}

void TRunState::Unlock(const TVarRef &v)
{
    ValueLocked[static_cast<std::size_t>(SlotOf(v.Class, v.Index))] = 0;
    if (v.Class == TVarClass::TM)
        TimeLocked[static_cast<std::size_t>(v.Index)] = 0;
}

bool TRunState::IsLocked(const TVarRef &v) const
{
    switch (v.Part) {
    case TVarPart::Time:
        return TimeLocked[static_cast<std::size_t>(v.Index)] != 0;
    case TVarPart::Bad:
        return false;
    default:
        return ValueLocked[static_cast<std::size_t>(SlotOf(v.Class, v.Index))] != 0;
    }
}

std::vector<TVarRef> TRunState::Locks() const
{
    std::vector<TVarRef> locks;
    for (TVarClass c : kClasses)
        for (int i = 0; i < VarClassSize(c); ++i) {
            if (ValueLocked[static_cast<std::size_t>(SlotOf(c, i))])
                locks.push_back({c, i, TVarPart::Value});
            if (c == TVarClass::TM && TimeLocked[static_cast<std::size_t>(i)])
                locks.push_back({c, i, TVarPart::Time});
        }
    return locks;
}
