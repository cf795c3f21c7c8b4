// What get_root_hkey() gives a post-install script run by the real installer,
// for a Python registered for the machine and one registered for the user:
// the root key's handle as an unsigned 32-bit number, on every build.
#include <windows.h>
#include <prsht.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_files_win.h"
#include "driver/driver_win.h"
#include "e2e/wizard_session_win.h"

namespace {
using namespace e2e;

TEST(RootKeyE2E, PostInstallScriptGetsTheChosenPythonsRootAsUnsignedThirtyTwoBits) {
  struct row {
    HKEY root;
    const char* root_line;
    const char* printed;
  };
  const row rows[] = {
      {HKEY_LOCAL_MACHINE, "999 Root Key: HKEY_LOCAL_MACHINE", "2147483650\r\n"},
      {HKEY_CURRENT_USER, "999 Root Key: HKEY_CURRENT_USER", "2147483649\r\n"},
  };
  for (const row& r : rows) {
    standin_install python(python27, r.root);
    wizard_session run(fixture("root-key"));
    ASSERT_NE(run.sheet, nullptr) << r.root_line;
    HWND page = install_into(run, python.dir());
    ASSERT_NE(page, nullptr) << r.root_line;
    EXPECT_TRUE(wait_until([&] { return !item_text(page, 1004).empty(); })) << r.root_line;
    EXPECT_EQ(item_text(page, 1004), r.printed) << r.root_line;
    press_wizard_button(run.sheet, PSBTN_FINISH);
    EXPECT_EQ(run.process.wait_exit(), 0) << r.root_line;
    std::vector<std::string> log = split_lines(read_file(python.dir() + "\\example-kitpack.log"));
    ASSERT_GE(log.size(), 3u) << r.root_line;
    EXPECT_EQ(log[2], r.root_line);
    forget_package(r.root, "2.7");
  }
}

}  // namespace
