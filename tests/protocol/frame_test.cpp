#include "protocol/frame.h"
#include "protocol/iosetup.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Sarvetel;

// The status request as the controller expects it, and what breaks it.
TEST(FrameLayout, StatusRequestIsWholeAndEachDamageIsSeen)
{
    std::vector<std::uint8_t> f = {0, 0, 0, 0, 0x19, 0};
    FrameLayout::CompleteRequest(f.data(), int(f.size()), 24);
    EXPECT_EQ(f, (std::vector<std::uint8_t>{0x01, 0x01, 0xC0, 0xC2, 0x19, 0x9E}));
    EXPECT_TRUE(FrameLayout::IsWhole(f.data(), int(f.size())));
    EXPECT_FALSE(FrameLayout::IsWhole(f.data(), int(f.size()) - 1));
    for (int i = 1; i < int(f.size()); ++i) {
        auto bad = f;
        bad[i] ^= 0x10;
        EXPECT_FALSE(FrameLayout::IsWhole(bad.data(), int(bad.size()))) << i;
    }
}

TEST(IOSetupLayout, OnlyASingleBitBelowSevenNamesAChannel)
{
    const int masks[][2] = {{0x01, 0}, {0x40, 6}, {0x80, 7}, {0x03, 7}, {0, 7}};
    for (const auto &m : masks)
        EXPECT_EQ(IOSetupLayout::ChannelOfMask(m[0]), m[1]) << m[0];
}
