// The КСБ card over a card model that behaves as the card's two addresses do.

#include "link/ksb.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class TCardModel : public TPortIO
{
public:
    bool Answers = true; // a missing card reads back 0xFF
    std::uint16_t Busy = 0;
    std::uint8_t Latch = 0;
    std::vector<std::pair<std::uint16_t, std::uint8_t>> Writes;

    std::uint8_t InByte(std::uint16_t a) override
    {
        return a == TKSB::ControlAddress && Answers ? Latch : 0xFF;
    }
    std::uint16_t InWord(std::uint16_t a) override
    {
        return a == TKSB::StatusAddress ? Busy : 0xFFFF;
    }
    void OutByte(std::uint16_t a, std::uint8_t v) override
    {
        Writes.push_back({a, v});
        if (a == TKSB::ControlAddress)
            Latch = v;
    }
};

} // namespace

TEST(KSB, DetectionScanAndChannelSelection)
{
    TCardModel card;
    TKSB ksb(&card);
    EXPECT_EQ(ksb.Present, 1);
    EXPECT_EQ(ksb.CurrentChannel, -1);
    ASSERT_EQ(card.Writes.size(), 2u);
    EXPECT_EQ(card.Writes[0].second, 0x15);
    EXPECT_EQ(card.Writes[1].second, 0x07);

    card.Busy = 0x0005;
    EXPECT_EQ(ksb.Scan(), 1);
    EXPECT_EQ(ksb.StatusWord, 0x0005);
    EXPECT_EQ(ksb.ChannelBusy[0], 1);
    EXPECT_EQ(ksb.ChannelBusy[1], 0);
    EXPECT_EQ(ksb.ChannelBusy[2], 1);
    const QStringList free = ksb.FreeChannelNames();
    EXPECT_EQ(free.size(), 14);
    EXPECT_EQ(free.first(), QStringLiteral("Канал 2"));
    EXPECT_EQ(free[1], QStringLiteral("Канал 4"));
    EXPECT_EQ(free.last(), QStringLiteral("Канал 16"));

    ksb.SelectChannel(2);
    EXPECT_EQ(card.Writes.back(), (std::pair<std::uint16_t, std::uint8_t>{0x300, 0x12}));
    EXPECT_EQ(ksb.CurrentChannel, 2);
    ksb.SelectChannel(16); // no such channel
    EXPECT_EQ(ksb.CurrentChannel, 2);
}

TEST(KSB, AbsentCardAndNoPortAccess)
{
    TCardModel card;
    card.Answers = false;
    TKSB silent(&card);
    EXPECT_EQ(silent.Present, 0);
    EXPECT_EQ(silent.Scan(), 1); // port access is there even without a card

    TKSB none(nullptr);
    EXPECT_EQ(none.Present, 0);
    EXPECT_EQ(none.Scan(), 0);
    none.SelectChannel(3);
    EXPECT_EQ(none.CurrentChannel, -1);
}
