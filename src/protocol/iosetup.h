#pragma once
// The I/O setup as the controller keeps it and as it travels.
//
// The 30 setup bytes: 15 bytes of input and output groups (one bit a group), then for each
// of the 8 logical channels its physical channel (0..6, 7 for none), then one settings byte
// (speed, parity, stop bits) for each of the 7 physical channels.
//
// The setup block travels as reply item 36 (from its code byte) and, from its second byte
// on, inside the write request: the write frame holds the block from byte 6, its own byte 0
// being the sum over the block that the controller checks.

#include <cstdint>

namespace Sarvetel::IOSetupLayout {

constexpr int Size = 30;
constexpr int GroupsAt = 0;
constexpr int GroupBytes = 15;
constexpr int ChannelsAt = 15; // physical channel of each logical channel
constexpr int LogicalChannels = 8;
constexpr int NoChannel = 7;
constexpr int PortsAt = 23; // settings of each physical channel
constexpr int PortCount = 7;

// The block, counted from the reply item's code byte.
constexpr int BlockLength = 54;
constexpr int BlockMemoryTypeAt = 3;
constexpr int BlockGroupsAt = 5;
constexpr int BlockPairsAt = 20; // (channel mask, logical channel) pairs
constexpr int BlockPairSumAt = 36;
constexpr int BlockPortsAt = 37;

// The write request: its code, the block's length, then the block from its byte 1 on,
// the sum of the block in the place of its code.
constexpr int WriteFrameLength = 61;
constexpr int WriteBlockAt = 6;
constexpr int WriteSummedBytes = 55; // from the length byte, the sum taken as 0

// Writes the block's bytes from byte 1 on (the caller zeroed it) from the setup bytes.
void EncodeBlock(const std::uint8_t *setup, std::uint8_t memoryType, std::uint8_t *block);
// What a pair does whose mask names no single channel: the link takes it for "none", the
// simulated controller leaves the logical channel as it stands.
enum class TUnnamedMask { MeansNone, Ignored };
// Reads the setup bytes and the memory type from a block (from its code byte on).
void DecodeBlock(const std::uint8_t *block, std::uint8_t *setup, std::uint8_t &memoryType,
                 TUnnamedMask unnamed);
// The physical channel (0..6) a channel mask of a pair names, NoChannel for any other mask.
[[nodiscard]] int ChannelOfMask(int mask);

} // namespace Sarvetel::IOSetupLayout

namespace Sarvetel {
constexpr int IOSetupSize = IOSetupLayout::Size;
constexpr int IOSetupFrameLength = IOSetupLayout::WriteFrameLength;
constexpr int IOSetupItemLength = IOSetupLayout::BlockLength; // reply item 36 from its code
} // namespace Sarvetel
