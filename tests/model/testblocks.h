#pragma once
// Code blocks framed as the compiler frames them, for tests that need a real image.

#include "core/textutils.h"
#include "model/zentorprogram.h"

#include <cstring>

// A block of section s with `instructions` filler bytes: L, L, s, s, checksum, ..., 0.
inline void PutTestBlock(TZentorProgram &p, int s, int instructions, std::uint8_t fill = 0x1E)
{
    TZentorSection &sec = p.Sections[s];
    const int l = 5 + instructions;
    std::memset(sec.Code, 0, sizeof sec.Code);
    sec.Code[0] = static_cast<std::uint8_t>(l);
    sec.Code[1] = static_cast<std::uint8_t>(l);
    sec.Code[2] = static_cast<std::uint8_t>(s);
    sec.Code[3] = static_cast<std::uint8_t>(s);
    for (int i = 5; i < l; ++i)
        sec.Code[i] = static_cast<std::uint8_t>(fill + i);
    sec.Code[4] = static_cast<std::uint8_t>((256 - ByteSum(sec.Code, l)) % 256);
    sec.CodeLength = l + 1;
    p.MarkPresent(s);
}
