// An installer that the packer made from a wheel (tests/tools/tiny_project,
// built by pip) installs the wheel's files, its dist-info and its two commands
// into the Python 3 a user picks, so that the package is an installed
// distribution there whose commands start that Python, and the UninstallString
// takes all of it away again.
#include <windows.h>
#include <prsht.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "driver/driver_win.h"
#include "e2e/wizard_session_win.h"
#include "resources/resource_ids.h"
#include "support/test_files_win.h"

namespace {
using namespace e2e;

const std::string entry = std::string(uninstall_key) + "\\tiny-pkg-py3.12";
const char dist_info[] = "\\Lib\\site-packages\\tiny_pkg-1.0.dist-info\\";

bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The files of RECORD's rows (the path up to the first comma: our paths hold
// none), relative to the Python folder: "../../" climbs out of
// Lib\site-packages.
std::set<std::string> record_files(const std::string& record) {
  std::set<std::string> files;
  for (const std::string& line : split_lines(record)) {
    std::string path = line.substr(0, line.find(','));
    if (path.empty()) continue;
    std::replace(path.begin(), path.end(), '/', '\\');
    files.insert(path.rfind("..\\..\\", 0) == 0 ? path.substr(6) : "Lib\\site-packages\\" + path);
  }
  return files;
}

// Installs the wheel's package through the wizard into the Python in dir and
// finishes the wizard.
void install_wheel_into(const std::string& dir) {
  wizard_session run(fixture("wheel"));
  ASSERT_NE(run.sheet, nullptr);
  HWND page = install_into(run, dir);
  ASSERT_NE(page, nullptr);
  ASSERT_TRUE(wait_until([&] { return wizard_button_enabled(run.sheet, PSBTN_FINISH); }));
  EXPECT_EQ(item_text(page, IDC_HEADING), "Click the Finish button to exit the Setup wizard.");
  press_wizard_button(run.sheet, PSBTN_FINISH);
  ASSERT_EQ(run.process.wait_exit(), 0);
}

// What the Python folder holds before any installation: standin_install's
// folders and DLL, and the stand-in python.exe and pythonw.exe.
const std::vector<std::string> bare_python = {"Lib\\",       "Lib\\site-packages\\", "Scripts\\",
                                              "python.exe", "python312.dll",        "pythonw.exe"};

// What the installer adds beside the wheel's files: the log, the uninstaller
// and the compiled modules.
bool made_by_the_installer(const std::string& path) {
  return path == "tiny-pkg-kitpack.log" || path == "Removetiny-pkg.exe" || ends_with(path, ".pyc") ||
         ends_with(path, ".pyo") || ends_with(path, "\\") || std::count(bare_python.begin(), bare_python.end(), path);
}

struct package_cleanup {
  ~package_cleanup() { RegDeleteTreeA(HKEY_CURRENT_USER, entry.c_str()); }
};

// Runs an installed command with the stand-in's report in the Python folder d;
// the report's lines: the python it started, its command line, its process
// id, the command's __main__.py.
std::vector<std::string> run_installed_command(const std::string& d, const std::string& name) {
  SetEnvironmentVariableA("KITPACK_STANDIN_REPORT", (d + "\\report.txt").c_str());
  driven_process command(d + "\\Scripts\\" + name + ".exe", "--flag \"two words\"");
  EXPECT_EQ(command.wait_exit(), 0) << name;
  SetEnvironmentVariableA("KITPACK_STANDIN_REPORT", nullptr);
  std::vector<std::string> lines = split_lines(read_file(d + "\\report.txt"));
  DeleteFileA((d + "\\report.txt").c_str());
  return lines;
}

TEST(WheelE2E, InstallsAnInstalledDistributionWithItsCommandsAndTheUninstallStringRemovesIt) {
  ASSERT_TRUE(file_exists(python3_standin()));
  package_cleanup cleanup;
  standin_install python(python312);
  const std::string d = python.dir();
  for (const char* exe : {"python.exe", "pythonw.exe"})
    ASSERT_TRUE(CopyFileA(windows_path(std::string(STANDIN_PYTHON_DIR "/") + exe).c_str(), (d + "\\" + exe).c_str(),
                          FALSE));
  install_wheel_into(d);
  if (HasFatalFailure()) return;

  // The module, the script as the wheel holds it, the header where an
  // installation puts headers, the data file, and the dist-info.
  EXPECT_NE(read_file(d + "\\Lib\\site-packages\\tiny_pkg\\__init__.py").find("hello from tiny_pkg"),
            std::string::npos);
  EXPECT_EQ(read_file(d + "\\Scripts\\tiny_tool.py").rfind("#!python\n", 0), 0u);
  EXPECT_TRUE(file_exists(d + "\\Include\\tiny-pkg\\tiny_pkg.h"));
  EXPECT_EQ(read_file(d + "\\share\\tiny-pkg\\tiny_pkg.dat"), "tiny data\n");
  EXPECT_NE(read_file(d + dist_info + "METADATA").find("Name: tiny-pkg\n"), std::string::npos);
  EXPECT_EQ(read_file(d + dist_info + "INSTALLER"), "kitpack\n");
  EXPECT_TRUE(file_exists(d + dist_info + "REQUESTED"));

  // RECORD lists every file the wheel brought, the dist-info's own included,
  // the two commands, and the files the compile passes made, as pip lists
  // them; nothing else.
  const std::vector<std::string> installed = folder_tree(d);
  std::set<std::string> from_wheel, recorded;
  for (const std::string& path : installed) {
    if (!made_by_the_installer(path)) from_wheel.insert(path);
    if (ends_with(path, ".pyc")) recorded.insert(path);
  }
  EXPECT_EQ(from_wheel.size(), 13u);
  EXPECT_EQ(recorded.size(), 4u);
  EXPECT_TRUE(from_wheel.count("Scripts\\tiny-hello.exe") && from_wheel.count("Scripts\\tiny-window.exe"));
  recorded.insert(from_wheel.begin(), from_wheel.end());
  EXPECT_EQ(record_files(read_file(d + dist_info + "RECORD")), recorded);
  EXPECT_EQ(registry_text(HKEY_CURRENT_USER, entry, "DisplayName"), "Python 3.12 tiny-pkg 1.0");

  // Each command starts the Python of its installation on its own file.
  const struct {
    const char* name;
    const char* python;
    const char* call;
  } commands[] = {{"tiny-hello", "python.exe", "    sys.exit(main())"},
                  {"tiny-window", "pythonw.exe", "    sys.exit(window.show())"}};
  for (const auto& command : commands) {
    std::vector<std::string> report = run_installed_command(d, command.name);
    ASSERT_GE(report.size(), 4u) << command.name;
    const std::string python_exe = d + "\\" + command.python;
    EXPECT_EQ(report[0], python_exe);
    EXPECT_EQ(report[1], "\"" + python_exe + "\" \"" + d + "\\Scripts\\" + command.name + ".exe\" --flag \"two words\"");
    EXPECT_NE(std::find(report.begin(), report.end(), command.call), report.end()) << command.name;
  }

  // The uninstall, started as the list of installed software starts it.
  const std::string line = registry_text(HKEY_CURRENT_USER, entry, "UninstallString");
  const std::string exe = d + "\\Removetiny-pkg.exe";
  const std::string args = "-u \"" + d + "\\tiny-pkg-kitpack.log\"";
  ASSERT_EQ(line, "\"" + exe + "\" " + args);
  driven_process uninstaller(exe, args);
  EXPECT_EQ(answer_box(uninstaller, IDYES).caption, "Please confirm");
  seen_box summary = answer_box(uninstaller, IDOK);
  EXPECT_EQ(summary.caption, "Uninstall Finished!");
  // Thirteen files of the wheel, four compiled modules and the log; the
  // package's two folders in site-packages, the two of the header and the
  // data, and the two compile caches.
  EXPECT_EQ(summary.text, "18 files and 8 directories removed");
  EXPECT_EQ(uninstaller.wait_exit(), 0);
  EXPECT_TRUE(wait_until([&] { return !file_exists(exe) && !file_exists(exe + ".bat"); }, 10000));
  EXPECT_EQ(folder_tree(d), bare_python);
  EXPECT_EQ(registry_text(HKEY_CURRENT_USER, entry, "UninstallString"), "");
}

}  // namespace
