// Numbers read alike in every locale: a German one, where the decimal point of the C library is
// a comma, must not change what a file or a box says.
#include <gtest/gtest.h>

#include <clocale>

#include "file_test_support.h"
#include "files/data_file.h"
#include "german_locale.h"
#include "model/number_text.h"
#include "support/recording_dialogs.h"

namespace vela {
namespace {

class GermanLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string reason;
    if (!testing::UseGermanLocale(dir_.path(), reason)) GTEST_SKIP() << reason;
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  }
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
#ifndef _WIN32
    unsetenv("LOCPATH");
#endif
  }

  testing::ScratchDir dir_;
};

TEST_F(GermanLocale, FileItemsAndBoxes_ReadThePointAsTheDecimalPoint) {
  EXPECT_EQ(NumericValue("100.7"), 100.7);
  EXPECT_EQ(NumericValue("  -2.5x"), -2.5);
  EXPECT_EQ(NumericValue("100,7"), 100);  // a comma is never a decimal point here
  EXPECT_EQ(NumericValue(".5"), 0.5);
  EXPECT_EQ(CommitBox("100.7", 0, 510).value, 101);

  const std::string path = dir_.File("in.dat");
  testing::WriteBytes(path, "\"VelaConfiguration 3100\"\r\n\"DCC\",100.7,2.5,0\r\n\"End\"\r\n");
  BoardConfig config;
  testing::RecordingDialogs dialogs;
  ASSERT_TRUE(LoadDataFile(config, path, dialogs)) << dialogs.Texts()[0];
  EXPECT_EQ(config.General.DccAddress, 101);
  EXPECT_EQ(config.General.XDccAddress, 2);
}

TEST(NumberText, HugeOrTinyNumbers_ReadAsInfinityOrZeroAndClamped) {
  EXPECT_EQ(NumericValue("+7"), 7);
  EXPECT_EQ(NumericValue(std::string(400, '9')), std::numeric_limits<double>::infinity());
  EXPECT_EQ(NumericValue("-" + std::string(400, '9')), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(NumericValue("0." + std::string(400, '0') + "1"), 0.0);
  EXPECT_EQ(CommitBox(std::string(400, '9'), 0, 510).value, 510);
}

}  // namespace
}  // namespace vela
