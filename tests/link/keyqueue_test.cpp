// The console's key queue: what one key frame carries, and no more.

#include "link/keyqueue.h"

#include <gtest/gtest.h>

TEST(KeyQueue, DropsTheThirtySeventhKey)
{
    TKeyQueue q;
    for (int i = 0; i < 37; ++i)
        q.Push(static_cast<std::uint8_t>(i));
    EXPECT_EQ(q.Count(), 36);
    std::uint8_t keys[TKeyQueue::Capacity];
    ASSERT_EQ(q.TakeAll(keys), 36);
    EXPECT_EQ(keys[35], 35);
    EXPECT_EQ(q.TakeAll(keys), 0);
}
