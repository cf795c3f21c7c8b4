// Install and uninstall as a user does both: the example package goes in
// through the wizard, and comes out again through the command line its
// Uninstall entry names, started as the list of installed software starts it.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/owner_win.h"
#include "driver/driver_win.h"
#include "e2e/wizard_session_win.h"
#include "support/test_files_win.h"

namespace {
using namespace e2e;

const std::string entry = std::string(uninstall_key) + "\\example-py2.7";

// Installs the example package through the wizard into the Python in dir
// (chosen by its directory: two rows may read "Python Version 2.7") and
// finishes the wizard once the post-install script has run.
void install_example_into(const std::string& dir, const char* installer = "example") {
  wizard_session run(fixture(installer));
  ASSERT_NE(run.sheet, nullptr);
  ASSERT_NE(wait_page(run.sheet, intro), nullptr);
  HWND page = run.next_to(select_python);
  ASSERT_NE(page, nullptr);
  bool chosen = false;
  for (int row = 0; row < list_count(page, IDC_PYTHON_LIST) && !chosen; ++row) {
    select_list_row(page, IDC_PYTHON_LIST, row);
    chosen = wait_until([&] { return item_text(page, IDC_PYTHON_DIR) == dir; }, 2000);
  }
  ASSERT_TRUE(chosen);
  ASSERT_NE(run.next_to(install), nullptr);
  HWND finish_page = run.next_to(finish);
  ASSERT_NE(finish_page, nullptr);
  ASSERT_TRUE(wait_until([&] {
    return item_text(finish_page, IDC_HEADING) ==
           "Postinstall script finished.\nClick the Finish button to exit the Setup wizard.";
  })) << item_text(finish_page, IDC_HEADING);
  press_wizard_button(run.sheet, PSBTN_FINISH);
  ASSERT_EQ(run.process.wait_exit(), 0);
}

// The uninstaller and its arguments, split from the UninstallString so that
// the process gets exactly that command line: "<uninstaller>" -u "<log>".
struct uninstall_command {
  std::string exe;
  std::string args;
};

uninstall_command read_uninstall_string(const char* value = "UninstallString") {
  const std::string line = registry_text(HKEY_CURRENT_USER, entry, value);
  uninstall_command command;
  if (line.size() < 2 || line[0] != '"') return command;
  size_t quote = line.find('"', 1);
  if (quote == std::string::npos || quote + 1 >= line.size() || line[quote + 1] != ' ') return command;
  command.exe = line.substr(1, quote - 1);
  command.args = line.substr(quote + 2);
  EXPECT_EQ("\"" + command.exe + "\" " + command.args, line);
  return command;
}

std::string example_shortcut() {
  char programs[MAX_PATH];
  if (!SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE)) return "";
  return std::string(programs) + "\\Example post-install script.lnk";
}

// What the Python folder holds before any installation (standin_install).
const std::vector<std::string> bare_python = {"Lib\\", "Lib\\site-packages\\", "Scripts\\", "python27.dll"};

// Every file and directory an installation of the example leaves.
std::vector<std::string> installed_files(const std::string& d) {
  const std::string site = d + "\\Lib\\site-packages\\example";
  return {site + "\\__init__.py",  site + "\\__init__.pyc",
          site + "\\__init__.pyo", d + "\\Scripts\\example_post.py",
          d + "\\Scripts\\example_post.pyc", d + "\\Scripts\\example_post.pyo",
          example_shortcut(),      d + "\\example-kitpack.log",
          d + "\\Removeexample.exe"};
}

// Leaves no package entry and no shortcut behind for the next test, whatever
// this one did.
struct package_cleanup {
  ~package_cleanup() { forget(); }
  static void forget() {
    DeleteFileA(example_shortcut().c_str());
    forget_package(HKEY_CURRENT_USER, "2.7");
  }
};

// What an installation of the example leaves in the Python folder d, the log
// and the Uninstall entry, with d written as <d>.
struct left_behind {
  std::vector<std::string> tree, log, values;
  bool shortcut;
};

left_behind left_in(const std::string& d) {
  auto without_d = [&](std::string text) {
    for (size_t at; (at = text.find(d)) != std::string::npos;) text.replace(at, d.size(), "<d>");
    return text;
  };
  left_behind left{folder_tree(d), log_lines_without_times(d + "\\example-kitpack.log"), {},
                   file_exists(example_shortcut())};
  for (std::string& line : left.log) line = without_d(line);
  for (const char* value : {"DisplayName", "UninstallString", "QuietUninstallString"})
    left.values.push_back(without_d(registry_text(HKEY_CURRENT_USER, entry, value)));
  return left;
}

