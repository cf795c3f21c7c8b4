// The listing and selection against Wine's real registry and a real sorted
// list box. Every test registers its own Python installations and removes
// them again: other test programs share the prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/chosen_python_win.h"
#include "common/owner_win.h"
#include "python_runtime/python_discovery_win.h"
#include "support/box_recorder_win.h"
#include "support/test_files_win.h"
#include "support/test_registry_win.h"

namespace {

const char python_key[] = "Software\\Python";
const char core_key[] = "Software\\Python\\PythonCore";
#ifdef _WIN64
const WORD own_machine = IMAGE_FILE_MACHINE_AMD64;
#else
const WORD own_machine = IMAGE_FILE_MACHINE_I386;
#endif

struct registration {
  HKEY root;
  std::string version;  // the tag
  enum { install_path, no_install_path_key, no_default_value, raw_value, wide_path, no_folder } kind = install_path;
  std::string value;  // the directory (UTF-8 for wide_path), or the raw bytes for raw_value
  DWORD type = REG_SZ;
  std::string company = "PythonCore";
  std::string sys_version;  // none when empty
  std::string dll;          // a DLL of this name put into the directory, for this processor
};

bool has_subkeys(HKEY root, const char* path) {
  unique_hkey key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return false;
  DWORD count = 0;
  RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                   nullptr, nullptr, nullptr);
  return count > 0;
}

void delete_tree(HKEY root, const std::string& path) {
  RegDeleteTreeA(root, path.c_str());
  RegDeleteKeyA(root, path.c_str());
}

