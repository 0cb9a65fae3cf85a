#include "prp/prplayout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// A sound block of section s with `instructions` filler bytes: L, L, s, s, sum, ..., 0.
std::vector<std::uint8_t> Block(int s, int instructions)
{
    const int l = 5 + instructions;
    std::vector<std::uint8_t> b(static_cast<size_t>(l + 1), 0);
    b[0] = b[1] = static_cast<std::uint8_t>(l);
    SetBlockSection(b.data(), s);
    for (int i = 5; i < l; ++i)
        b[static_cast<size_t>(i)] = static_cast<std::uint8_t>(0x20 + i);
    b[PrpLayout::BlockSumOffset] = BlockChecksumByte(b.data(), l);
    return b;
}

} // namespace

TEST(PrpLayout, BlockRules)
{
    struct Case
    {
        const char *name;
        int instructions;
        void (*spoil)(std::vector<std::uint8_t> &);
        int extra; // bytes after the block in what arrived
        bool lengthAgrees;
        bool acceptable;
    };
    const Case cases[] = {
        {"sound", 4, [](auto &) {}, 0, true, true},
        {"empty block", 0, [](auto &) {}, 0, true, true},
        {"longest", 250, [](auto &) {}, 0, true, true},
        {"bytes after it", 2, [](auto &) {}, 3, false, true},
        {"length copy differs", 2, [](auto &b) { b[1] ^= 1; }, 0, true, false},
        {"section copy differs", 2, [](auto &b) { b[3] ^= 1; }, 0, true, false},
        {"terminator not 0", 2, [](auto &b) { b.back() = 7; }, 0, true, false},
        {"sum broken", 2, [](auto &b) { b[5] ^= 1; }, 0, true, false},
        {"byte 0 too short", 2, [](auto &b) { b[0] = b[1] = 4; }, 0, false, false},
        {"byte 0 past the data", 2, [](auto &b) { b[0] = b[1] = 9; }, 0, false, false},
    };
    for (const Case &c : cases) {
        std::vector<std::uint8_t> b = Block(0123, c.instructions);
        c.spoil(b);
        b.resize(b.size() + static_cast<size_t>(c.extra), 0x55);
        const int n = static_cast<int>(b.size());
        EXPECT_EQ(BlockLengthAgrees(b.data(), n), c.lengthAgrees) << c.name;
        EXPECT_EQ(BlockAcceptable(b.data(), n), c.acceptable) << c.name;
    }
    const std::uint8_t tiny[3] = {2, 2, 0};
    EXPECT_FALSE(BlockLengthAgrees(tiny, 3));
    EXPECT_FALSE(BlockAcceptable(tiny, 3));
    EXPECT_EQ(Block(0123, 1)[PrpLayout::BlockSectionCopy], 0123);
}
