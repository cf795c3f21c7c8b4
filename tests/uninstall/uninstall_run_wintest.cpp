// The uninstaller's steps inside one process, its boxes recorded. Whole runs
// (which end by removing the running executable) are driven end to end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/chosen_python_win.h"
#include "common/owner_win.h"
#include "support/box_recorder_win.h"
#include "support/test_files_win.h"
#include "uninstall/undo_records_win.h"
#include "uninstall/uninstall_run_win.h"

namespace {

int run_with(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  return run_uninstall(static_cast<int>(args.size()), argv.data());
}

struct argument_case {
  std::vector<std::string> args;
  const char* text;
};

TEST(UninstallRun, ArgumentErrorsShowAPlainBoxAndReturnOne) {
  temp_folder dir;
  std::string log = dir / "pkg-kitpack.log";
  ASSERT_TRUE(write_file(log, "200 File Copy: " + (dir / "keep.txt") + "\n"));
  ASSERT_TRUE(write_file(dir / "keep.txt", "x"));
  const argument_case cases[] = {
      {{"Remove.exe"}, "Wrong number of args"},
      {{"Remove.exe", "-u"}, "Wrong number of args"},
      {{"Remove.exe", "-u", log, "extra"}, "Wrong number of args"},
      {{"Remove.exe", "-U", log}, "2. arg is not -u"},
      {{"Remove.exe", "/u", log}, "2. arg is not -u"},
      {{"Remove.exe", "-u ", log}, "2. arg is not -u"},
      {{"Remove.exe", "u", log}, "2. arg is not -u"},
      {{"Remove.exe", "-u", dir / "missing.log"}, "could not open logfile"},
      {{"Remove.exe", "-u", dir.path()}, "could not open logfile"},
  };
  for (const argument_case& c : cases) {
    box_recorder boxes;
    EXPECT_EQ(run_with(c.args), 1) << c.text;
    ASSERT_EQ(boxes.boxes().size(), 1u) << c.text;
    const recorded_box& box = boxes.boxes()[0];
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.caption, "(null)");
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
  }
  EXPECT_TRUE(file_exists(log));
  EXPECT_TRUE(file_exists(dir / "keep.txt"));
}

TEST(UninstallRun, AnyAnswerButYesLeavesEverything) {
  for (int answer : {IDNO, IDCANCEL, IDOK}) {
    temp_folder dir;
    std::string log = dir / "pkg-kitpack.log";
    ASSERT_TRUE(CreateDirectoryA((dir / "pkg").c_str(), nullptr));
    ASSERT_TRUE(write_file(dir / "pkg\\a.py", "x"));
    ASSERT_TRUE(write_file(log, "999 Root Key: HKEY_CURRENT_USER\r\n100 Made Dir: " + (dir / "pkg") +
                                    "\r\n200 File Copy: " + (dir / "pkg\\a.py") + "\r\n"));
    box_recorder boxes;
    boxes.answer_next(answer);
    EXPECT_EQ(run_with({"Remove.exe", "-u", log}), 0);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    const recorded_box& box = boxes.boxes()[0];
    EXPECT_EQ(box.text, "Are you sure you want to remove\nthis package from your computer?");
    EXPECT_EQ(box.caption, "Please confirm");
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_TRUE(file_exists(log));
    EXPECT_TRUE(file_exists(dir / "pkg\\a.py"));
    EXPECT_TRUE(directory_exists(dir / "pkg"));
  }
}

struct removal_case {
  const char* name;
  std::string line;
  bool removed;
  DWORD error;  // when not removed
};