// Starts the UninstallString, confirms, answers the uninstall script's box and
// returns the summary; counts the script's boxes in script_boxes.
std::string uninstall_with_yes(const uninstall_command& command, int& script_boxes) {
  driven_process process(command.exe, command.args);
  seen_box confirm = answer_box(process, IDYES);
  EXPECT_EQ(confirm.caption, "Please confirm");
  EXPECT_EQ(confirm.text, "Are you sure you want to remove\nthis package from your computer?");
  script_boxes = 0;
  for (;;) {
    seen_box box = answer_box(process, IDOK);
    if (!box) return "";
    if (box.caption == "uninstall-script") {
      ++script_boxes;
      EXPECT_NE(box.text.find("example removed"), std::string::npos) << box.text;
      continue;
    }
    EXPECT_EQ(box.caption, "Uninstall Finished!");
    EXPECT_EQ(process.wait_exit(), 0);
    return box.text;
  }
}

void expect_nothing_of_the_package_remains(const std::string& d, const uninstall_command& command) {
  for (const std::string& path : installed_files(d)) {
    if (path == command.exe) continue;  // goes later, once its process has ended
    EXPECT_FALSE(file_exists(path)) << path;
  }
  EXPECT_FALSE(directory_exists(d + "\\Lib\\site-packages\\example"));
  EXPECT_FALSE(key_exists(HKEY_CURRENT_USER, entry));
  EXPECT_EQ(registry_text(HKEY_CURRENT_USER, entry, "DisplayName"), "");
  EXPECT_EQ(registry_text(HKEY_CURRENT_USER, entry, "UninstallString"), "");
  EXPECT_EQ(registry_text(HKEY_CURRENT_USER, entry, "QuietUninstallString"), "");
  // The copy goes once its process has ended, then the batch file that removed it.
  EXPECT_TRUE(gone_within(command.exe, 10000)) << "uninstaller copy stays";
  EXPECT_TRUE(gone_within(command.exe + ".bat", 10000)) << "batch file stays";
  EXPECT_EQ(folder_tree(d), bare_python);
}

// The uninstaller copy is the installer's stub part; a signed installer's
// copy has the security entry, which names a table the copy does not hold,
// cleared.
void expect_copy_of_the_stub(const std::string& copy, const std::string& installer) {
  ASSERT_EQ(copy.size(), read_file(stub_path()).size());
  security_directory entry = security_entry_of(copy);
  EXPECT_EQ(entry.table, 0u);
  EXPECT_EQ(entry.size, 0u);
  EXPECT_EQ(copy.substr(0, entry.at), installer.substr(0, entry.at));
  EXPECT_EQ(copy.substr(entry.at + 8), installer.substr(entry.at + 8, copy.size() - entry.at - 8));
}

TEST(RoundTripE2E, UninstallStringRemovesEverythingTheWizardInstalled) {
  ASSERT_TRUE(file_exists(stand_in_python_dll()));
  // The signed installer: made by the packer with a throwaway certificate.
  for (const char* installer : {"example", "signed"}) {
    SCOPED_TRACE(installer);
    const std::string image = read_file(fixture(installer));
    security_directory signature = security_entry_of(image);
    EXPECT_EQ(signature.size != 0 && signature.table + signature.size == image.size(),
              std::string(installer) == "signed");
    package_cleanup cleanup;
    standin_install python(python27);
    const std::string d = python.dir();
    ASSERT_EQ(folder_tree(d), bare_python);
    install_example_into(d, installer);
    if (HasFatalFailure()) return;
    for (const std::string& path : installed_files(d)) ASSERT_TRUE(file_exists(path)) << path;
    expect_copy_of_the_stub(read_file(d + "\\Removeexample.exe"), image);

    uninstall_command command = read_uninstall_string();
    ASSERT_EQ(command.exe, d + "\\Removeexample.exe");
    int script_boxes = 0;
    // Seven installed files (module, .pyc, .pyo, script and its compilations,
    // the shortcut) and the log; the package's directory.
    EXPECT_EQ(uninstall_with_yes(command, script_boxes), "8 files and 1 directories removed");
    EXPECT_EQ(script_boxes, 1);
    expect_nothing_of_the_package_remains(d, command);
  }
}

