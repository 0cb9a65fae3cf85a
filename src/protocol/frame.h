#pragma once
// The frame around the items, the same for request and reply: byte 0 the start 0x01,
// bytes 1 and 2 the payload length N (its ninth bit is bit 0 of byte 2), byte 3 the header
// checksum of bytes 0..2, N payload bytes from byte 4, and the packet checksum of all bytes
// before it last. Byte 2 carries the reply capacity in a request and the controller's
// failure flags in a reply.

#include <cstdint>

namespace Sarvetel::FrameLayout {

constexpr std::uint8_t Start = 0x01;
constexpr int PayloadAt = 4;
constexpr int Overhead = 5; // header and packet checksum
constexpr int MaxPayload = 515;
constexpr std::uint8_t RequestBits = 0xC0;      // always set in a request's byte 2
constexpr std::uint8_t FlagFrameFailure = 0x40; // reply: the request did not come through
constexpr std::uint8_t FlagNoMemory = 0x20;     // reply: the controller lacks memory

// Writes bytes 0..3 for a payload of n bytes with the given byte-2 bits.
void WriteHeader(std::uint8_t *frame, int payload, std::uint8_t bits);
// Writes the request header of a frame of total length L with reply capacity, and its
// packet checksum.
void CompleteRequest(std::uint8_t *frame, int length, int capacity);
// The payload length a frame announces in bytes 1 and 2.
[[nodiscard]] int AnnouncedPayload(const std::uint8_t *frame);
// True when the header checksum (byte 3) is right.
[[nodiscard]] bool HeaderSumRight(const std::uint8_t *frame);
// True when the last of length bytes is the packet checksum of those before it.
[[nodiscard]] bool PacketSumRight(const std::uint8_t *frame, int length);
// True when the bytes are a whole frame: announced length reached and both checksums right.
[[nodiscard]] bool IsWhole(const std::uint8_t *frame, int length);

} // namespace Sarvetel::FrameLayout
