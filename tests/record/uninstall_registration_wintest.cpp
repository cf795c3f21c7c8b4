// The install record against Wine's real registry: the log's header and
// registry records, the Uninstall entry and the uninstaller copy. Entries
// made here are removed after each test; other test programs share the prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "common/chosen_python_win.h"
#include "common/fixed_text.h"
#include "common/owner_win.h"
#include "common/program_win.h"
#include "record/install_log_win.h"
#include "record/uninstall_registration.h"
#include "record/uninstall_registration_win.h"
#include "startup/package_image_win.h"
#include "startup/setup_config.h"
#include "support/box_recorder_win.h"
#include "support/test_files_win.h"
#include "support/test_registry_win.h"

namespace {

const char uninstall_key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char package[] = "kitpack-regtest";
const char package_key[] = "kitpack-regtest-py2.5";

struct value {
  bool found = false;
  DWORD type = 0;
  std::string bytes;  // as stored, NUL included
};

value read_value(HKEY root, const std::string& key_path, const char* name) {
  value v;
  unique_hkey key;
  if (RegOpenKeyExA(root, key_path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return v;
  char data[2048];
  DWORD size = sizeof data;
  if (RegQueryValueExA(key.get(), name, nullptr, &v.type, reinterpret_cast<BYTE*>(data), &size) ==
      ERROR_SUCCESS) {
    v.found = true;
    v.bytes.assign(data, size);
  }
  return v;
}

std::string sz(const std::string& text) { return text + std::string(1, '\0'); }

LONG refuse_access(HKEY, HKEY* key) {
  *key = nullptr;
  return ERROR_ACCESS_DENIED;
}

LONG key_not_found(HKEY, HKEY* key) {
  *key = nullptr;
  return ERROR_FILE_NOT_FOUND;
}

class install_record : public ::testing::Test {
 protected:
  void SetUp() override {
    image_.resize(5000);
    for (std::size_t i = 0; i < image_.size(); ++i) image_[i] = static_cast<std::byte>(i * 7 + 3);
    stub_length = 3000;
    copy_cut(setup_config.meta_name, sizeof setup_config.meta_name, package);
    copy_cut(setup_config.title, sizeof setup_config.title, "Example 1.0");
    copy_cut(module_path, sizeof module_path, "C:\\Temp\\example-setup.exe");
    target_.py_major = 2;
    target_.py_minor = 5;
    target_.root_hkey = HKEY_LOCAL_MACHINE;
    dir_ = folder_.path();
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
      ASSERT_FALSE(key_exists(root, entry_path())) << "the prefix holds the test entry already";
  }

  void TearDown() override {
    close_log();
    open_uninstall_key_impl = saved_opener_;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
      RegDeleteTreeA(root, entry_path().c_str());
      RegDeleteKeyA(root, entry_path().c_str());
    }
    stub_length = 0;
  }

  // The chosen Python, in dir_.
  const chosen_python& chosen() {
    copy_cut(target_.python_dir, sizeof target_.python_dir, dir_);
    return target_;
  }

  // The log stays open for the later steps; the tests close it to read it.
  void close_log() {
    drop_install_log();
  }

  std::string entry_path(const char* key = package_key) const {
    return std::string(uninstall_key) + "\\" + key;
  }
  std::string log_path() const { return dir_ + "\\" + package + "-kitpack.log"; }
  std::string copy_path() const { return dir_ + "\\Remove" + package + ".exe"; }
  std::string uninstall_string() const {
    return "\"" + copy_path() + "\" -u \"" + log_path() + "\"";
  }

  std::vector<std::string> expected_lines(const char* root_name, bool new_key) const {
    std::vector<std::string> lines = {
        "", "Source: C:\\Temp\\example-setup.exe", std::string("999 Root Key: ") + root_name};
    if (new_key)
      lines.push_back(std::string("020 Reg DB Key: [") + uninstall_key + "]" + package_key);
    lines.push_back(std::string("040 Reg DB Value: [") + uninstall_key + "\\" + package_key +
                    "]DisplayName=Python 2.5 Example 1.0");
    lines.push_back(std::string("040 Reg DB Value: [") + uninstall_key + "\\" + package_key +
                    "]UninstallString=" + uninstall_string());
    lines.push_back(std::string("040 Reg DB Value: [") + uninstall_key + "\\" + package_key +
                    "]QuietUninstallString=" + uninstall_string() + " /S");
    return lines;
  }

  // Compares the log with blocks of expected lines; each block's first line
  // is the started line, whose time varies.
  void expect_log(const std::vector<std::vector<std::string>>& blocks) {
    std::string content;
    ASSERT_TRUE(read_file(log_path(), content));
    EXPECT_EQ(content.find('\n'), content.find("\r\n") + 1) << "text-mode line ends";
    std::vector<std::string> lines = split_lines(content);
    std::vector<std::string> expected;
    for (const auto& block : blocks) expected.insert(expected.end(), block.begin(), block.end());
    ASSERT_EQ(lines.size(), expected.size()) << content;
    const std::regex started(R"(\*\*\* Installation started \d{4}/\d\d/\d\d \d\d:\d\d \*\*\*)");
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (expected[i].empty())
        EXPECT_TRUE(std::regex_match(lines[i], started)) << lines[i];
      else
        EXPECT_EQ(lines[i], expected[i]);
    }
  }

  void expect_entry(HKEY root, const std::string& display, const std::string& uninstall) {
    value name = read_value(root, entry_path(), "DisplayName");
    value command = read_value(root, entry_path(), "UninstallString");
    value quiet = read_value(root, entry_path(), "QuietUninstallString");
    ASSERT_TRUE(name.found);
    ASSERT_TRUE(command.found);
    ASSERT_TRUE(quiet.found);
    EXPECT_EQ(name.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(command.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(quiet.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(name.bytes, sz(display));
    EXPECT_EQ(command.bytes, sz(uninstall));
    EXPECT_EQ(quiet.bytes, sz(uninstall + " /S"));
  }

  void expect_copy(std::size_t length) {
    std::string copy;
    ASSERT_TRUE(read_file(copy_path(), copy));
    ASSERT_EQ(copy.size(), length);
    EXPECT_EQ(std::memcmp(copy.data(), image_.data(), length), 0);
  }

  temp_folder folder_;
  chosen_python target_;
  std::string dir_;
  std::vector<std::byte> image_;
  box_recorder boxes_;
  open_uninstall_key_fn saved_opener_ = open_uninstall_key_impl;
};

TEST_F(install_record, FirstInstallationRecordsTheNewKeyAndBothValues) {
  EXPECT_EQ(open_install_record(chosen(), image_), 1);
  ASSERT_TRUE(install_log_is_open());
  close_log();
  expect_log({expected_lines("HKEY_LOCAL_MACHINE", true)});
  expect_entry(HKEY_LOCAL_MACHINE, "Python 2.5 Example 1.0", uninstall_string());
  expect_copy(3000);
  EXPECT_FALSE(key_exists(HKEY_CURRENT_USER, entry_path()));
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(install_record, SecondInstallationAppendsOnlyTheValueRecords) {
  ASSERT_EQ(open_install_record(chosen(), image_), 1);
  close_log();
  copy_cut(setup_config.title, sizeof setup_config.title, "Example 1.1");
  stub_length = 1200;  // the copy is truncated, not overwritten in place
  ASSERT_EQ(open_install_record(chosen(), image_), 1);
  close_log();
  auto second = expected_lines("HKEY_LOCAL_MACHINE", false);
  second[3] = std::string("040 Reg DB Value: [") + uninstall_key + "\\" + package_key +
              "]DisplayName=Python 2.5 Example 1.1";
  expect_log({expected_lines("HKEY_LOCAL_MACHINE", true), second});
  expect_entry(HKEY_LOCAL_MACHINE, "Python 2.5 Example 1.1", uninstall_string());
  expect_copy(1200);
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(install_record, CurrentUserRootRegistersForTheUser) {
  target_.root_hkey = HKEY_CURRENT_USER;
  ASSERT_EQ(open_install_record(chosen(), image_), 1);
  close_log();
  expect_log({expected_lines("HKEY_CURRENT_USER", true)});
  expect_entry(HKEY_CURRENT_USER, "Python 2.5 Example 1.0", uninstall_string());
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, entry_path()));
}

TEST_F(install_record, RefusedAccessStopsBeforeAnythingIsWritten) {
  open_uninstall_key_impl = refuse_access;
  EXPECT_EQ(open_install_record(chosen(), image_), 0);
  EXPECT_FALSE(install_log_is_open());
  EXPECT_FALSE(file_exists(log_path()));
  EXPECT_FALSE(file_exists(copy_path()));
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, entry_path()));
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  const recorded_box& box = boxes_.boxes()[0];
  EXPECT_EQ(box.text, "You do not seem to have sufficient access rights\non this machine to install this software");
  EXPECT_EQ(box.caption, "(null)");
  EXPECT_EQ(box.type, static_cast<UINT>(MB_ICONERROR));
}

TEST_F(install_record, OtherUninstallKeyFailureReportsEachStepAndGoesOn) {
  open_uninstall_key_impl = key_not_found;
  EXPECT_EQ(open_install_record(chosen(), image_), 1);
  close_log();
  expect_log({expected_lines("HKEY_LOCAL_MACHINE", false)});
  expect_copy(3000);
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, entry_path()));
  struct expected_box {
    std::string text, caption;
  };
  const expected_box expected[] = {
      {uninstall_key, "Could not open key"},
      {package_key, "Could not create key"},
      {"Python 2.5 Example 1.0", "Could not set key value"},
      {uninstall_string(), "Could not set key value"},
      {uninstall_string() + " /S", "Could not set key value"},
  };
  ASSERT_EQ(boxes_.boxes().size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(boxes_.boxes()[i].text, expected[i].text);
    EXPECT_EQ(boxes_.boxes()[i].caption, expected[i].caption);
    EXPECT_EQ(boxes_.boxes()[i].type, static_cast<UINT>(MB_OK));
  }
}