TEST(UninstallRun, LoggedFilesAreDeletedByTheTextAfterTheColon) {
  temp_folder dir;
  ASSERT_TRUE(write_file(dir / "plain.py", "x"));
  ASSERT_TRUE(write_file(dir / "with blanks.py", "x"));
  ASSERT_TRUE(write_file(dir / "tight.py", "x"));
  const removal_case cases[] = {
      {"plain", "200 File Copy: " + (dir / "plain.py"), true, 0},
      {"blanks in the path", "200 File Overwrite: " + (dir / "with blanks.py"), true, 0},
      {"no blank after the colon", "200 File Copy:" + (dir / "tight.py"), true, 0},
      {"already gone", "200 File Copy: " + (dir / "gone.py"), false, ERROR_FILE_NOT_FOUND},
      {"its folder gone", "200 File Copy: " + (dir / "gone\\x.py"), false, ERROR_PATH_NOT_FOUND},
  };
  for (const removal_case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(delete_logged_file(c.line.c_str()), c.removed) << c.name;
    if (!c.removed) {
      EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
    std::string path = c.line.substr(c.line.find(':') + 1);
    path.erase(0, path.find_first_not_of(' '));
    EXPECT_FALSE(file_exists(path)) << c.name;
  }
  EXPECT_FALSE(delete_logged_file("no colon in this line"));
}

TEST(UninstallRun, LoggedDirectoriesAreRemovedOnlyWhenEmpty) {
  temp_folder dir;
  ASSERT_TRUE(CreateDirectoryA((dir / "empty").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((dir / "with blank").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((dir / "full").c_str(), nullptr));
  ASSERT_TRUE(write_file(dir / "full\\user.txt", "x"));
  const removal_case cases[] = {
      {"empty", "100 Made Dir: " + (dir / "empty"), true, 0},
      {"blank in the path", "100 Made Dir: " + (dir / "with blank"), true, 0},
      {"holds a file the log does not name", "100 Made Dir: " + (dir / "full"), false, ERROR_DIR_NOT_EMPTY},
      {"already gone", "100 Made Dir: " + (dir / "gone"), false, ERROR_FILE_NOT_FOUND},
  };
  for (const removal_case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(remove_logged_dir(c.line.c_str()), c.removed) << c.name;
    if (!c.removed) {
      EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
  }
  EXPECT_FALSE(directory_exists(dir / "empty"));
  EXPECT_FALSE(directory_exists(dir / "with blank"));
  EXPECT_TRUE(file_exists(dir / "full\\user.txt"));
  EXPECT_FALSE(remove_logged_dir("no colon in this line"));
}

// A key of the current user's hive that the registry tests own.
constexpr char TEST_ROOT[] = "Software\\kitpack-uninstall-test";

struct registry_fixture {
  registry_fixture() {
    RegDeleteTreeA(HKEY_CURRENT_USER, TEST_ROOT);
  }
  ~registry_fixture() { RegDeleteTreeA(HKEY_CURRENT_USER, TEST_ROOT); }
  void make_key(const std::string& sub, const char* value = nullptr) {
    unique_hkey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(TEST_ROOT) + sub).c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    if (!value) return;
    ASSERT_EQ(RegSetValueExA(key.get(), value, 0, REG_SZ, reinterpret_cast<const BYTE*>("v"), 2),
              ERROR_SUCCESS);
  }
  bool key_exists(const std::string& sub) {
    unique_hkey key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(TEST_ROOT) + sub).c_str(), 0, KEY_READ, key.put()) ==
           ERROR_SUCCESS;
  }
  bool value_exists(const std::string& sub, const char* value) {
    return RegGetValueA(HKEY_CURRENT_USER, (std::string(TEST_ROOT) + sub).c_str(), value, RRF_RT_ANY, nullptr,
                        nullptr, nullptr) == ERROR_SUCCESS;
  }
};

struct registry_case {
  const char* name;
  std::string line;
  const char* caption;  // of the one box shown, or null for none
};

TEST(UninstallRun, KeyRecordsDeleteTheSubKeyUnderTheRoot) {
  registry_fixture reg;
  reg.make_key("\\Uninstall\\pkg-py2.5", "DisplayName");
  reg.make_key("\\Uninstall\\parent\\child");
  const std::string base = std::string("020 Reg DB Key: [") + TEST_ROOT;
  const registry_case cases[] = {
      {"an existing key", base + "\\Uninstall]pkg-py2.5", nullptr},
      {"a key already gone", base + "\\Uninstall]pkg-py2.5", nullptr},
      {"a parent key that does not open", base + "\\Missing]pkg-py2.5", "Could not open key"},
      {"a key that still has sub-keys", base + "\\Uninstall]parent", "Could not delete key"},
      {"no closing bracket", base + "\\Uninstall pkg", nullptr},
  };
  for (const registry_case& c : cases) {
    box_recorder boxes;
    delete_registry_key(HKEY_CURRENT_USER, c.line.c_str());
    if (!c.caption) {
      EXPECT_TRUE(boxes.boxes().empty()) << c.name;
      continue;
    }
    ASSERT_EQ(boxes.boxes().size(), 1u) << c.name;
    EXPECT_EQ(boxes.boxes()[0].text, c.line) << c.name;
    EXPECT_EQ(boxes.boxes()[0].caption, c.caption) << c.name;
    EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_OK)) << c.name;
  }
  EXPECT_FALSE(reg.key_exists("\\Uninstall\\pkg-py2.5"));
  EXPECT_TRUE(reg.key_exists("\\Uninstall\\parent\\child"));
}

TEST(UninstallRun, ValueRecordsDeleteTheNamedValue) {
  registry_fixture reg;
  reg.make_key("\\Uninstall\\pkg-py2.5", "DisplayName");
  reg.make_key("\\Uninstall\\pkg-py2.5", "UninstallString");
  const std::string base = std::string("040 Reg DB Value: [") + TEST_ROOT + "\\Uninstall\\pkg-py2.5]";
  const registry_case cases[] = {
      {"a value", base + "DisplayName=Python 2.5 Example 1.0", nullptr},
      {"a value already gone", base + "DisplayName=Python 2.5 Example 1.0", nullptr},
      {"a value with = in its text", base + "UninstallString=\"C:\\P\\R.exe\" -u \"C:\\P\\l.log\"", nullptr},
      {"a key that does not open", std::string("040 Reg DB Value: [") + TEST_ROOT + "\\Missing]X=1",
       "Could not open key"},
      {"no =", base + "Other", nullptr},
  };
  for (const registry_case& c : cases) {
    box_recorder boxes;
    delete_registry_value(HKEY_CURRENT_USER, c.line.c_str());
    if (!c.caption) {
      EXPECT_TRUE(boxes.boxes().empty()) << c.name;
      continue;
    }
    ASSERT_EQ(boxes.boxes().size(), 1u) << c.name;
    EXPECT_EQ(boxes.boxes()[0].text, c.line) << c.name;
    EXPECT_EQ(boxes.boxes()[0].caption, c.caption) << c.name;
  }
  EXPECT_FALSE(reg.value_exists("\\Uninstall\\pkg-py2.5", "DisplayName"));
  EXPECT_FALSE(reg.value_exists("\\Uninstall\\pkg-py2.5", "UninstallString"));
  EXPECT_TRUE(reg.key_exists("\\Uninstall\\pkg-py2.5"));
}

TEST(UninstallRun, RegistryRecordsFollowTheRootKey) {
  registry_fixture reg;
  reg.make_key("\\Uninstall\\pkg-py2.5");
  box_recorder boxes;
  std::string line = std::string("020 Reg DB Key: [") + TEST_ROOT + "\\Uninstall]pkg-py2.5";
  // The test key lives under the current user only.
  delete_registry_key(HKEY_LOCAL_MACHINE, line.c_str());
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, "Could not open key");
  EXPECT_TRUE(reg.key_exists("\\Uninstall\\pkg-py2.5"));
}

}  // namespace