// Registers installations for one test, with their folders; removes what it
// made afterwards.
class python_registry : public ::testing::Test {
 protected:
  void SetUp() override {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
      ASSERT_FALSE(has_subkeys(root, core_key)) << "the prefix holds Python installations already";
      python_key_made_.push_back(!key_exists(root, python_key));
    }
    parent_ = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 200, 200, nullptr, nullptr,
                              nullptr, nullptr);
    list_ = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_SORT | LBS_NOTIFY, 0, 0, 180, 180,
                            parent_, nullptr, nullptr, nullptr);
    ASSERT_NE(list_, nullptr);
  }

  void TearDown() override {
    DestroyWindow(parent_);
    for (const registration& r : made_) {
      delete_tree(r.root, company_key(r) + "\\" + r.version);
      RegDeleteKeyA(r.root, company_key(r).c_str());
      if (!r.dll.empty()) DeleteFileA((r.value + "\\" + r.dll).c_str());
    }
    for (auto folder = folders_made_.rbegin(); folder != folders_made_.rend(); ++folder)
      RemoveDirectoryW(folder->c_str());
    const HKEY roots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
    for (std::size_t i = 0; i < python_key_made_.size(); ++i) {
      if (python_key_made_[i]) delete_tree(roots[i], python_key);
      EXPECT_FALSE(has_subkeys(roots[i], core_key));
    }
  }

  static std::string company_key(const registration& r) { return std::string(python_key) + "\\" + r.company; }

  // The directory and every folder above it that is missing, made through
  // the long path form: the longest directory a row takes exceeds what the
  // plain form makes.
  void make_folders(const std::string& dir) {
    const std::string text = dir.substr(0, dir.find('\0'));  // UTF-8, as ASCII is too
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                    static_cast<int>(wide.size())));
    std::wstring path = L"\\\\?\\";
    for (wchar_t c : wide) {
      if (c == L'\\' && CreateDirectoryW(path.c_str(), nullptr)) folders_made_.push_back(path);
      path += c;
    }
    if (CreateDirectoryW(path.c_str(), nullptr)) folders_made_.push_back(path);
  }

  void add(const registration& r) {
    made_.push_back(r);
    std::string version_key = company_key(r) + "\\" + r.version;
    unique_hkey key;
    std::string path = r.kind == registration::no_install_path_key ? version_key
                                                                    : version_key + "\\InstallPath";
    ASSERT_EQ(RegCreateKeyExA(r.root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    if (!r.sys_version.empty())
      RegSetKeyValueA(r.root, version_key.c_str(), "SysVersion", REG_SZ, r.sys_version.c_str(),
                      static_cast<DWORD>(r.sys_version.size() + 1));
    if (r.kind != registration::no_folder && !r.value.empty()) make_folders(r.value);
    if (!r.dll.empty()) ASSERT_TRUE(write_file(r.value + "\\" + r.dll, dll_header(own_machine)));
    if (r.kind == registration::install_path || r.kind == registration::no_folder) {
      RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(r.value.c_str()),
                     static_cast<DWORD>(r.value.size() + 1));
    } else if (r.kind == registration::wide_path) {
      wchar_t wide[MAX_PATH] = {};
      int n = MultiByteToWideChar(CP_UTF8, 0, r.value.c_str(), -1, wide, MAX_PATH);
      RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide),
                     static_cast<DWORD>(n * sizeof(wchar_t)));
    } else if (r.kind == registration::raw_value) {
      RegSetValueExA(key.get(), nullptr, 0, r.type, reinterpret_cast<const BYTE*>(r.value.data()),
                     static_cast<DWORD>(r.value.size()));
    }
  }

  struct row {
    std::string text;
    std::string install_path;
    HKEY root;
  };

  std::vector<row> rows() const {
    std::vector<row> result;
    int count = static_cast<int>(SendMessageA(list_, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      char text[256] = {};
      SendMessageA(list_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      auto* install = reinterpret_cast<python_install*>(SendMessageA(list_, LB_GETITEMDATA, i, 0));
      result.push_back({text, install->install_path, install->root_key});
    }
    return result;
  }

  // What the select-Python page does when it is created.
  void fill_and_preselect(const char* target_version) {
    list_python_installs(list_, HKEY_LOCAL_MACHINE, target_version);
    list_python_installs(list_, HKEY_CURRENT_USER, target_version);
    int count = static_cast<int>(SendMessageA(list_, LB_GETCOUNT, 0, 0));
    if (count > 0) SendMessageA(list_, LB_SETCURSEL, count - 1, 0);
    apply_python_selection(list_, static_cast<int>(SendMessageA(list_, LB_GETCURSEL, 0, 0)),
                           target_, dir_text_, sizeof dir_text_);
  }

  HWND parent_ = nullptr;
  HWND list_ = nullptr;
  chosen_python target_;
  char dir_text_[300] = {};
  std::vector<registration> made_;
  std::vector<std::wstring> folders_made_;
  std::vector<bool> python_key_made_;
};

std::string row_text(const std::string& version) {
  return "Python Version " + version + " (found in registry)";
}

TEST_F(python_registry, TargetVersionKeepsTheRowsOfItsVersion) {
  for (const char* v : {"2.4", "2.5", "2.6", "2.50", "2.5.1"})
    add({HKEY_LOCAL_MACHINE, v, registration::install_path, std::string("C:\\Python") + v});
  add({HKEY_CURRENT_USER, "2.5t", registration::install_path, "C:\\User25t", REG_SZ, "PythonCore", "",
       "python25t.dll"});
  add({HKEY_CURRENT_USER, "CPython2.6", registration::install_path, "C:\\Uv25", REG_SZ, "Astral", "2.5"});
  fill_and_preselect("2.5");
  std::vector<std::string> texts;
  for (const row& r : rows()) texts.push_back(r.text);
  EXPECT_EQ(texts, (std::vector<std::string>{row_text("2.5"), row_text("2.5.1"), row_text("2.5t"),
                                             row_text("CPython2.6")}));
  EXPECT_EQ(target_.root_hkey, HKEY_CURRENT_USER);
  EXPECT_STREQ(target_.python_dir, "C:\\Uv25");
  EXPECT_STREQ(target_.python_dll, "python25.dll");
}

TEST_F(python_registry, EmptyTargetListsBothRootsAndPreselectsTheLastRow) {
  add({HKEY_LOCAL_MACHINE, "2.4", registration::install_path, "C:\\Python24"});
  add({HKEY_CURRENT_USER, "2.6", registration::install_path, "C:\\Users\\me\\Python26\\"});
  fill_and_preselect("");
  auto listed = rows();
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].text, row_text("2.4"));
  EXPECT_EQ(listed[0].root, HKEY_LOCAL_MACHINE);
  EXPECT_EQ(listed[1].text, row_text("2.6"));
  EXPECT_EQ(listed[1].root, HKEY_CURRENT_USER);
  EXPECT_EQ(SendMessageA(list_, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(target_.root_hkey, HKEY_CURRENT_USER);
  EXPECT_STREQ(target_.python_dir, "C:\\Users\\me\\Python26\\");  // kept as stored
  EXPECT_EQ(target_.py_major, 2);
  EXPECT_EQ(target_.py_minor, 6);
  EXPECT_STREQ(target_.python_dll, "python26.dll");
  EXPECT_STREQ(dir_text_, "C:\\Users\\me\\Python26\\Lib\\site-packages\\");
}

TEST_F(python_registry, RowsAreSortedByTextWithoutRegardToCase) {
  for (const char* v : {"2.9", "2.10", "1.5", "2.5b", "2.5A"})
    add({HKEY_LOCAL_MACHINE, v, registration::install_path, std::string("C:\\P") + v});
  list_python_installs(list_, HKEY_LOCAL_MACHINE, "");
  std::vector<std::string> texts, paths;
  for (const row& r : rows()) {
    texts.push_back(r.text);
    paths.push_back(r.install_path);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{row_text("1.5"), row_text("2.10"), row_text("2.5A"),
                                             row_text("2.5b"), row_text("2.9")}));
  // Each record landed on its own row.
  EXPECT_EQ(paths, (std::vector<std::string>{"C:\\P1.5", "C:\\P2.10", "C:\\P2.5A", "C:\\P2.5b",
                                             "C:\\P2.9"}));
}

