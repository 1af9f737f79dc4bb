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
    line.OnProgress("Read All", "Reading pin 1 of 32", 0, 32);
    EXPECT_EQ(err.str(), "\rRead All: Reading pin 1 of 32");
    err.str("");
    line.OnProgress("Read All", "Reading the event control", 0, 0);
    EXPECT_EQ(err.str(), "\rRead All: Reading the event control");
    err.str("");
    line.OnProgress("Read All", "Reading pin 2 of 32", 1, 32);
    EXPECT_EQ(err.str(), "\rRead All: Reading pin 2 of 32" + std::string(6, ' '));
    err.str("");
  }  // the destructor clears the line
  EXPECT_EQ(err.str(), "\r" + std::string(29, ' ') + "\r");
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
