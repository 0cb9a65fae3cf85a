#include "protocol/replyitems.h"
#include "protocol/wire.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace Sarvetel;

// The count byte the builder writes announces exactly the lines the reader then takes,
// and the item's length covers them.
TEST(ReplyItems, ScreenCountAndLengthAgree)
{
    for (int lines = 0; lines <= 2; ++lines) {
        const int count = ReplyItems::ScreenCountByte(lines);
        EXPECT_EQ(ReplyItems::ScreenLinesOf(count), lines) << lines;
        const std::vector<std::uint8_t> frame = {0, 0,          0,
                                                 0, CodeScreen, static_cast<std::uint8_t>(count)};
        EXPECT_EQ(ReplyItems::DataLength(frame.data(), 6, 4), 1 + lines * (1 + ScreenLineLength))
            << lines;
    }
}

TEST(ReplyItems, LengthsByCode)
{
    struct Case
    {
        std::vector<std::uint8_t> item;
        int data;
    };
    const Case cases[] = {
        {{CodeStatus, ModeStop}, 2}, {{CodeStatus, ModeFault}, 1 + 2 * FaultPairCount},
        {{CodeSection, 9}, 11},      {{CodeWriteSection, 0}, 1},
        {{CodeWriteSection, 1}, 3},  {{CodeBlock}, 1 + BlockSize},
        {{ReplyEmpty41}, 0},         {{ReplyLong23}, 11},
        {{CodeStatus}, -1}, // the byte that tells the length is missing
    };
    for (const Case &c : cases) {
        std::vector<std::uint8_t> frame = {0, 0, 0, 0};
        frame.insert(frame.end(), c.item.begin(), c.item.end());
        EXPECT_EQ(ReplyItems::DataLength(frame.data(), static_cast<int>(frame.size()), 4), c.data)
            << int(c.item[0]);
    }
}
