// What get_root_hkey() gives a post-install script run by the real installer,
// for a Python registered for the machine and one registered for the user:
// the root key's handle as an unsigned 32-bit number, on every build.
#include <windows.h>
#include <prsht.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/test_files_win.h"
#include "driver/driver_win.h"
#include "e2e/wizard_session_win.h"

namespace {
using namespace e2e;

// Points Python 2.7 under root at a fresh folder holding a copy of the
// stand-in DLL and the folders of a Python installation; puts the previous
// registration back afterwards.
class python27_under {
 public:
  python27_under(HKEY root, const std::string& dll) : root_(root) {
    had_value_ = RegQueryValueA(root_, key_, previous_, &previous_size_) == ERROR_SUCCESS;
    CreateDirectoryA((dir_.path() + "\\Lib").c_str(), nullptr);
    CreateDirectoryA((dir_.path() + "\\Lib\\site-packages").c_str(), nullptr);
    CreateDirectoryA((dir_.path() + "\\Scripts").c_str(), nullptr);
    CopyFileA(dll.c_str(), (dir_.path() + "\\python27.dll").c_str(), FALSE);
    RegSetValueA(root_, key_, REG_SZ, dir_.path().c_str(), static_cast<DWORD>(dir_.path().size()));
  }
  ~python27_under() {
    if (had_value_)
      RegSetValueA(root_, key_, REG_SZ, previous_, static_cast<DWORD>(std::strlen(previous_)));
    else
      RegDeleteTreeA(root_, "Software\\Python\\PythonCore\\2.7");
    forget_empty_python_keys(root_);
  }
  const std::string& dir() const { return dir_.path(); }

 private:
  static constexpr const char* key_ = "Software\\Python\\PythonCore\\2.7\\InstallPath";
  HKEY root_;
  temp_folder dir_;
  char previous_[MAX_PATH] = {};
  LONG previous_size_ = MAX_PATH;
  bool had_value_ = false;
};

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
    python27_under python(r.root, stand_in_python_dll());
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
