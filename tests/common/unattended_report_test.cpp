// What an unattended run says instead of showing boxes: the answer a box
// would give, and the report's text.
#include <gtest/gtest.h>

#include <string>

#include "common/unattended_report.h"

namespace {

TEST(DefaultButton, IsTheNamedDefaultOrElseTheFirst) {
  struct row {
    unsigned type;
    int button;
  };
  const row rows[] = {
      {0x0, 1},           // MB_OK: IDOK
      {0x30, 1},          // MB_OK | MB_ICONEXCLAMATION: icons change nothing
      {0x1, 1},           // MB_OKCANCEL
      {0x101, 2},         // MB_OKCANCEL | MB_DEFBUTTON2: IDCANCEL
      {0x2, 3},           // MB_ABORTRETRYIGNORE: IDABORT
      {0x202, 5},         // ... | MB_DEFBUTTON3: IDIGNORE
      {0x3, 6},           // MB_YESNOCANCEL: IDYES
      {0x203, 2},         // ... | MB_DEFBUTTON3: IDCANCEL
      {0x4, 6},           // MB_YESNO: IDYES
      {0x24, 6},          // MB_YESNO | MB_ICONQUESTION
      {0x104, 7},         // MB_YESNO | MB_DEFBUTTON2: IDNO
      {0x204, 6},         // MB_YESNO | MB_DEFBUTTON3: no third button, the first
      {0x4304, 6},        // MB_YESNO | MB_HELP | MB_DEFBUTTON4: Help answers nothing
      {0x5, 4},           // MB_RETRYCANCEL: IDRETRY
      {0x6, 2},           // MB_CANCELTRYCONTINUE: IDCANCEL
      {0x206, 11},        // ... | MB_DEFBUTTON3: IDCONTINUE
      {0x7, 0},           // no such type: the box would not be shown
      {0xF, 0},
  };
  for (const row& r : rows) EXPECT_EQ(default_button(r.type), r.button) << std::hex << r.type;
}

std::string appended(std::initializer_list<const char*> texts) {
  report_text report;
  for (const char* text : texts) EXPECT_TRUE(append_report_text(report, text));
  return std::string(report.data ? report.data : "", report.size);
}

TEST(ReportText, EveryTextEndsInCrLfAndLoneLineFeedsGetTheirCr) {
  EXPECT_EQ(appended({}), "");
  EXPECT_EQ(appended({""}), "");
  EXPECT_EQ(appended({"one"}), "one\r\n");
  EXPECT_EQ(appended({"access rights\non this machine"}), "access rights\r\non this machine\r\n");
  EXPECT_EQ(appended({"already\r\nwindows\r\n"}), "already\r\nwindows\r\n");
  EXPECT_EQ(appended({"ends\n"}), "ends\r\n");
  EXPECT_EQ(appended({"\n\n"}), "\r\n\r\n");
  EXPECT_EQ(appended({"a", "b\r\n", "c"}), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(appended({"100% \xe9t\xe9"}), "100% \xe9t\xe9\r\n");  // bytes pass unchanged
}

TEST(ReportText, GrowsPastItsFirstBlock) {
  report_text report;
  const std::string line(700, 'x');
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(append_report_text(report, line));
  EXPECT_EQ(report.size, 10 * 702u);
  EXPECT_EQ(std::string(report.data + 9 * 702, 702), line + "\r\n");
}

}  // namespace