TEST_F(install_record, MissingPythonDirStillRegistersWithoutLogOrCopy) {
  dir_ = folder_ / "missing";
  EXPECT_EQ(open_install_record(chosen(), image_), 1);
  EXPECT_FALSE(install_log_is_open());
  EXPECT_FALSE(file_exists(log_path()));
  EXPECT_FALSE(file_exists(copy_path()));
  expect_entry(HKEY_LOCAL_MACHINE, "Python 2.5 Example 1.0", uninstall_string());
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(install_record, LongestDirectoryAndNameAreRegisteredUncut) {
  std::string long_name(79, 'n');
  copy_cut(setup_config.meta_name, sizeof setup_config.meta_name, long_name);
  copy_cut(setup_config.title, sizeof setup_config.title, std::string(79, 't'));
  dir_ = "C:\\" + std::string(256, 'd');  // 259 characters, no such folder
  std::string key = long_name + "-py2.5";
  ASSERT_FALSE(key_exists(HKEY_LOCAL_MACHINE, entry_path(key.c_str())));
  EXPECT_EQ(open_install_record(chosen(), image_), 1);
  std::string command = "\"" + dir_ + "\\Remove" + long_name + ".exe\" -u \"" + dir_ + "\\" +
                        long_name + "-kitpack.log\"";
  value name = read_value(HKEY_LOCAL_MACHINE, entry_path(key.c_str()), "DisplayName");
  value uninstall = read_value(HKEY_LOCAL_MACHINE, entry_path(key.c_str()), "UninstallString");
  value quiet = read_value(HKEY_LOCAL_MACHINE, entry_path(key.c_str()), "QuietUninstallString");
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, entry_path(key.c_str()).c_str());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, entry_path(key.c_str()).c_str());
  EXPECT_EQ(name.bytes, sz("Python 2.5 " + std::string(79, 't')));
  EXPECT_EQ(uninstall.bytes, sz(command));
  EXPECT_EQ(uninstall.bytes.size(), 32 + 2 * (259 + 79u) + 1);
  EXPECT_EQ(quiet.bytes, sz(command + " /S"));
  EXPECT_TRUE(boxes_.boxes().empty());
}

}  // namespace
