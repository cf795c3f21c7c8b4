// Texts in fixed-size buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/fixed_text.h"

namespace {

TEST(ErrorText, SystemTextThenTextUncut) {
  char buf[1024];
  compose_error_text(buf, sizeof buf, "Access is denied.\r\n", "Could not open archive");
  EXPECT_STREQ(buf, "Access is denied.\r\nCould not open archive");
  compose_error_text(buf, sizeof buf, "", "100% sure");
  EXPECT_STREQ(buf, "100% sure");
}

TEST(ErrorText, CutToTheBuffer) {
  char buf[1024];
  std::string sys(1000, 's'), text(100, 't');
  compose_error_text(buf, sizeof buf, sys, text);
  EXPECT_EQ(std::strlen(buf), 1023u);
  EXPECT_EQ(std::string(buf).substr(1000), std::string(23, 't'));
  compose_error_text(buf, sizeof buf, std::string(2000, 's'), text);
  EXPECT_EQ(std::string(buf), std::string(1023, 's'));
}

}  // namespace
