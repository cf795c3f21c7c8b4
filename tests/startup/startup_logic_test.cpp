#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "startup/escapes.h"
#include "startup/run_mode.h"
#include "startup/setup_config.h"

namespace {

std::string expand(const std::string& src, std::size_t width) {
  std::string out(width + 8, '#');
  expand_escapes(src.c_str(), out.data(), width);
  EXPECT_EQ(out[width + 1], '#') << "wrote past the buffer";
  return std::string(out.c_str(), std::strlen(out.c_str()));
}

TEST(ExpandEscapes, ConvertsEachEscape) {
  struct row {
    const char* src;
    std::string expected;
  };
  const row rows[] = {
      {"one\\ntwo", "one\r\ntwo"},
      {"a\\rb", "a\rb"},
      {"\\101", "A"},
      {"x\\12y", "x\r\ny"},
      {"a\\tb", "atb"},
      {"a\\\\nb", "a\r\nb"},  // the second backslash starts a new escape
      {"a\\9b", "a9b"},
      {"a\\0b", "a"},          // a NUL byte ends the text for every reader
      {"a\\", "a"},            // a final backslash is dropped
      {"\\1010", "\x08"},      // the longest octal run: 01010 = 520, low byte 8
      {"\\3777", "\xff"},      // 03777 -> 0x7FF, low byte 0xFF
      {"\\18", std::string("\x01") + "8"},
      {"a\\\xe9", "a\xe9"},
  };
  for (const row& r : rows) EXPECT_EQ(expand(r.src, 80), r.expected) << r.src;
}

TEST(ExpandEscapes, KeepsAtMostWidthMinusTwoCharacters) {
  EXPECT_EQ(expand(std::string(100, 'x'), 80), std::string(78, 'x'));
  EXPECT_EQ(expand(std::string(5000, 'y'), 4096).size(), 4094u);
  // With room 3 left a two-byte step still fits with its NUL.
  EXPECT_EQ(expand(std::string(77, 'x') + "\\n", 80), std::string(77, 'x') + "\r\n");
  EXPECT_EQ(expand(std::string(78, 'x') + "\\n", 80), std::string(78, 'x'));
  EXPECT_EQ(expand(std::string(77, 'x') + "\\12", 80), std::string(77, 'x') + "\r\n");
  EXPECT_EQ(expand("abc", 1), "");
  EXPECT_EQ(expand("abc", 3), "a");
}

TEST(RunMode, ChoosesInstallUninstallOrRefusal) {
  EXPECT_EQ(choose_run_mode(true, true, 1), run_mode::install);
  EXPECT_EQ(choose_run_mode(true, true, 3), run_mode::install);  // arguments ignored
  EXPECT_EQ(choose_run_mode(false, false, 2), run_mode::uninstall);
  EXPECT_EQ(choose_run_mode(false, false, 1), run_mode::refuse);
  EXPECT_EQ(choose_run_mode(false, true, 3), run_mode::refuse);
}

TEST(RunMode, RefusalTextFollowsTheBaseName) {
  const char* normal = "This program is normally started by windows";
  const char* damaged = "Setup program invalid or damaged";
  EXPECT_STREQ(refusal_text("C:\\Python25\\RemoveFoo.exe"), normal);
  EXPECT_STREQ(refusal_text("C:\\Remove.exe"), normal);
  EXPECT_STREQ(refusal_text("C:\\Python25\\removefoo.exe"), damaged);
  EXPECT_STREQ(refusal_text("C:\\Setup.exe"), damaged);
  EXPECT_STREQ(refusal_text("RemoveFoo.exe"), damaged);  // no backslash at all
  EXPECT_STREQ(refusal_text("C:\\Remove\\Setup.exe"), damaged);
  EXPECT_STREQ(refusal_text("C:\\Remov"), damaged);
}

TEST(SetupConfig, KnowsTheUserAccessControlValues) {
  for (const char* ok : {"", "force", "auto", "none"}) EXPECT_TRUE(is_known_uac_value(ok)) << ok;
  for (const char* bad : {"Force", "AUTO", "none ", "yes"}) EXPECT_FALSE(is_known_uac_value(bad)) << bad;
}

}  // namespace
