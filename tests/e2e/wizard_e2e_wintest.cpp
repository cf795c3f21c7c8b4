// The installer's wizard driven as a user drives it: the backdrop, the pages
// and their texts, the Python list, Back, Next, Cancel and Finish.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/test_files_win.h"
#include "driver/driver_win.h"
#include "python_runtime/python_discovery_win.h"
#include "wizard/wizard_layout.h"

namespace {

constexpr int intro = 0, select_python = 1, install = 2, finish = 3;
const char python_core[] = "Software\\Python\\PythonCore\\";
const char uninstall_key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string fixture(const char* name) { return build_file(std::string("fixtures/") + name + ".exe"); }

// When KITPACK_SCREENSHOTS names a folder, asks tools/take-screenshots (which
// watches it) to photograph the screen as name.png, and waits until it has.
void screenshot(const char* name) {
  const char* dir = std::getenv("KITPACK_SCREENSHOTS");
  if (!dir || !*dir) return;
  Sleep(300);  // let the pages finish painting
  std::string request = windows_path(dir) + "\\" + name + ".request";
  write_file(request, name);
  wait_until([&] { return !file_exists(request); }, 15000);
}

// A Python version registered under root for the test's lifetime, installed
// (as far as the registry says) in a fresh folder.
class registered_python {
 public:
  registered_python(HKEY root, const char* version) : root_(root) {
    key_ = std::string(python_core) + version;
    HKEY key;
    EXPECT_EQ(RegCreateKeyExA(root, (key_ + "\\InstallPath").c_str(), 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::string value = dir_.path() + "\\";  // as installers register it
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
  }
  ~registered_python() { RegDeleteTreeA(root_, key_.c_str()); }
  const std::string& dir() const { return dir_.path(); }

 private:
  HKEY root_;
  std::string key_;
  temp_folder dir_;
};

// Whether this build lists registered Pythons yet (discovery may still be a
// stand-in while the subsystems are put together).
bool discovery_available() {
  registered_python probe(HKEY_CURRENT_USER, "9.0");
  HWND list = CreateWindowA("ListBox", "", LBS_HASSTRINGS, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                            nullptr);
  list_python_installs(list, HKEY_CURRENT_USER, "9.0");
  bool listed = SendMessageA(list, LB_GETCOUNT, 0, 0) > 0;
  DestroyWindow(list);
  return listed;
}

// Package keys of the example under either root's Uninstall key.
std::vector<std::string> registered_packages(const char* prefix) {
  std::vector<std::string> found;
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    HKEY key;
    if (RegOpenKeyExA(root, uninstall_key, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = sizeof name;
      if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        break;
      if (std::string(name).rfind(prefix, 0) == 0) found.push_back(name);
    }
    RegCloseKey(key);
  }
  return found;
}

// The settings files that runs leave in the temporary folder.
int leftover_settings_files() {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((std::string(temp) + "~du*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int n = 0;
  do ++n; while (FindNextFileA(find, &data));
  FindClose(find);
  return n;
}

// The colour in the middle of a control, as the screen shows it.
COLORREF centre_colour(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ReleaseDC(nullptr, screen);
  return c;
}

bool buttons_are(HWND sheet, bool back, bool next) {
  return wizard_button_enabled(sheet, PSBTN_BACK) == back &&
         wizard_button_enabled(sheet, PSBTN_NEXT) == next;
}

// A running installer with its wizard on screen.
struct wizard_session {
  explicit wizard_session(const std::string& exe) : process(exe, "") {
    sheet = wait_dialog(process, "Setup");
  }
  HWND next_to(int index) {
    press_wizard_button(sheet, PSBTN_NEXT);
    return wait_page(sheet, index);
  }
  driven_process process;
  HWND sheet = nullptr;
};

TEST(WizardE2E, BackdropCoversTheScreenWithTheTitle) {
  driven_process process(fixture("example"), "");
  HWND backdrop = wait_window(process, "SetupWindowClass", "Setup Example 1.0");
  ASSERT_NE(backdrop, nullptr);
  EXPECT_TRUE(IsZoomed(backdrop));
  HWND sheet = wait_dialog(process, "Setup");
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(GetWindow(sheet, GW_OWNER), backdrop);
  // Away from the title and the wizard the backdrop is dark blue.
  RECT r;
  GetWindowRect(backdrop, &r);
  HDC screen = GetDC(nullptr);
  COLORREF corner = GetPixel(screen, r.right - 20, r.bottom - 20);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(corner, RGB(0, 0, 128));
  ShowWindow(sheet, SW_HIDE);
  screenshot("backdrop");
  ShowWindow(sheet, SW_SHOW);
  press_wizard_button(sheet, PSBTN_CANCEL);
  EXPECT_EQ(process.wait_exit(), 0);
}

TEST(WizardE2E, IntroPageIntroducesThePackageInTheCentre) {
  int settings_before = leftover_settings_files();
  wizard_session run(fixture("example"));
  ASSERT_NE(run.sheet, nullptr);
  HWND page = wait_page(run.sheet, intro);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(item_text(page, 1000),
            "This Wizard will install example on your computer. Click Next to continue or Cancel "
            "to exit the Setup Wizard.");
  EXPECT_EQ(item_text(page, 1021),
            "The example package shows what a kitpack installer does.\r\nIt installs one module "
            "and one post-install script.");
  EXPECT_EQ(item_text(page, 1024), "Built with mkpkg_kitpack");
  EXPECT_TRUE(wait_until([&] { return buttons_are(run.sheet, false, true); }));
  RECT r;
  GetWindowRect(run.sheet, &r);
  EXPECT_EQ(r.left, centered_origin(GetSystemMetrics(SM_CXSCREEN), r.right - r.left));
  EXPECT_EQ(r.top, centered_origin(GetSystemMetrics(SM_CYSCREEN), r.bottom - r.top));
  screenshot("intro-page");
  press_wizard_button(run.sheet, PSBTN_CANCEL);
  EXPECT_EQ(run.process.wait_exit(), 0);
  EXPECT_EQ(leftover_settings_files(), settings_before) << "the settings file is deleted";
}

TEST(WizardE2E, MissingPythonVersionIsReportedAndOnlyBackIsOffered) {
  wizard_session run(fixture("wizard-missing-python"));
  ASSERT_NE(run.sheet, nullptr);
  ASSERT_NE(wait_page(run.sheet, intro), nullptr);
  press_wizard_button(run.sheet, PSBTN_NEXT);
  ASSERT_TRUE(wait_box(run.process));
  screenshot("missing-python-box");
  seen_box box = answer_box(run.process, IDOK);
  EXPECT_EQ(box.caption, "Cannot install");
  EXPECT_EQ(box.text, "Python version 9.9 required, which was not found in the registry.");
  HWND page = wait_page(run.sheet, select_python);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(item_text(page, 1000),
            "Python 9.9 is required for this package. Select installation to use:");
  EXPECT_EQ(list_count(page, 1022), 0);
  EXPECT_EQ(item_text(page, 1007), "");
  EXPECT_EQ(item_text(page, 1008), "");
  EXPECT_TRUE(wait_until([&] { return buttons_are(run.sheet, true, false); }));
  press_wizard_button(run.sheet, PSBTN_BACK);
  EXPECT_NE(wait_page(run.sheet, intro), nullptr);
  press_wizard_button(run.sheet, PSBTN_CANCEL);
  EXPECT_EQ(run.process.wait_exit(), 0);
}

TEST(WizardE2E, PackagePictureIsShownOnThePages) {
  struct row {
    const char* fixture;
    COLORREF picture;
  };
  const row rows[] = {{"wizard-picture", RGB(255, 128, 0)}, {"example", RGB(0, 0, 128)}};
  for (const row& r : rows) {
    wizard_session run(fixture(r.fixture));
    ASSERT_NE(run.sheet, nullptr) << r.fixture;
    HWND page = wait_page(run.sheet, intro);
    ASSERT_NE(page, nullptr);
    Sleep(300);
    EXPECT_EQ(centre_colour(GetDlgItem(page, 1025)), r.picture) << r.fixture << " intro";
    press_wizard_button(run.sheet, PSBTN_NEXT);
    if (!discovery_available()) answer_box(run.process, IDOK, 5000);  // nothing listed
    page = wait_page(run.sheet, select_python);
    ASSERT_NE(page, nullptr);
    Sleep(300);
    EXPECT_EQ(centre_colour(GetDlgItem(page, 1025)), r.picture) << r.fixture << " select";
    press_wizard_button(run.sheet, PSBTN_CANCEL);
    EXPECT_EQ(run.process.wait_exit(), 0);
  }
}

TEST(WizardE2E, ChoosingAPythonFillsTheDirectoriesAndCancelInstallsNothing) {
  if (!discovery_available()) GTEST_SKIP() << "Python discovery is not in this build yet";
  registered_python older(HKEY_CURRENT_USER, "9.1");
  registered_python newer(HKEY_CURRENT_USER, "9.2");
  wizard_session run(fixture("example"));
  ASSERT_NE(run.sheet, nullptr);
  ASSERT_NE(wait_page(run.sheet, intro), nullptr);
  HWND page = run.next_to(select_python);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(item_text(page, 1000), "Select python installation to use:");
  // Rows are sorted; the last, the highest version, is chosen at first.
  int rows = list_count(page, 1022);
  ASSERT_GE(rows, 2);
  EXPECT_EQ(list_text(page, 1022, rows - 1), "Python Version 9.2 (found in registry)");
  EXPECT_EQ(list_text(page, 1022, rows - 2), "Python Version 9.1 (found in registry)");
  EXPECT_EQ(list_selection(page, 1022), rows - 1);
  EXPECT_TRUE(wait_until([&] { return item_text(page, 1007) == newer.dir() + "\\"; }));
  EXPECT_EQ(item_text(page, 1008), newer.dir() + "\\Lib\\site-packages\\");
  EXPECT_TRUE(wait_until([&] { return buttons_are(run.sheet, true, true); }));
  screenshot("select-python-page");

  select_list_row(page, 1022, rows - 2);
  EXPECT_TRUE(wait_until([&] { return item_text(page, 1007) == older.dir() + "\\"; }));
  EXPECT_EQ(item_text(page, 1008), older.dir() + "\\Lib\\site-packages\\");

  HWND install_page = run.next_to(install);
  ASSERT_NE(install_page, nullptr);
  EXPECT_EQ(item_text(install_page, 1000),
            "Click Next to begin the installation of example. If you want to review or change "
            "any of your  installation settings, click Back. Click Cancel to exit the wizard.");
  EXPECT_EQ(item_text(install_page, 1004), "Ready to install");
  EXPECT_TRUE(wait_until([&] { return buttons_are(run.sheet, true, true); }));
  screenshot("install-page");

  // Back to choose again: the list is not scanned twice.
  press_wizard_button(run.sheet, PSBTN_BACK);
  ASSERT_EQ(wait_page(run.sheet, select_python), page);
  EXPECT_EQ(list_count(page, 1022), rows);
  select_list_row(page, 1022, rows - 1);
  EXPECT_TRUE(wait_until([&] { return item_text(page, 1007) == newer.dir() + "\\"; }));
  ASSERT_NE(run.next_to(install), nullptr);

  press_wizard_button(run.sheet, PSBTN_CANCEL);
  EXPECT_EQ(run.process.wait_exit(), 0);
  EXPECT_TRUE(registered_packages("example-py9.").empty());
  EXPECT_FALSE(file_exists(newer.dir() + "\\example-kitpack.log"));
  EXPECT_FALSE(file_exists(older.dir() + "\\example-kitpack.log"));
  EXPECT_FALSE(file_exists(newer.dir() + "\\Removeexample.exe"));
}

}  // namespace