TEST(RoundTripE2E, TwoInstallationsAreUndoneByOneUninstallRunningTheScriptOnce) {
  ASSERT_TRUE(file_exists(stand_in_python_dll()));
  package_cleanup cleanup;
  standin_install python(python27);
  const std::string d = python.dir();
  install_example_into(d);
  if (HasFatalFailure()) return;
  install_example_into(d);
  if (HasFatalFailure()) return;
  // The second installation appended its own lines, its script record too.
  const std::vector<std::string> log = log_lines_without_times(d + "\\example-kitpack.log");
  EXPECT_EQ(std::count(log.begin(), log.end(), "*** Installation started"), 2);
  EXPECT_EQ(std::count(log.begin(), log.end(),
                       "300 Run Script: [python27.dll]" + d + "\\Scripts\\example_post.py"),
            2);

  uninstall_command command = read_uninstall_string();
  ASSERT_FALSE(command.exe.empty());
  int script_boxes = 0;
  EXPECT_EQ(uninstall_with_yes(command, script_boxes), "8 files and 1 directories removed");
  EXPECT_EQ(script_boxes, 1);
  expect_nothing_of_the_package_remains(d, command);
}

TEST(RoundTripE2E, SilentInstallLeavesWhatTheWizardLeavesAndTheQuietUninstallStringTakesItAway) {
  ASSERT_TRUE(file_exists(stand_in_python_dll()));
  package_cleanup cleanup;
  left_behind by_wizard;
  {
    standin_install python(python27);
    install_example_into(python.dir());
    if (HasFatalFailure()) return;
    by_wizard = left_in(python.dir());
    package_cleanup::forget();
  }
  ASSERT_EQ(by_wizard.values[2], by_wizard.values[1] + " /S");
  standin_install python(python27);
  const std::string d = python.dir();
  temp_folder reports;
  const std::string report = reports / "install report.txt";
  watched_run install = run_watching_windows(fixture("example"), "/S /REPORT=\"" + report + "\"");
  EXPECT_EQ(install.exit_code, 0);
  EXPECT_EQ(install.windows, std::vector<std::string>{});
  EXPECT_EQ(unexpected_hidden_windows(install), std::vector<std::string>{});
  EXPECT_EQ(read_file(report), "example installed\r\nInstalled (exit code 0)\r\n");
  left_behind silently = left_in(d);
  EXPECT_EQ(silently.tree, by_wizard.tree);
  EXPECT_EQ(silently.log, by_wizard.log);
  EXPECT_EQ(silently.values, by_wizard.values);
  EXPECT_TRUE(silently.shortcut);

  uninstall_command quiet = read_uninstall_string("QuietUninstallString");
  ASSERT_EQ(quiet.exe, d + "\\Removeexample.exe");
  watched_run removal = run_watching_windows(quiet.exe, quiet.args);
  EXPECT_EQ(removal.exit_code, 0);
  EXPECT_EQ(removal.windows, std::vector<std::string>{});
  EXPECT_EQ(removal.hidden_windows, std::vector<std::string>{});
  expect_nothing_of_the_package_remains(d, quiet);
}

TEST(RoundTripE2E, NoAfterAnInstallationLeavesItInPlace) {
  ASSERT_TRUE(file_exists(stand_in_python_dll()));
  package_cleanup cleanup;
  standin_install python(python27);
  const std::string d = python.dir();
  install_example_into(d);
  if (HasFatalFailure()) return;
  const std::vector<std::string> installed_tree = folder_tree(d);
  const std::string log_text = read_file(d + "\\example-kitpack.log");

  uninstall_command command = read_uninstall_string();
  ASSERT_FALSE(command.exe.empty());
  driven_process process(command.exe, command.args);
  seen_box confirm = answer_box(process, IDNO);
  EXPECT_EQ(confirm.caption, "Please confirm");
  // The uninstaller has ended; a batch it should not have started would have
  // left its .bat beside it, or taken the uninstaller with it.
  EXPECT_EQ(process.wait_exit(), 0);
  EXPECT_FALSE(file_exists(command.exe + ".bat"));
  EXPECT_TRUE(file_exists(command.exe));
  for (const std::string& path : installed_files(d)) EXPECT_TRUE(file_exists(path)) << path;
  EXPECT_EQ(folder_tree(d), installed_tree);
  EXPECT_EQ(read_file(d + "\\example-kitpack.log"), log_text);
  EXPECT_EQ(registry_text(HKEY_CURRENT_USER, entry, "DisplayName"), "Python 2.7 Example 1.0");
  EXPECT_EQ(registry_text(HKEY_CURRENT_USER, entry, "UninstallString"),
            "\"" + command.exe + "\" " + command.args);
}

}  // namespace
