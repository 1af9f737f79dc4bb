#include "model/event_control_rules.h"

#include <gtest/gtest.h>

namespace vela {
namespace {

TEST(EventControlRules, ActionFieldOutOfRange_ClampsAndMinusOneIsGrey) {
  EXPECT_EQ(CommitActionText("12").text, "11");
  EXPECT_EQ(CommitActionText("12").value, 11);
  BoxEntry minus = CommitActionText("-5");
  EXPECT_EQ(minus.text, "-1");
  EXPECT_EQ(minus.value, -1);
  EXPECT_TRUE(ActionCellIsGrey(minus.text));
  BoxEntry word = CommitActionText("abc");
  EXPECT_EQ(word.text, "abc");
  EXPECT_EQ(word.value, 0);
  EXPECT_FALSE(ActionCellIsGrey("abc"));
  EXPECT_EQ(CommitActionText("2.5").value, 2);
  EXPECT_EQ(CommitActionText("3.5").value, 4);
  EXPECT_FALSE(ActionCellIsGrey("-0.5"));
  EXPECT_EQ(ActionValueOf("-0.5"), 0);
}

TEST(EventControlRules, PinFieldOutsideTheBoard_SnapsToFirstOrLastPin) {
  PinFieldEntry low = CommitEventPinText("0", 1);
  EXPECT_EQ(low.text, "1");
  EXPECT_EQ(low.pin, 0);
  PinFieldEntry high = CommitEventPinText("40", 1);
  EXPECT_EQ(high.text, "32");
  EXPECT_EQ(high.pin, 31);
  EXPECT_EQ(CommitEventPinText("31", 0).pin, 31);
  EXPECT_EQ(CommitEventPinText("32", 0).text, "31");
  EXPECT_EQ(CommitEventPinText("1.5", 1).pin, 0);  // 0.5 rounds to even
  EXPECT_EQ(CommitEventPinText("2.5", 1).pin, 2);  // 1.5 rounds to even
}

TEST(EventControlRules, CopyToAll_SetsTheActionsOfEveryPin) {
  EventControlTable events;
  CopyActionsToAll(events, {1, 2, -1, 11}, {0, -1, 5, 7});
  for (int pin = 0; pin < kPinCount; ++pin) {
    EXPECT_EQ(events.At(pin, kEventOn, 0), 1);
    EXPECT_EQ(events.At(pin, kEventOn, 3), 11);
    EXPECT_EQ(events.At(pin, kEventOff, 1), -1);
    EXPECT_EQ(events.At(pin, kEventOff, 3), 7);
  }
}

}  // namespace
}  // namespace vela
