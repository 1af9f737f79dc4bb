// The simulated board through the tool's own link: direct framing, the byte examples of the
// message exchange, and the resynchronisation.
#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace vela::sim {
namespace {

TEST_F(SimLinkTest, VersionRequest_WireBytesAndReplyFrame) {
  OpenAndSync();
  link_.SequenceState = 0x40;
  ASSERT_TRUE(link_.SendVLMessage(true, {112, 0}));
  EXPECT_EQ(port_.Written(), (Bytes{0x43, 0xE2, 0xF0, 0x80, 0xEB}));
  EXPECT_TRUE(link_.ReplyIs(6, 112, 0));
  EXPECT_EQ(ReplyMessage(), (Bytes{112, 0, 3, 2, 2, 0}));
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(log_.Text(),
            ">  [43] [62] [70] [00]\r\n<  [43] [66] [70] [00] [03] [02] [02] [00]\r\n");
  ASSERT_EQ(board_.Received().size(), 1u);
  const ReceivedFrame& frame = board_.Received()[0];
  EXPECT_EQ(frame.raw, (Bytes{0x43, 0xE2, 0xF0, 0x80, 0xEB}));
  EXPECT_EQ(frame.sequence_bit, 0x40);
  EXPECT_TRUE(frame.reply_wanted);
  EXPECT_TRUE(frame.answered);
  EXPECT_EQ(frame.message, (std::vector<int>{112, 0}));
}

}  // namespace
}  // namespace vela::sim
