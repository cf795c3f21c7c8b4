// The installer's wizard driven as a user drives it: the backdrop, the pages
// and their texts, the Python list, Back, Next, Cancel and Finish.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "common/chosen_python_win.h"
#include "driver/driver_win.h"
#include "e2e/wizard_session_win.h"
#include "python_runtime/install_scripts_win.h"
#include "python_runtime/python_discovery_win.h"
#include "support/test_files_win.h"
#include "wizard/install_status_win.h"
#include "wizard/wizard_layout.h"

namespace {
using namespace e2e;

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
  EXPECT_EQ(item_text(page, IDC_HEADING),
            "This Wizard will install example on your computer. Click Next to continue or Cancel "
            "to exit the Setup Wizard.");
  EXPECT_EQ(item_text(page, IDC_INFO_TEXT),
            "The example package shows what a kitpack installer does.\r\nIt installs one module "
            "and one post-install script.");
  EXPECT_EQ(item_text(page, IDC_BUILD_INFO), "Built with mkpkg_kitpack");
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
  EXPECT_EQ(item_text(page, IDC_HEADING),
            "Python 9.9 is required for this package. Select installation to use:");
  EXPECT_EQ(list_count(page, IDC_PYTHON_LIST), 0);
  EXPECT_EQ(item_text(page, IDC_PYTHON_DIR), "");
  EXPECT_EQ(item_text(page, IDC_INSTALL_DIR), "");
  EXPECT_TRUE(wait_until([&] { return buttons_are(run.sheet, true, false); }));
  press_wizard_button(run.sheet, PSBTN_BACK);
  EXPECT_NE(wait_page(run.sheet, intro), nullptr);
  press_wizard_button(run.sheet, PSBTN_CANCEL);
  EXPECT_EQ(run.process.wait_exit(), 0);
}

TEST(WizardE2E, ChoosingAPythonFillsTheDirectoriesAndCancelInstallsNothing) {
  forget_test_pythons();
  registered_python older(HKEY_CURRENT_USER, "9.1");
  registered_python newer(HKEY_CURRENT_USER, "9.2");
  wizard_session run(fixture("example"));
  ASSERT_NE(run.sheet, nullptr);
  ASSERT_NE(wait_page(run.sheet, intro), nullptr);
  HWND page = run.next_to(select_python);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(item_text(page, IDC_HEADING), "Select python installation to use:");
  // Rows are sorted; the last, the highest version, is chosen at first.
  int rows = list_count(page, IDC_PYTHON_LIST);
  ASSERT_GE(rows, 2);
  EXPECT_EQ(list_text(page, IDC_PYTHON_LIST, rows - 1), "Python Version 9.2 (found in registry)");
  EXPECT_EQ(list_text(page, IDC_PYTHON_LIST, rows - 2), "Python Version 9.1 (found in registry)");
  EXPECT_EQ(list_selection(page, IDC_PYTHON_LIST), rows - 1);
  EXPECT_TRUE(wait_until([&] { return item_text(page, IDC_PYTHON_DIR) == newer.dir() + "\\"; }));
  EXPECT_EQ(item_text(page, IDC_INSTALL_DIR), newer.dir() + "\\Lib\\site-packages\\");
  EXPECT_TRUE(wait_until([&] { return buttons_are(run.sheet, true, true); }));
  screenshot("select-python-page");

  select_list_row(page, IDC_PYTHON_LIST, rows - 2);
  EXPECT_TRUE(wait_until([&] { return item_text(page, IDC_PYTHON_DIR) == older.dir() + "\\"; }));
  EXPECT_EQ(item_text(page, IDC_INSTALL_DIR), older.dir() + "\\Lib\\site-packages\\");

  HWND install_page = run.next_to(install);
  ASSERT_NE(install_page, nullptr);
  EXPECT_EQ(item_text(install_page, IDC_HEADING),
            "Click Next to begin the installation of example. If you want to review or change "
            "any of your  installation settings, click Back. Click Cancel to exit the wizard.");
  EXPECT_EQ(item_text(install_page, IDC_ITEM_LINE), "Ready to install");
  EXPECT_TRUE(wait_until([&] { return buttons_are(run.sheet, true, true); }));
  screenshot("install-page");

  // Back to choose again: the list is not scanned twice.
  press_wizard_button(run.sheet, PSBTN_BACK);
  ASSERT_EQ(wait_page(run.sheet, select_python), page);
  EXPECT_EQ(list_count(page, IDC_PYTHON_LIST), rows);
  select_list_row(page, IDC_PYTHON_LIST, rows - 1);
  EXPECT_TRUE(wait_until([&] { return item_text(page, IDC_PYTHON_DIR) == newer.dir() + "\\"; }));
  ASSERT_NE(run.next_to(install), nullptr);

  press_wizard_button(run.sheet, PSBTN_CANCEL);
  EXPECT_EQ(run.process.wait_exit(), 0);
  EXPECT_TRUE(registered_packages("example-py9.").empty());
  EXPECT_FALSE(file_exists(newer.dir() + "\\example-kitpack.log"));
  EXPECT_FALSE(file_exists(older.dir() + "\\example-kitpack.log"));
  EXPECT_FALSE(file_exists(newer.dir() + "\\Removeexample.exe"));
}

