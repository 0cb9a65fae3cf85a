#include "protocol/iosetup.h"

#include <algorithm>
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

void DecodeBlock(const std::uint8_t *block, std::uint8_t *setup, std::uint8_t &memoryType,
                 TUnnamedMask unnamed)
{
    memoryType = block[BlockMemoryTypeAt];
    std::memcpy(setup + GroupsAt, block + BlockGroupsAt, GroupBytes);
    std::fill_n(setup + ChannelsAt, LogicalChannels, NoChannel);
    for (int s = 0; s < LogicalChannels; ++s) {
        const int mask = block[BlockPairsAt + 2 * s];
        const int logical = block[BlockPairsAt + 2 * s + 1];
        const int physical = ChannelOfMask(mask);
        if (mask == 0 || logical >= LogicalChannels ||
            (physical == NoChannel && unnamed == TUnnamedMask::Ignored))
            continue;
        setup[ChannelsAt + logical] = static_cast<std::uint8_t>(physical);
    }
    std::memcpy(setup + PortsAt, block + BlockPortsAt, PortCount);
}

int ChannelOfMask(int mask)
{
    for (int bit = 0; bit < NoChannel; ++bit)
        if (mask == (1 << bit))
            return bit;
    return NoChannel;
}

} // namespace Sarvetel::IOSetupLayout
