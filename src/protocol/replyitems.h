#pragma once
// How long each reply item is: the one rule the link reads replies by and the simulator
// builds them by. An item is its code byte and the data bytes that follow it.

#include <cstdint>

namespace ReplyItems {

// The data bytes that follow the code byte at p of a reply frame of `length` bytes, or -1
// when the byte that tells it is not there.
[[nodiscard]] int DataLength(const std::uint8_t *frame, int length, int p);

// The screen reply: a count byte, then one or two lines of a line number and its
// characters. The count byte the controller sends for `lines` lines, and how many lines a
// count byte announces (0 for none).
int ScreenCountByte(int lines);
int ScreenLinesOf(int countByte);

} // namespace ReplyItems