TEST_F(python_registry, VersionUnderBothRootsGivesTwoRowsWithTheirOwnRoot) {
  add({HKEY_LOCAL_MACHINE, "2.5", registration::install_path, "C:\\Machine25"});
  add({HKEY_CURRENT_USER, "2.5", registration::install_path, "C:\\User25"});
  fill_and_preselect("2.5");
  auto listed = rows();
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].text, row_text("2.5"));
  EXPECT_EQ(listed[1].text, row_text("2.5"));
  EXPECT_NE(listed[0].root, listed[1].root);
  for (const row& r : listed)
    EXPECT_EQ(r.install_path, r.root == HKEY_LOCAL_MACHINE ? "C:\\Machine25" : "C:\\User25");
  EXPECT_EQ(target_.root_hkey, listed[1].root);
}

TEST_F(python_registry, UnreadableInstallationsAreSkipped) {
  // 259 characters, in two folders: one name holds at most 255.
  const std::string longest_dir = "C:\\" + std::string(127, 'd') + "\\" + std::string(128, 'd');
  const std::string too_long_dir = "C:\\" + std::string(257, 'd');  // 260: 261 bytes
  add({HKEY_LOCAL_MACHINE, "2.0", registration::no_install_path_key, ""});
  add({HKEY_LOCAL_MACHINE, "2.1", registration::no_default_value, ""});
  add({HKEY_LOCAL_MACHINE, "2.2", registration::install_path, too_long_dir});
  add({HKEY_LOCAL_MACHINE, "2.3", registration::raw_value, "C:\\Py23", REG_BINARY});  // no NUL
  add({HKEY_LOCAL_MACHINE, "2.4", registration::install_path, "C:\\" + std::string(300, 'x')});
  add({HKEY_LOCAL_MACHINE, "2.5", registration::install_path, longest_dir});
  add({HKEY_LOCAL_MACHINE, "2.6", registration::raw_value, std::string("C:\\Py26\0", 8), REG_BINARY});
  // A folder the code page cannot hold could receive no file; one it can is
  // taken in its bytes.
  add({HKEY_LOCAL_MACHINE, "2.7", registration::wide_path,
       "C:\\Users\\\xD0\x94\xD0\xBC\xD0\xB8\xD1\x82\xD1\x80\xD0\xB8\xD0\xB9\\Python311"});
  add({HKEY_LOCAL_MACHINE, "2.9", registration::wide_path, "C:\\Jos\xC3\xA9"});
  add({HKEY_LOCAL_MACHINE, std::string(41, '7'), registration::install_path, "C:\\Long41"});
  add({HKEY_LOCAL_MACHINE, std::string(40, '8'), registration::install_path, "C:\\Long40"});
  add({HKEY_LOCAL_MACHINE, "3.0", registration::install_path, ""});
  add({HKEY_LOCAL_MACHINE, "2.8", registration::no_folder, "C:\\NoPython28"});
  EXPECT_EQ(list_python_installs(list_, HKEY_LOCAL_MACHINE, ""), 1);
  auto listed = rows();
  ASSERT_EQ(listed.size(), 4u);
  EXPECT_EQ(listed[0].text, row_text("2.5"));
  EXPECT_EQ(listed[0].install_path, longest_dir);
  EXPECT_EQ(listed[1].text, row_text("2.6"));
  EXPECT_EQ(listed[1].install_path, "C:\\Py26");
  EXPECT_EQ(listed[2].text, row_text("2.9"));
  EXPECT_EQ(listed[2].install_path, ansi_text("C:\\Jos\xC3\xA9"));
  EXPECT_EQ(listed[3].text, row_text(std::string(40, '8')));
  EXPECT_EQ(listed[3].install_path, "C:\\Long40");
}

