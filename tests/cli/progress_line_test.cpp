// velacli's progress line: redrawn in place with a carriage return and blanks, no escape codes.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/progress_line.h"

namespace vela::cli {
namespace {

TEST(ProgressLineTest, OnATerminal_RedrawsInPlaceAndClearsWithBlanks) {
  std::ostringstream err;
  {
    ProgressLine line(err, true);
    line.OnProgress("ReadAll", "Reading pins", 0, 32);
    EXPECT_EQ(err.str(), "\rReadAll: Reading pins (1/32)");
    err.str("");
    line.OnProgress("ReadAll", "Events", 0, 0);
    EXPECT_EQ(err.str(), "\rReadAll: Events" + std::string(13, ' '));
    err.str("");
  }  // the destructor clears the line
  EXPECT_EQ(err.str(), "\r" + std::string(15, ' ') + "\r");
  EXPECT_EQ(err.str().find('\033'), std::string::npos);
}

TEST(ProgressLineTest, Disabled_WritesNothing) {
  std::ostringstream err;
  {
    ProgressLine line(err, false);
    line.OnProgress("ReadAll", "Reading pins", 3, 32);
    line.Finish();
  }
  EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace vela::cli
