#include "protocol/frame.h"

#include "core/textutils.h"

namespace Sarvetel::FrameLayout {

void WriteHeader(std::uint8_t *frame, int payload, std::uint8_t bits)
{
    frame[0] = Start;
    frame[1] = static_cast<std::uint8_t>(payload & 0xFF);
    frame[2] = static_cast<std::uint8_t>(bits | (payload >= 256 ? 1 : 0));
    frame[3] = ByteSum(frame, 3);
}

void CompleteRequest(std::uint8_t *frame, int length, int capacity)
{
    WriteHeader(frame, length - Overhead,
                static_cast<std::uint8_t>(RequestBits | (((capacity / 32) & 0x1F) << 1)));
    frame[length - 1] = ByteSum(frame, length - 1);
}

int AnnouncedPayload(const std::uint8_t *frame)
{
    return frame[1] | ((frame[2] & 1) << 8);
}

bool HeaderSumRight(const std::uint8_t *frame)
{
    return ByteSum(frame, 3) == frame[3];
}

bool PacketSumRight(const std::uint8_t *frame, int length)
{
    return ByteSum(frame, length - 1) == frame[length - 1];
}

bool IsWhole(const std::uint8_t *frame, int length)
{
    return length >= Overhead && length == AnnouncedPayload(frame) + Overhead &&
           HeaderSumRight(frame) && PacketSumRight(frame, length);
}

} // namespace Sarvetel::FrameLayout
