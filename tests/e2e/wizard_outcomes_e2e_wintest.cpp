// What an installation leaves behind when its package or its scripts differ
// from the example: a pre-install script that fails (in a Python 2 and a
// Python 3), no compile passes, no post-install script; and the package
// picture on every page.
#include <windows.h>
#include <prsht.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/driver_win.h"
#include "e2e/wizard_session_win.h"
#include "support/test_files_win.h"

namespace {
using namespace e2e;

const char finish_text[] = "Click the Finish button to exit the Setup wizard.";

bool only_finish_offered(HWND sheet) {
  return wizard_button_enabled(sheet, PSBTN_FINISH) && !wizard_button_enabled(sheet, PSBTN_BACK) &&
         !wizard_button_enabled(sheet, PSBTN_NEXT);
}

std::string example_shortcut() {
  char programs[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE);
  return std::string(programs) + "\\Example post-install script.lnk";
}

TEST(WizardE2E, FailingPreinstallScriptStopsTheInstallationAndShowsItsOutput) {
  const standin_python versions[] = {python27, python312};
  for (const standin_python& version : versions) {
    SCOPED_TRACE(version.version);
    standin_install python(version);
    const std::string d = python.dir();
    wizard_session run(fixture("failing-preinstall"));
    ASSERT_NE(run.sheet, nullptr);
    HWND page = install_into(run, d);
    ASSERT_NE(page, nullptr);
    const std::string expected =
        "Running the pre-installation script failed\r\n"
        "checking the target\r\n"
        "Traceback (most recent call last):\r\n"
        "  File \"<string>\", line 3, in <module>\r\n"
        "ValueError: this package refuses to install\r\n";
    EXPECT_TRUE(wait_until([&] { return item_text(page, IDC_OUTPUT_BOX) == expected; }))
        << item_text(page, IDC_OUTPUT_BOX);
    // Finish is offered by a message the page posts after the one that would
    // run a post-install script: had one run, it has replaced the texts by now.
    EXPECT_TRUE(wait_until([&] { return only_finish_offered(run.sheet); }));
    EXPECT_EQ(item_text(page, IDC_HEADING), finish_text);
    EXPECT_EQ(item_text(page, IDC_OUTPUT_BOX), expected);
    if (&version == versions) screenshot("finish-page-preinstall-failed");
    press_wizard_button(run.sheet, PSBTN_FINISH);
    EXPECT_EQ(run.process.wait_exit(), 0);

    // Registered before the script ran and left so; nothing extracted, nothing run.
    EXPECT_EQ(log_lines_without_times(d + "\\example-kitpack.log"),
              expected_log_head(fixture("failing-preinstall"), d, version.version));
    EXPECT_FALSE(directory_exists(d + "\\Lib\\site-packages\\example"));
    EXPECT_FALSE(file_exists(d + "\\Scripts\\example_post.py"));
    EXPECT_FALSE(file_exists(example_shortcut()));
    EXPECT_TRUE(file_exists(d + "\\Removeexample.exe"));
    forget_package(HKEY_CURRENT_USER, version.version);
  }
}

TEST(WizardE2E, PackageWithoutPreinstallScriptOrCompilingInstallsOnlyItsFiles) {
  struct row {
    const char* fixture;
    bool post_install_script;
  };
  const row rows[] = {{"no-compile", true}, {"no-compile-no-script", false}};
  for (const row& r : rows) {
    standin_install python(python27);
    const std::string d = python.dir();
    const std::string site = d + "\\Lib\\site-packages\\example";
    wizard_session run(fixture(r.fixture));
    ASSERT_NE(run.sheet, nullptr) << r.fixture;
    HWND page = install_into(run, d);
    ASSERT_NE(page, nullptr) << r.fixture;
    EXPECT_TRUE(wait_until([&] { return only_finish_offered(run.sheet); })) << r.fixture;
    if (r.post_install_script) {
      EXPECT_TRUE(wait_until([&] {
        return item_text(page, IDC_HEADING) == "Postinstall script finished.\nClick the Finish button to exit the Setup wizard.";
      })) << r.fixture << ": " << item_text(page, IDC_HEADING);
      EXPECT_NE(item_text(page, IDC_OUTPUT_BOX).find("example installed"), std::string::npos) << item_text(page, IDC_OUTPUT_BOX);
    } else {
      // Finish, offered above, comes after the step that would run a script.
      EXPECT_EQ(item_text(page, IDC_HEADING), finish_text) << r.fixture;
      EXPECT_EQ(item_text(page, IDC_OUTPUT_BOX), "") << r.fixture;
    }
    press_wizard_button(run.sheet, PSBTN_FINISH);
    EXPECT_EQ(run.process.wait_exit(), 0) << r.fixture;

    std::vector<std::string> expected = expected_log_head(fixture(r.fixture), d);
    expected.push_back("100 Made Dir: " + site);
    expected.push_back("200 File Copy: " + site + "\\__init__.py");
    expected.push_back("200 File Copy: " + d + "\\Scripts\\example_post.py");
    if (r.post_install_script) {
      // Without the finished line the log was never closed by the wizard.
      expected.push_back("300 Run Script: [python27.dll]" + d + "\\Scripts\\example_post.py");
      expected.push_back("200 File Copy: " + example_shortcut());
      expected.push_back("*** Installation finished");
    }
    EXPECT_EQ(log_lines_without_times(d + "\\example-kitpack.log"), expected) << r.fixture;
    EXPECT_TRUE(file_exists(site + "\\__init__.py")) << r.fixture;
    EXPECT_FALSE(file_exists(site + "\\__init__.pyc")) << r.fixture;
    EXPECT_FALSE(file_exists(site + "\\__init__.pyo")) << r.fixture;
    EXPECT_FALSE(file_exists(d + "\\Scripts\\example_post.pyc")) << r.fixture;
    EXPECT_EQ(file_exists(example_shortcut()), r.post_install_script) << r.fixture;
    DeleteFileA(example_shortcut().c_str());
    forget_package(HKEY_CURRENT_USER, "2.7");
  }
}

TEST(WizardE2E, PackagePictureIsShownOnThePages) {
  struct row {
    const char* fixture;
    COLORREF picture;
  };
  // The archive is spoiled so that the run reaches the finish page having
  // written nothing but its log and uninstaller.
  const row rows[] = {{"wizard-picture", RGB(255, 128, 0)},
                      {"wizard-core-picture", RGB(0, 160, 64)},
                      {"wizard-v5-picture", RGB(255, 0, 255)},
                      {"wizard-no-preinstall", RGB(0, 0, 128)}};
  for (const row& r : rows) {
    forget_test_pythons();
    registered_python python(HKEY_CURRENT_USER, "9.5");
    temp_folder folder;
    wizard_session run(with_broken_archive(fixture(r.fixture), folder));
    ASSERT_NE(run.sheet, nullptr) << r.fixture;
    HWND page = wait_page(run.sheet, intro);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(shows_colour(GetDlgItem(page, IDC_PICTURE), r.picture)) << r.fixture << " intro";
    page = run.next_to(select_python);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(shows_colour(GetDlgItem(page, IDC_PICTURE), r.picture)) << r.fixture << " select";
    ASSERT_TRUE(run.choose(page, "Python Version 9.5 (found in registry)"));
    page = run.next_to(install);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(shows_colour(GetDlgItem(page, IDC_PICTURE), r.picture))
        << r.fixture << " install: " << centre_colour(GetDlgItem(page, IDC_PICTURE));
    page = run.next_to(finish);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(wait_until([&] { return only_finish_offered(run.sheet); }));
    EXPECT_TRUE(shows_colour(GetDlgItem(page, IDC_PICTURE), r.picture))
        << r.fixture << " finish: " << centre_colour(GetDlgItem(page, IDC_PICTURE));
    press_wizard_button(run.sheet, PSBTN_FINISH);
    EXPECT_EQ(run.process.wait_exit(), 0);
    forget_package(HKEY_CURRENT_USER, "9.5");
  }
}

}  // namespace
