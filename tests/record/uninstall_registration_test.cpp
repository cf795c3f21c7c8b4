#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "record/uninstall_registration.h"

namespace {

const std::string long_dir = "C:\\" + std::string(256, 'd');  // 259 characters
const std::string long_name(79, 'n');

TEST(PackageTexts, ComposeTheEntryOfTheExample) {
  char text[REGISTRATION_TEXT_WIDTH];
  char key[PACKAGE_KEY_WIDTH];
  ASSERT_TRUE(format_package_key_name(key, sizeof key, "example", 2, 5));
  EXPECT_STREQ(key, "example-py2.5");
  ASSERT_TRUE(format_display_name(text, sizeof text, 2, 5, "Example 1.0"));
  EXPECT_STREQ(text, "Python 2.5 Example 1.0");
  ASSERT_TRUE(format_uninstall_string(text, sizeof text, "C:\\Python25", "example"));
  EXPECT_STREQ(text, "\"C:\\Python25\\Removeexample.exe\" -u \"C:\\Python25\\example-kitpack.log\"");
  ASSERT_TRUE(format_quiet_uninstall_string(text, sizeof text, "C:\\Python25", "example"));
  EXPECT_STREQ(text, "\"C:\\Python25\\Removeexample.exe\" -u \"C:\\Python25\\example-kitpack.log\" /S");
  ASSERT_TRUE(format_uninstaller_path(text, sizeof text, "C:\\Python25", "example"));
  EXPECT_STREQ(text, "C:\\Python25\\Removeexample.exe");
  ASSERT_TRUE(format_install_log_path(text, sizeof text, "C:\\Python25", "example"));
  EXPECT_STREQ(text, "C:\\Python25\\example-kitpack.log");
}

TEST(PackageTexts, KeyNameCarriesTheVersion) {
  struct row {
    const char* name;
    int major, minor;
    const char* key;
  };
  const row rows[] = {
      {"example", 2, 4, "example-py2.4"}, {"example", 2, 10, "example-py2.10"},
      {"pkg", 3, 0, "pkg-py3.0"},         {"", 2, 5, "-py2.5"},
  };
  for (const row& r : rows) {
    char key[PACKAGE_KEY_WIDTH];
    ASSERT_TRUE(format_package_key_name(key, sizeof key, r.name, r.major, r.minor));
    EXPECT_STREQ(key, r.key);
  }
}

TEST(PackageTexts, LongestInputsAreComposedWhole) {
  char text[REGISTRATION_TEXT_WIDTH];
  char key[PACKAGE_KEY_WIDTH];
  ASSERT_TRUE(format_uninstall_string(text, sizeof text, long_dir.c_str(), long_name.c_str()));
  EXPECT_EQ(std::string(text), "\"" + long_dir + "\\Remove" + long_name + ".exe\" -u \"" + long_dir +
                                   "\\" + long_name + "-kitpack.log\"");
  EXPECT_EQ(std::strlen(text), 32 + 2 * (259 + 79u));
  ASSERT_TRUE(format_quiet_uninstall_string(text, sizeof text, long_dir.c_str(), long_name.c_str()));
  EXPECT_EQ(std::strlen(text), 35 + 2 * (259 + 79u));
  ASSERT_TRUE(format_uninstaller_path(text, sizeof text, long_dir.c_str(), long_name.c_str()));
  EXPECT_EQ(std::string(text), long_dir + "\\Remove" + long_name + ".exe");
  ASSERT_TRUE(format_install_log_path(text, sizeof text, long_dir.c_str(), long_name.c_str()));
  EXPECT_EQ(std::string(text), long_dir + "\\" + long_name + "-kitpack.log");
  ASSERT_TRUE(format_display_name(text, sizeof text, -2147483647 - 1, -2147483647 - 1,
                                  std::string(79, 't').c_str()));
  EXPECT_EQ(std::string(text), "Python -2147483648.-2147483648 " + std::string(79, 't'));
  ASSERT_TRUE(format_package_key_name(key, sizeof key, long_name.c_str(), -2147483647 - 1,
                                      -2147483647 - 1));
  EXPECT_EQ(std::string(key), long_name + "-py-2147483648.-2147483648");
}

TEST(PackageTexts, RefuseRatherThanCutWhenTheBufferIsShort) {
  char text[40];
  std::memset(text, '#', sizeof text);
  EXPECT_FALSE(format_uninstall_string(text, 20, "C:\\Python25", "example"));
  EXPECT_STREQ(text, "");
  EXPECT_EQ(text[20], '#');
  // The UninstallString fits, the switch behind it does not: nothing, not a cut text.
  char quiet[70];
  EXPECT_FALSE(format_quiet_uninstall_string(quiet, sizeof quiet, "C:\\Python25", "example"));
  EXPECT_STREQ(quiet, "");
}

TEST(RootName, NamesTheMachineOrTheUser) {
  EXPECT_STREQ(root_key_log_name(true), "HKEY_LOCAL_MACHINE");
  EXPECT_STREQ(root_key_log_name(false), "HKEY_CURRENT_USER");
}

TEST(UninstallKey, OnlyARefusedAccessStopsTheInstallation) {
  struct row {
    long result;
    uninstall_key_action action;
  };
  const row rows[] = {
      {0, uninstall_key_action::go_on},
      {5, uninstall_key_action::refuse},                // ERROR_ACCESS_DENIED
      {2, uninstall_key_action::report_and_go_on},      // ERROR_FILE_NOT_FOUND
      {6, uninstall_key_action::report_and_go_on},      // ERROR_INVALID_HANDLE
      {1010, uninstall_key_action::report_and_go_on},   // ERROR_BADKEY
      {1314, uninstall_key_action::report_and_go_on},   // ERROR_PRIVILEGE_NOT_HELD
  };
  for (const row& r : rows) EXPECT_EQ(decide_uninstall_key(r.result), r.action) << r.result;
}

}  // namespace