TEST_F(python_registry, ResultSaysWhetherPythonCoreOpened) {
  EXPECT_EQ(list_python_installs(list_, HKEY_CURRENT_USER, ""), 0);
  add({HKEY_CURRENT_USER, "2.0", registration::no_install_path_key, ""});
  EXPECT_EQ(list_python_installs(list_, HKEY_CURRENT_USER, ""), 1);
  EXPECT_EQ(SendMessageA(list_, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(python_registry, SelectionSetsTheTargetFromTheRow) {
  struct row {
    std::string version, path;
    const char* dir, * dll;  // dll none: not listed
    int major, minor;
    const char* dir_text;
    std::string company = "PythonCore", sys_version = "", dll_file = "";
  };
  const row table[] = {
      {"2.5", "C:\\Python25\\", "C:\\Python25\\", "python25.dll", 2, 5,
       "C:\\Python25\\Lib\\site-packages\\"},
      {"2.1", "C:\\Python21", "C:\\Python21", "python21.dll", 2, 1, "C:\\Python21\\"},
      {"3.0", "C:\\py30", "C:\\py30", "python30.dll", 3, 0, "C:\\py30\\Lib\\site-packages\\"},
      {"2.10", "C:\\Python210", "C:\\Python210", "python210.dll", 2, 10,
       "C:\\Python210\\Lib\\site-packages\\"},
      {"3.11-32", "C:\\Py311", "C:\\Py311", "python311.dll", 3, 11, "C:\\Py311\\Lib\\site-packages\\"},
      {"3.13t", "C:\\Py313", "C:\\Py313", "python313t.dll", 3, 13, "C:\\Py313\\Lib\\site-packages\\",
       "PythonCore", "", "python313t.dll"},
      {"CPython3.12.4", "C:\\uv\\cpython-3.12.4", "C:\\uv\\cpython-3.12.4", "python312.dll", 3, 12,
       "C:\\uv\\cpython-3.12.4\\Lib\\site-packages\\", "Astral", "3.12"},
      {"3.14t-32", "C:\\Conda314", "C:\\Conda314", "python314t.dll", 3, 14,
       "C:\\Conda314\\Lib\\site-packages\\", "ContinuumAnalytics", "", "python314t.dll"},
      {"CPython3.13.1t", "C:\\uv\\ft", nullptr, nullptr, 0, 0, nullptr, "Astral", "3.13"},  // no DLL
      {"Anaconda39-64", "C:\\Conda39", nullptr, nullptr, 0, 0, nullptr, "ContinuumAnalytics"},
  };
  for (const row& r : table)
    add({HKEY_CURRENT_USER, r.version, registration::install_path, r.path, REG_SZ, r.company,
         r.sys_version, r.dll_file});
  list_python_installs(list_, HKEY_CURRENT_USER, "");
  for (const row& r : table) {
    int index = static_cast<int>(
        SendMessageA(list_, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(row_text(r.version).c_str())));
    if (!r.dll) {
      EXPECT_EQ(index, LB_ERR) << r.version;
      continue;
    }
    ASSERT_NE(index, LB_ERR) << r.version;
    target_.root_hkey = HKEY_LOCAL_MACHINE;
    apply_python_selection(list_, index, target_, dir_text_, sizeof dir_text_);
    EXPECT_STREQ(target_.python_dir, r.dir);
    EXPECT_STREQ(target_.python_dll, r.dll);
    EXPECT_EQ(target_.py_major, r.major);
    EXPECT_EQ(target_.py_minor, r.minor);
    EXPECT_EQ(target_.root_hkey, HKEY_CURRENT_USER);
    EXPECT_STREQ(dir_text_, r.dir_text);
  }
}

TEST_F(python_registry, NoSelectionEmptiesTheDirectoryAndDll) {
  add({HKEY_LOCAL_MACHINE, "2.5", registration::install_path, "C:\\Python25"});
  fill_and_preselect("");
  ASSERT_STREQ(target_.python_dll, "python25.dll");
  apply_python_selection(list_, LB_ERR, target_, dir_text_, sizeof dir_text_);
  EXPECT_STREQ(target_.python_dir, "");
  EXPECT_STREQ(target_.python_dll, "");
  EXPECT_STREQ(dir_text_, "");
  EXPECT_EQ(target_.root_hkey, HKEY_LOCAL_MACHINE);
  EXPECT_EQ(target_.py_major, 2);
  EXPECT_EQ(target_.py_minor, 5);
}

TEST_F(python_registry, RowWithoutTwoNumbersKeepsTheDll) {
  add({HKEY_LOCAL_MACHINE, "2.5", registration::install_path, "C:\\Python25"});
  add({HKEY_LOCAL_MACHINE, "4", registration::install_path, "C:\\Python4"});
  add({HKEY_LOCAL_MACHINE, "abc", registration::install_path, "C:\\PythonAbc"});
  list_python_installs(list_, HKEY_LOCAL_MACHINE, "");
  auto select = [&](const std::string& version) {
    int index = static_cast<int>(
        SendMessageA(list_, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(row_text(version).c_str())));
    apply_python_selection(list_, index, target_, dir_text_, sizeof dir_text_);
  };
  select("2.5");
  select("4");
  EXPECT_EQ(target_.py_major, 4);
  EXPECT_EQ(target_.py_minor, 5);
  EXPECT_STREQ(target_.python_dll, "python25.dll");
  EXPECT_STREQ(target_.python_dir, "C:\\Python4");
  EXPECT_STREQ(dir_text_, "C:\\Python4\\Lib\\site-packages\\");
  select("abc");
  EXPECT_EQ(target_.py_major, 4);
  EXPECT_STREQ(target_.python_dll, "python25.dll");
  EXPECT_STREQ(target_.python_dir, "C:\\PythonAbc");
}

class root_key_check : public ::testing::Test {
 protected:
  HKEY root_hkey = root_hkey_unset();
  box_recorder boxes_;
};

TEST_F(root_key_check, PerUserPythonStaysPerUser) {
  root_hkey = HKEY_CURRENT_USER;
  root_hkey = check_root_key(nullptr, root_hkey);
  EXPECT_EQ(root_hkey, HKEY_CURRENT_USER);
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(root_key_check, MachinePythonStaysOnTheMachineWhenWritable) {
  ASSERT_TRUE(hklm_uninstall_writable());
  root_hkey = HKEY_LOCAL_MACHINE;
  root_hkey = check_root_key(nullptr, root_hkey);
  EXPECT_EQ(root_hkey, HKEY_LOCAL_MACHINE);
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(root_key_check, UnchosenRootIsReportedThenSettled) {
  HWND owner = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
  root_hkey = check_root_key(owner, root_hkey);
  EXPECT_EQ(root_hkey, HKEY_LOCAL_MACHINE);
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].owner, owner);
  EXPECT_EQ(boxes_.boxes()[0].text, "Don't know Python's installation type");
  EXPECT_EQ(boxes_.boxes()[0].caption, "Strange");
  EXPECT_EQ(boxes_.boxes()[0].type, static_cast<UINT>(MB_ICONERROR));
  DestroyWindow(owner);
}

}  // namespace