TEST(WizardE2E, FailedExtractionIsShownAndNothingRunsAfterIt) {
  struct row {
    const char* what;
    std::string (*damage)(const std::string&, const temp_folder&);
    const char* installer = "wizard-no-preinstall";
    const char* damaged_file = nullptr;  // made at full length before its data is found damaged
  };
  // A member whose size says empty while its CRC says otherwise is damage
  // too: no empty file is installed for it, and the walk stops. In a signed
  // installer a byte changed after signing breaks the signature, which is
  // Windows' to check; the stub finds the damage in the member's data.
  const row rows[] = {{"a spoiled central entry", with_broken_archive},
                      {"a member's size damaged to 0", with_first_member_emptied},
                      {"a signed installer's member byte flipped", with_member_byte_flipped,
                       "signed-no-preinstall", "\\Lib\\site-packages\\example\\__init__.py"}};
  for (const row& r : rows) {
    SCOPED_TRACE(r.what);
    forget_test_pythons();
    registered_python python(HKEY_CURRENT_USER, "9.3");
    temp_folder folder;
    std::string image = r.damage(fixture(r.installer), folder);
    wizard_session run(image);
    ASSERT_NE(run.sheet, nullptr);
    HWND page = install_with(run, "Python Version 9.3 (found in registry)");
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(wait_until([&] { return item_text(page, IDC_OUTPUT_BOX) == "Failed to unzip installation files"; }))
        << item_text(page, IDC_OUTPUT_BOX);
    EXPECT_EQ(item_text(page, IDC_HEADING), "Click the Finish button to exit the Setup wizard.");
    EXPECT_TRUE(wait_until([&] {
      return wizard_button_enabled(run.sheet, PSBTN_FINISH) && !wizard_button_enabled(run.sheet, PSBTN_BACK);
    }));
    if (r.damage == with_broken_archive) screenshot("finish-page-failed");
    press_wizard_button(run.sheet, PSBTN_FINISH);
    EXPECT_EQ(run.process.wait_exit(), 0);

    // Registered before the files were written, and left so: nothing is rolled back.
    std::string log = read_file(python.dir() + "\\example-kitpack.log");
    EXPECT_NE(log.find("999 Root Key: HKEY_CURRENT_USER"), std::string::npos) << log;
    std::vector<std::string> copies, damaged;
    for (const std::string& line : split_lines(log))
      if (line.rfind("200 File Copy", 0) == 0) copies.push_back(line);
    if (r.damaged_file) damaged.push_back("200 File Copy: " + python.dir() + r.damaged_file);
    EXPECT_EQ(copies, damaged) << "no other file, no compiled file";
    EXPECT_EQ(log.find("300 Run Script"), std::string::npos) << "no post-install script";
    EXPECT_EQ(log.find("*** Installation finished"), std::string::npos);
    EXPECT_TRUE(file_exists(python.dir() + "\\Removeexample.exe"));
    EXPECT_EQ(registered_packages("example-py9.3"), std::vector<std::string>{"example-py9.3"});
    EXPECT_EQ(directory_exists(python.dir() + "\\Lib\\site-packages\\example"), r.damaged_file != nullptr);
    forget_package(HKEY_CURRENT_USER, "9.3");
  }
}

