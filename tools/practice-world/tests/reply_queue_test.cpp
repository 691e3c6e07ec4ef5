#include "reply_queue.h"

#include <gtest/gtest.h>

namespace practice_world {
namespace {

using std::chrono::milliseconds;

class ReplyQueueTest : public ::testing::Test {
protected:
    std::vector<std::string> take(milliseconds at) {
        std::vector<std::string> texts;
        for (const ReplyQueue::Item& item : m_queue.takeDue(m_start + at))
            texts.push_back(std::to_string(item.to) + ":" + item.text);
        return texts;
    }

    ReplyQueue::Time m_start = std::chrono::steady_clock::now();
    ReplyQueue m_queue;
};

TEST_F(ReplyQueueTest, ALaterReplyWaitsForAnEarlierDelayedOne) {
    m_queue.push(1, "look", m_start + milliseconds(300));
    m_queue.push(1, "goodbye", m_start, true);
    EXPECT_TRUE(take(milliseconds(0)).empty());
    EXPECT_EQ(m_queue.nextDue(), m_start + milliseconds(300));
    EXPECT_EQ(take(milliseconds(300)), (std::vector<std::string>{"1:look", "1:goodbye"}));
    EXPECT_FALSE(m_queue.nextDue());
    EXPECT_FALSE(m_queue.holds(1));
}

TEST_F(ReplyQueueTest, ALaggedConnectionDoesNotHoldUpAnother) {
    m_queue.push(1, "slow", m_start + milliseconds(300));
    m_queue.push(2, "quick", m_start);
    EXPECT_EQ(take(milliseconds(0)), std::vector<std::string>{"2:quick"});
    EXPECT_TRUE(m_queue.holds(1));
    EXPECT_EQ(m_queue.bytesHeld(1), 4u);
    EXPECT_EQ(m_queue.bytesHeld(2), 0u);
    m_queue.forget(1);
    EXPECT_FALSE(m_queue.nextDue());
}

TEST_F(ReplyQueueTest, KeepsTheCloseFlagWithItsText) {
    m_queue.push(1, "bye", m_start, true);
    const auto items = m_queue.takeDue(m_start);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_TRUE(items[0].closeAfter);
}

} // namespace
} // namespace practice_world
