// The uninstaller copy started as Windows' list of installed software starts
// it, against what an installation leaves behind, answered through its boxes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/chosen_python_win.h"
#include "common/fixed_text.h"
#include "common/owner_win.h"
#include "common/program_win.h"
#include "driver/driver_win.h"
#include "record/install_log_win.h"
#include "record/uninstall_registration_win.h"
#include "startup/package_image_win.h"
#include "startup/setup_config.h"
#include "support/test_files_win.h"
#include "support/test_registry_win.h"

namespace {

constexpr char UNINSTALL_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string package_key_path(const std::string& key) { return std::string(UNINSTALL_KEY) + "\\" + key; }

bool value_exists(HKEY root, const std::string& path, const char* name) {
  return RegGetValueA(root, path.c_str(), name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// What an installation of package "name" for Python 2.5 leaves in a Python
// directory: files and directories, the Uninstall entry, the uninstaller copy
// and the log with its lines.
class installed_package {
 public:
  installed_package(const std::string& name, HKEY root) : name_(name), root_(root) {
    key_ = name + "-py2.5";
    RegDeleteTreeA(root_, package_key_path(key_).c_str());
    uninstaller_ = python_ / ("Remove" + name + ".exe");
    log_ = python_ / (name + "-kitpack.log");
    uninstall_string_ = "\"" + uninstaller_ + "\" -u \"" + log_ + "\"";
    CreateDirectoryA((python_ / "Lib").c_str(), nullptr);
    CreateDirectoryA((python_ / "Scripts").c_str(), nullptr);
    EXPECT_TRUE(CopyFileA(stub_path().c_str(), uninstaller_.c_str(), FALSE));
  }
  ~installed_package() {
    RegDeleteTreeA(root_, package_key_path(key_).c_str());
    gone_within(uninstaller_ + ".bat", 5000);
  }
  installed_package(const installed_package&) = delete;
  installed_package& operator=(const installed_package&) = delete;

  std::string path(const std::string& relative) const { return python_ / relative; }
  const std::string& log() const { return log_; }
  const std::string& uninstaller() const { return uninstaller_; }
  const std::string& key() const { return key_; }

  // The header, registry entry and records of one installation.
  void install(const char* root_name, bool new_key = true) {
    write_registry_entry();
    add("*** Installation started 2008/03/01 10:15 ***");
    add("Source: C:\\Temp\\" + name_ + "-setup.exe");
    if (root_name) add(std::string("999 Root Key: ") + root_name);
    if (new_key) add(std::string("020 Reg DB Key: [") + UNINSTALL_KEY + "]" + key_);
    add("040 Reg DB Value: [" + package_key_path(key_) + "]DisplayName=Python 2.5 Example 1.0");
    add("040 Reg DB Value: [" + package_key_path(key_) + "]UninstallString=" + uninstall_string_);
  }
  void made_dir(const std::string& relative) {
    CreateDirectoryA(path(relative).c_str(), nullptr);
    add("100 Made Dir: " + path(relative));
  }
  void file(const std::string& relative, const char* phrase = "File Copy") {
    write_file(path(relative), "content of " + relative);
    add(std::string("200 ") + phrase + ": " + path(relative));
  }
  void finished() { add("*** Installation finished 2008/03/01 10:16 ***"); }
  void add(const std::string& line) { log_text_ += line + "\r\n"; }
  void write_log() { ASSERT_TRUE(write_file(log_, log_text_)); }

  // The UninstallString's command line, as Windows would start it.
  std::string arguments() const { return "-u \"" + log_ + "\""; }

  bool entry_exists() const { return key_exists(root_, package_key_path(key_)); }
  bool value_exists(const char* name) const { return ::value_exists(root_, package_key_path(key_), name); }

 private:
  void write_registry_entry() {
    unique_hkey key;
    ASSERT_EQ(RegCreateKeyExA(root_, package_key_path(key_).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              key.put(), nullptr),
              ERROR_SUCCESS);
    const std::string display = "Python 2.5 Example 1.0";
    RegSetValueExA(key.get(), "DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(display.c_str()),
                   static_cast<DWORD>(display.size() + 1));
    RegSetValueExA(key.get(), "UninstallString", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(uninstall_string_.c_str()),
                   static_cast<DWORD>(uninstall_string_.size() + 1));
  }

  temp_folder python_;
  std::string name_;
  HKEY root_;
  std::string key_;
  std::string uninstaller_;
  std::string log_;
  std::string uninstall_string_;
  std::string log_text_;
};

// The example package's tree, recorded as an installation records it.
void install_example(installed_package& pkg, const char* root_name = "HKEY_LOCAL_MACHINE") {
  pkg.install(root_name);
  pkg.made_dir("Lib\\example");
  pkg.file("Lib\\example\\__init__.py");
  pkg.made_dir("Lib\\example\\sub dir");
  pkg.file("Lib\\example\\sub dir\\mod.py");
  pkg.file("Scripts\\example_post.py", "File Overwrite");
  pkg.file("Lib\\example\\__init__.pyc");
  pkg.file("Lib\\example\\sub dir\\mod.pyc");
  pkg.file("Scripts\\example_post.pyc");
}
const char* const EXAMPLE_FILES[] = {"Lib\\example\\__init__.py", "Lib\\example\\sub dir\\mod.py",
                                     "Scripts\\example_post.py", "Lib\\example\\__init__.pyc",
                                     "Lib\\example\\sub dir\\mod.pyc", "Scripts\\example_post.pyc"};
const char* const EXAMPLE_DIRS[] = {"Lib\\example\\sub dir", "Lib\\example"};

// Confirms with Yes and returns the summary box's text.
std::string confirm_and_read_summary(driven_process& process) {
  seen_box confirm = answer_box(process, IDYES);
  EXPECT_EQ(confirm.caption, "Please confirm");
  EXPECT_EQ(confirm.text, "Are you sure you want to remove\nthis package from your computer?");
  seen_box summary = answer_box(process, IDOK);
  EXPECT_EQ(summary.caption, "Uninstall Finished!");
  EXPECT_EQ(process.wait_exit(), 0);
  return summary.text;
}

void expect_removed(installed_package& pkg) {
  for (const char* file : EXAMPLE_FILES) EXPECT_FALSE(file_exists(pkg.path(file))) << file;
  for (const char* dir : EXAMPLE_DIRS) EXPECT_FALSE(directory_exists(pkg.path(dir))) << dir;
  EXPECT_TRUE(directory_exists(pkg.path("Scripts")));  // not made by the installation
  EXPECT_FALSE(pkg.entry_exists());
  EXPECT_FALSE(file_exists(pkg.log()));
  EXPECT_TRUE(gone_within(pkg.uninstaller(), 10000)) << "uninstaller copy stays";
  EXPECT_TRUE(gone_within(pkg.uninstaller() + ".bat", 10000)) << "batch file stays";
}

TEST(UninstallE2E, YesRemovesEverythingTheLogNamesAndTheUninstallerItself) {
  installed_package pkg("kpu-full", HKEY_LOCAL_MACHINE);
  install_example(pkg);
  pkg.add("300 Run Script: [python25.dll]" + pkg.path("Scripts\\example_post.py"));
  pkg.finished();
  pkg.write_log();
  driven_process process(pkg.uninstaller(), pkg.arguments());
  // Six files and the log; two directories.
  EXPECT_EQ(confirm_and_read_summary(process), "7 files and 2 directories removed");
  expect_removed(pkg);
}

TEST(UninstallE2E, NoLeavesEverythingInPlace) {
  installed_package pkg("kpu-no", HKEY_LOCAL_MACHINE);
  install_example(pkg);
  pkg.write_log();
  driven_process process(pkg.uninstaller(), pkg.arguments());
  seen_box confirm = answer_box(process, IDNO);
  EXPECT_EQ(confirm.caption, "Please confirm");
  // The uninstaller has ended; a batch it should not have started would have
  // left its .bat, or taken the uninstaller with it, which the checks see.
  EXPECT_EQ(process.wait_exit(), 0);
  for (const char* file : EXAMPLE_FILES) EXPECT_TRUE(file_exists(pkg.path(file))) << file;
  for (const char* dir : EXAMPLE_DIRS) EXPECT_TRUE(directory_exists(pkg.path(dir))) << dir;
  EXPECT_TRUE(pkg.entry_exists());
  EXPECT_TRUE(pkg.value_exists("DisplayName"));
  EXPECT_TRUE(pkg.value_exists("UninstallString"));
  EXPECT_TRUE(file_exists(pkg.log()));
  EXPECT_TRUE(file_exists(pkg.uninstaller()));
  EXPECT_FALSE(file_exists(pkg.uninstaller() + ".bat"));
}

TEST(UninstallE2E, EmptyLogCountsOnlyItself) {
  installed_package pkg("kpu-empty", HKEY_LOCAL_MACHINE);
  pkg.write_log();
  driven_process process(pkg.uninstaller(), pkg.arguments());
  EXPECT_EQ(confirm_and_read_summary(process), "1 files and 0 directories removed");
  EXPECT_FALSE(file_exists(pkg.log()));
  EXPECT_TRUE(gone_within(pkg.uninstaller(), 10000));
}

TEST(UninstallE2E, GoneFileCountsNeitherWayAndUnnamedFileKeepsItsDirectory) {
  installed_package pkg("kpu-user", HKEY_LOCAL_MACHINE);
  install_example(pkg);
  pkg.write_log();
  ASSERT_TRUE(DeleteFileA(pkg.path("Lib\\example\\__init__.pyc").c_str()));
  ASSERT_TRUE(write_file(pkg.path("Lib\\example\\sub dir\\notes.txt"), "the user's own"));
  driven_process process(pkg.uninstaller(), pkg.arguments());
  // Five files and the log; "sub dir" stays, so its parent stays as well.
  EXPECT_EQ(confirm_and_read_summary(process),
            "6 files and 0 directories removed\n2 files or directories could not be removed");
  EXPECT_TRUE(file_exists(pkg.path("Lib\\example\\sub dir\\notes.txt")));
  EXPECT_TRUE(directory_exists(pkg.path("Lib\\example")));
  EXPECT_FALSE(file_exists(pkg.path("Lib\\example\\__init__.py")));
  EXPECT_FALSE(pkg.entry_exists());
  EXPECT_TRUE(gone_within(pkg.uninstaller(), 10000));
}

TEST(UninstallE2E, TwoInstallationsInOneLogAreUndoneOnce) {
  installed_package pkg("kpu-twice", HKEY_LOCAL_MACHINE);
  install_example(pkg);
  pkg.finished();
  // The second installation found the package key and wrote no "020" line.
  pkg.install("HKEY_LOCAL_MACHINE", false);
  pkg.file("Lib\\example\\__init__.py");
  pkg.file("Lib\\example\\sub dir\\mod.py");
  pkg.file("Scripts\\example_post.py", "File Overwrite");
  pkg.file("Lib\\example\\__init__.pyc");
  pkg.file("Lib\\example\\sub dir\\mod.pyc");
  pkg.file("Scripts\\example_post.pyc");
  pkg.finished();
  pkg.write_log();
  driven_process process(pkg.uninstaller(), pkg.arguments());
  EXPECT_EQ(confirm_and_read_summary(process), "7 files and 2 directories removed");
  expect_removed(pkg);
}

TEST(UninstallE2E, CurrentUserLogWorksUnderTheCurrentUser) {
  installed_package pkg("kpu-user-root", HKEY_CURRENT_USER);
  // A same-named entry of the machine must survive.
  installed_package machine("kpu-user-root", HKEY_LOCAL_MACHINE);
  machine.install("HKEY_LOCAL_MACHINE");
  install_example(pkg, "HKEY_CURRENT_USER");
  pkg.write_log();
  driven_process process(pkg.uninstaller(), pkg.arguments());
  EXPECT_EQ(confirm_and_read_summary(process), "7 files and 2 directories removed");
  expect_removed(pkg);
  EXPECT_TRUE(machine.entry_exists());
  EXPECT_TRUE(machine.value_exists("DisplayName"));
}

TEST(UninstallE2E, LogWithoutRootKeyWorksUnderTheMachine) {
  installed_package pkg("kpu-noroot", HKEY_LOCAL_MACHINE);
  installed_package user("kpu-noroot", HKEY_CURRENT_USER);
  user.install("HKEY_CURRENT_USER");
  install_example(pkg, nullptr);
  pkg.write_log();
  driven_process process(pkg.uninstaller(), pkg.arguments());
  EXPECT_EQ(confirm_and_read_summary(process), "7 files and 2 directories removed");
  expect_removed(pkg);
  EXPECT_TRUE(user.entry_exists());
}

struct argument_case {
  const char* name;
  std::string args;
  const char* text;
};

TEST(UninstallE2E, ArgumentErrorsShowTheDefaultCaptionAndExitWithOne) {
  installed_package pkg("kpu-args", HKEY_LOCAL_MACHINE);
  install_example(pkg);
  pkg.write_log();
  const argument_case cases[] = {
      {"no log", "-u", "Wrong number of args"},
      {"one too many", pkg.arguments() + " extra", "Wrong number of args"},
      {"not -u", "-x \"" + pkg.log() + "\"", "2. arg is not -u"},
      {"missing log", "-u \"" + pkg.path("missing.log") + "\"", "could not open logfile"},
      // The runtime library's splitting: quotes join words, and empty quotes
      // are an argument of their own.
      {"quoted blank joins", "-u missing\" \"log", "could not open logfile"},
      {"empty quotes count", "-u \"\" \"\"", "Wrong number of args"},
  };
  for (const argument_case& c : cases) {
    driven_process process(pkg.uninstaller(), c.args);
    seen_box box = answer_box(process, IDOK);
    EXPECT_EQ(box.text, c.text) << c.name;
    EXPECT_EQ(box.caption, "Error") << c.name;
    EXPECT_EQ(process.wait_exit(), 1) << c.name;
  }
  EXPECT_TRUE(file_exists(pkg.log()));
  EXPECT_TRUE(file_exists(pkg.uninstaller()));
  EXPECT_TRUE(pkg.entry_exists());
}

// Started with /S, the uninstaller shows no box: what the boxes would say goes
// to the report, and the exit code tells whether everything went.
TEST(UninstallE2E, SilentRunsShowNoWindowAndTellTheirOutcome) {
  struct row {
    const char* what;
    bool user_file;         // a file the log does not name keeps its directory
    std::string switches;   // behind the log, <report> standing for the report's path
    long exit_code;
    std::string report;     // empty: none is written
    bool removed;
  };
  const row rows[] = {
      {"everything", false, "/S /REPORT=<report>", 0,
       "7 files and 2 directories removed\r\nUninstalled (exit code 0)\r\n", true},
      {"without a report", false, "/s", 0, "", true},
      {"a directory stays", true, "/S /Report=<report>", 2,
       "7 files and 0 directories removed\r\n2 files or directories could not be removed\r\n"
       "Uninstalled in part: something could not be removed (exit code 2)\r\n", false},
      {"a switch too many", false, "/S /REPORT=<report> /X", 1,
       "Wrong number of args\r\nNot uninstalled (exit code 1)\r\n", false},
      {"the report before /S", false, "/REPORT=<report> /S", 1,
       "Wrong number of args\r\nNot uninstalled (exit code 1)\r\n", false},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.what);
    installed_package pkg("kpu-silent", HKEY_LOCAL_MACHINE);
    install_example(pkg);
    pkg.write_log();
    if (r.user_file) {
      ASSERT_TRUE(write_file(pkg.path("Lib\\example\\sub dir\\notes.txt"), "the user's own"));
    }
    temp_folder reports;
    const std::string report = reports / "uninstall report.txt";
    std::string switches = r.switches;
    if (size_t at = switches.find("<report>"); at != std::string::npos)
      switches.replace(at, 8, "\"" + report + "\"");
    watched_run run = run_watching_windows(pkg.uninstaller(), pkg.arguments() + " " + switches);
    EXPECT_EQ(run.exit_code, r.exit_code);
    EXPECT_EQ(run.windows, std::vector<std::string>{});
    EXPECT_EQ(run.hidden_windows, std::vector<std::string>{});
    EXPECT_EQ(read_file(report), r.report);
    if (r.removed) expect_removed(pkg);
    EXPECT_EQ(file_exists(pkg.path("Lib\\example\\__init__.py")), r.exit_code == 1);
  }
}

// What the install record itself writes (log, entry, uninstaller copy, the
// records of created files), undone through the UninstallString it stored.
TEST(UninstallE2E, WhatTheInstallRecordWritesIsUndoneThroughItsUninstallString) {
  temp_folder python;
  std::string stub = read_file(stub_path());
  ASSERT_FALSE(stub.empty());
  std::span<const std::byte> installer_image = std::as_bytes(std::span(stub));
  stub_length = static_cast<std::int32_t>(stub.size());
  copy_cut(setup_config.meta_name, sizeof setup_config.meta_name, "kpu-record");
  copy_cut(setup_config.title, sizeof setup_config.title, "Example 1.0");
  copy_cut(module_path, sizeof module_path, "C:\\Temp\\kpu-record-setup.exe");
  chosen_python target;
  copy_cut(target.python_dir, sizeof target.python_dir, python.path());
  target.py_major = 2;
  target.py_minor = 5;
  target.root_hkey = HKEY_LOCAL_MACHINE;
  const std::string key_path = package_key_path("kpu-record-py2.5");
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, key_path.c_str());

  ASSERT_EQ(open_install_record(target, installer_image), 1);
  for (const char* dir : {"pkg", "pkg\\sub"}) {
    ASSERT_TRUE(CreateDirectoryA((python / dir).c_str(), nullptr));
    record_directory_created((python / dir).c_str());
  }
  for (const char* file : {"pkg\\__init__.py", "pkg\\sub\\mod.py", "pkg\\__init__.pyc"}) {
    ASSERT_TRUE(write_file(python / file, "x"));
    record_file_created((python / file).c_str());
  }
  close_install_log();

  char command[1024];
  DWORD size = sizeof command;
  ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, key_path.c_str(), "UninstallString", RRF_RT_REG_SZ, nullptr,
                         command, &size),
            ERROR_SUCCESS);
  // "<uninstaller>" -u "<log>": started as that very command line.
  std::string uninstall_string = command;
  ASSERT_EQ(uninstall_string[0], '"');
  std::size_t quote = uninstall_string.find('"', 1);
  std::string exe = uninstall_string.substr(1, quote - 1);
  std::string args = uninstall_string.substr(quote + 2);
  ASSERT_EQ("\"" + exe + "\" " + args, uninstall_string);
  ASSERT_TRUE(file_exists(exe));

  driven_process process(exe, args);
  EXPECT_EQ(confirm_and_read_summary(process), "4 files and 2 directories removed");
  EXPECT_FALSE(directory_exists(python / "pkg"));
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, key_path));
  EXPECT_FALSE(file_exists(python / "kpu-record-kitpack.log"));
  EXPECT_TRUE(gone_within(exe, 10000));
  EXPECT_TRUE(gone_within(exe + ".bat", 10000));
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, key_path.c_str());
}

}  // namespace
