#include "protocol/iosetup.h"

#include <cstring>

namespace Sarvetel::IOSetupLayout {

void EncodeBlock(const std::uint8_t *setup, std::uint8_t memoryType, std::uint8_t *block)
{
    block[2] = 4;
    block[BlockMemoryTypeAt] = memoryType;
    block[4] = 1;
    std::memcpy(block + BlockGroupsAt, setup + GroupsAt, GroupBytes);
    int sum = 0;
    // Every logical channel with a physical one gets its pair, channel 7 included: a
    // channel left out would lose its assignment on the next read.
    for (int l = 0; l < LogicalChannels; ++l) {
        const int physical = setup[ChannelsAt + l];
        if (physical >= NoChannel)
            continue;
        const int mask = 1 << physical;
        block[BlockPairsAt + 2 * l] = static_cast<std::uint8_t>(mask);
        block[BlockPairsAt + 2 * l + 1] = static_cast<std::uint8_t>(l);
        sum += mask;
    }
    block[BlockPairSumAt] = static_cast<std::uint8_t>(sum & 0xFF);
    std::memcpy(block + BlockPortsAt, setup + PortsAt, PortCount);
    block[44] = 2;
    block[45] = 1;
}

int ChannelOfMask(int mask)
{
    for (int bit = 0; bit < NoChannel; ++bit)
        if (mask == (1 << bit))
            return bit;
    return NoChannel;
}

} // namespace Sarvetel::IOSetupLayout
