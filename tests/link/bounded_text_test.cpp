// The bounded text of the traffic log and the monitor: what stays and what goes past the limit.
#include "link/bounded_text.h"

#include <gtest/gtest.h>

namespace vela {
namespace {

TEST(BoundedText, AppendWithinTheLimit_KeepsEverythingAndDropsNothing) {
  BoundedText text(12, 6);
  const BoundedText::Dropped dropped = text.Append("ab\r\ncd\r\n");
  EXPECT_EQ(text.Text(), "ab\r\ncd\r\n");
  EXPECT_EQ(dropped.bytes, 0u);
  EXPECT_EQ(dropped.lines, 0u);
  text.Append("ef\r\n");  // 12 bytes: at the limit, not past it
  EXPECT_EQ(text.Text(), "ab\r\ncd\r\nef\r\n");
}

TEST(BoundedText, AppendPastTheLimit_DropsWholeLinesDownToKeep) {
  BoundedText text(12, 6);
  text.Append("one\r\ntwo\r\n");
  const BoundedText::Dropped dropped = text.Append("three\r\n");
  // 17 bytes; keeping 6 cuts at byte 11, inside "three", so the cut moves to its line end.
  EXPECT_EQ(text.Text(), "");
  EXPECT_EQ(dropped.bytes, 17u);
  EXPECT_EQ(dropped.lines, 3u);
  text.Append("1\n2\n3\n4\n5\n6\n7\n");
  // 14 bytes: the cut at byte 8 is "5\n"'s start; the line end after it ends the drop.
  EXPECT_EQ(text.Text(), "6\n7\n");
}

TEST(BoundedText, AppendPastTheLimitWithoutALineEnd_CutsExactlyAtKeep) {
  BoundedText text(8, 4);
  const BoundedText::Dropped dropped = text.Append("0123456789");
  EXPECT_EQ(text.Text(), "6789");
  EXPECT_EQ(dropped.bytes, 6u);
  EXPECT_EQ(dropped.lines, 0u);
}

}  // namespace
}  // namespace vela