TEST(WizardE2E, PythonThatCannotRunThePreinstallScriptStopsTheInstallation) {
  forget_test_pythons();
  registered_python python(HKEY_CURRENT_USER, "9.4");  // no python94.dll anywhere
  wizard_session run(fixture("example"));
  ASSERT_NE(run.sheet, nullptr);
  HWND page = install_with(run, "Python Version 9.4 (found in registry)");
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(wait_until([&] {
    return item_text(page, IDC_OUTPUT_BOX).rfind("Can't load Python for pre-install script (", 0) == 0;
  })) << item_text(page, IDC_OUTPUT_BOX);
  press_wizard_button(run.sheet, PSBTN_FINISH);
  EXPECT_EQ(run.process.wait_exit(), 0);
  std::string log = read_file(python.dir() + "\\example-kitpack.log");
  EXPECT_EQ(log.find("200 File Copy"), std::string::npos) << "nothing extracted";
  EXPECT_FALSE(directory_exists(python.dir() + "\\Lib\\site-packages\\example"));
  forget_package(HKEY_CURRENT_USER, "9.4");
}

TEST(WizardE2E, FullInstallationOfTheExamplePackage) {
  std::string dll = stand_in_python_dll();
  ASSERT_TRUE(file_exists(dll)) << dll;
  standin_install python(python27);
  const std::string d = python.dir();
  wizard_session run(fixture("example"));
  ASSERT_NE(run.sheet, nullptr);
  HWND finish_page = install_into(run, d);
  ASSERT_NE(finish_page, nullptr);
  EXPECT_TRUE(wait_until([&] {
    return item_text(finish_page, IDC_HEADING) ==
           "Postinstall script finished.\nClick the Finish button to exit the Setup wizard.";
  })) << item_text(finish_page, IDC_HEADING);
  std::cout << "post-install output: " << item_text(finish_page, IDC_OUTPUT_BOX) << "\n";
  EXPECT_NE(item_text(finish_page, IDC_OUTPUT_BOX).find("example installed"), std::string::npos);
  screenshot("finish-page");
  press_wizard_button(run.sheet, PSBTN_FINISH);
  EXPECT_EQ(run.process.wait_exit(), 0);

  const std::string entry = std::string(uninstall_key) + "\\example-py2.7";
  const std::string log = d + "\\example-kitpack.log";
  const std::string site = d + "\\Lib\\site-packages\\example";
  // The post-install script makes a shortcut and records it with file_created.
  char programs[MAX_PATH];
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE));
  const std::string shortcut = std::string(programs) + "\\Example post-install script.lnk";
  std::vector<std::string> expected = expected_log_head(fixture("example"), d);
  const std::vector<std::string> records = {
      "100 Made Dir: " + site,
      "200 File Copy: " + site + "\\__init__.py",
      "200 File Copy: " + d + "\\Scripts\\example_post.py",
      "200 File Copy: " + d + "\\Scripts\\example_post.pyc",
      "200 File Copy: " + site + "\\__init__.pyc",
      "200 File Copy: " + d + "\\Scripts\\example_post.pyo",
      "200 File Copy: " + site + "\\__init__.pyo",
      "300 Run Script: [python27.dll]" + d + "\\Scripts\\example_post.py",
      "200 File Copy: " + shortcut,
      "*** Installation finished",
  };
  expected.insert(expected.end(), records.begin(), records.end());
  EXPECT_EQ(log_lines_without_times(log), expected);
  EXPECT_TRUE(file_exists(site + "\\__init__.py"));
  EXPECT_TRUE(file_exists(d + "\\Scripts\\example_post.py"));
  EXPECT_EQ(read_file(d + "\\Removeexample.exe"), read_file(stub_path()));
  EXPECT_EQ(registry_text(HKEY_CURRENT_USER, entry, "DisplayName"), "Python 2.7 Example 1.0");
  EXPECT_EQ(registry_text(HKEY_CURRENT_USER, entry, "UninstallString"),
            "\"" + d + "\\Removeexample.exe\" -u \"" + log + "\"");
  EXPECT_TRUE(file_exists(shortcut));
  DeleteFileA(shortcut.c_str());
  forget_package(HKEY_CURRENT_USER, "2.7");
}

}  // namespace
