// What the end-to-end tests of the installer share: fixtures, registered
// Pythons, a running wizard and the way through its pages, registry and log
// readers.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/owner_win.h"
#include "driver/driver_win.h"
#include "resources/resource_ids.h"
#include "support/test_files_win.h"
#include "support/test_registry_win.h"

namespace e2e {

inline constexpr int intro = 0, select_python = 1, install = 2, finish = 3;
inline const char uninstall_key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

inline std::string fixture(const char* name) { return build_file(std::string("fixtures/") + name + ".exe"); }

// When KITPACK_SCREENSHOTS names a folder, asks tools/take-screenshots (which
// watches it) to photograph the screen as name.png, and waits until it has.
inline void screenshot(const char* name) {
  const char* dir = std::getenv("KITPACK_SCREENSHOTS");
  if (!dir || !*dir) return;
  painting_done();
  std::string request = windows_path(dir) + "\\" + name + ".request";
  write_file(request, name);
  wait_until([&] { return !file_exists(request); }, 15000);
}

// Versions 9.x belong to these tests: forgets any that an earlier, broken-off
// run left registered, so that the lists hold only what a test registers.
inline void forget_test_pythons() {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
    for (int minor = 0; minor <= 9; ++minor)
      RegDeleteTreeA(root, python_core_key("9." + std::to_string(minor)).c_str());
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) forget_empty_python_keys(root);
}

// A copy of an installer image in folder, its first central directory entry
// spoiled, so that extraction stops before it writes anything.
inline std::string with_broken_archive(const std::string& image_path, const temp_folder& folder) {
  std::string image = read_file(image_path);
  size_t end = image.rfind(std::string("PK\x05\x06", 4));
  EXPECT_NE(end, std::string::npos);
  if (end == std::string::npos) return "";
  unsigned char size_bytes[4];
  std::memcpy(size_bytes, image.data() + end + 12, 4);
  size_t directory_size = size_bytes[0] | size_bytes[1] << 8 | size_bytes[2] << 16 |
                          static_cast<size_t>(size_bytes[3]) << 24;
  size_t first_entry = end - directory_size;
  EXPECT_EQ(image.compare(first_entry, 4, std::string("PK\x01\x02", 4)), 0);
  image[first_entry] = 'X';
  std::string path = folder / "broken-setup.exe";
  EXPECT_TRUE(write_file(path, image));
  return path;
}

// Little-endian fields of an image's bytes; 0 past its end.
inline size_t u32_at(const std::string& image, size_t at) {
  if (at > image.size() || image.size() - at < 4) return 0;
  const auto* b = reinterpret_cast<const unsigned char*>(image.data() + at);
  return static_cast<size_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<size_t>(b[3]) << 24);
}
inline size_t u16_at(const std::string& image, size_t at) { return u32_at(image, at) & 0xFFFF; }

// The PE security directory entry of an executable's bytes (the offset and
// size of its certificate table) and where the entry stands.
struct security_directory {
  size_t table = 0, size = 0, at = 0;
};
inline security_directory security_entry_of(const std::string& exe) {
  size_t optional = u32_at(exe, 0x3C) + 24;
  size_t at = optional + (u16_at(exe, optional) == 0x10B ? 128 : 144);
  return {u32_at(exe, at), u32_at(exe, at + 4), at};
}

// The end-of-central-directory record of an installer image, in front of a
// signed image's certificate table; npos when there is none.
inline size_t end_record_of(const std::string& image) {
  security_directory sd = security_entry_of(image);
  size_t before = sd.size != 0 && sd.table + sd.size == image.size() ? sd.table : image.size();
  size_t end = before < 22 ? std::string::npos : image.rfind(std::string("PK\x05\x06", 4), before - 22);
  EXPECT_NE(end, std::string::npos);
  return end;
}

// The central directory entry of the image's first member with data; npos
// when there is none.
inline size_t first_member_with_data(const std::string& image, size_t end) {
  size_t entry = end - u32_at(image, end + 12);
  for (size_t i = 0; i < u16_at(image, end + 10); ++i) {
    EXPECT_EQ(image.compare(entry, 4, std::string("PK\x01\x02", 4)), 0);
    if (u32_at(image, entry + 24) != 0) {
      EXPECT_NE(u32_at(image, entry + 16), 0u) << "a member with data has a CRC";
      return entry;
    }
    entry += 46 + u16_at(image, entry + 28) + u16_at(image, entry + 30) + u16_at(image, entry + 32);
  }
  ADD_FAILURE() << "no member with data";
  return std::string::npos;
}

// A copy of an installer image in folder, named name, with its first member
// with data changed by damage(image, end record, central directory entry).
template <typename Damage>
std::string with_first_member_damaged(const std::string& image_path, const temp_folder& folder,
                                      const char* name, Damage damage) {
  std::string image = read_file(image_path);
  size_t end = end_record_of(image);
  size_t entry = end == std::string::npos ? end : first_member_with_data(image, end);
  if (entry == std::string::npos) return "";
  damage(image, end, entry);
  std::string path = folder / name;
  EXPECT_TRUE(write_file(path, image));
  return path;
}

// The first member with data has its central uncompressed size set to 0; its
// CRC-32 stays that of its data.
inline std::string with_first_member_emptied(const std::string& image_path, const temp_folder& folder) {
  auto empty = [](std::string& image, size_t, size_t entry) { std::memset(image.data() + entry + 24, 0, 4); };
  return with_first_member_damaged(image_path, folder, "emptied-setup.exe", empty);
}

// One byte of the first member's data flipped: in a signed image, after
// signing, so that only the member's data tells (its inflating or its CRC-32).
inline std::string with_member_byte_flipped(const std::string& image_path, const temp_folder& folder) {
  auto flip = [](std::string& image, size_t end, size_t entry) {
    size_t archive = end - u32_at(image, end + 12) - u32_at(image, end + 16);
    size_t local = archive + u32_at(image, entry + 42);
    size_t data = local + 30 + u16_at(image, local + 26) + u16_at(image, local + 28);
    image[data + u32_at(image, entry + 20) / 2] ^= 0x20;
  };
  return with_first_member_damaged(image_path, folder, "flipped-setup.exe", flip);
}

// Package keys of the example under either root's Uninstall key.
inline std::vector<std::string> registered_packages(const char* prefix) {
  std::vector<std::string> found;
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    unique_hkey key;
    if (RegOpenKeyExA(root, uninstall_key, 0, KEY_READ, key.put()) != ERROR_SUCCESS) continue;
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = sizeof name;
      if (RegEnumKeyExA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        break;
      if (std::string(name).rfind(prefix, 0) == 0) found.push_back(name);
    }
  }
  return found;
}

// The settings files that runs leave in the temporary folder.
inline int leftover_settings_files() {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  WIN32_FIND_DATAA data;
  unique_find find(FindFirstFileA((std::string(temp) + "~du*").c_str(), &data));
  if (!find) return 0;
  int n = 0;
  do ++n; while (FindNextFileA(find.get(), &data));
  return n;
}

// The colour in the middle of a control, as the screen shows it.
inline COLORREF centre_colour(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ReleaseDC(nullptr, screen);
  return c;
}

// Waits until the middle of a control shows colour: on a busy machine the
// page paints some time after it has become the current one.
inline bool shows_colour(HWND control, COLORREF colour) {
  return wait_until([&] { return centre_colour(control) == colour; }, 10000);
}

inline bool buttons_are(HWND sheet, bool back, bool next) {
  return wizard_button_enabled(sheet, PSBTN_BACK) == back &&
         wizard_button_enabled(sheet, PSBTN_NEXT) == next;
}

// A running installer with its wizard on screen.
struct wizard_session {
  explicit wizard_session(const std::string& exe) : process(exe, "") {
    sheet = wait_dialog(process, "Setup");
  }
  // Selects the list row with this text on the select-Python page.
  bool choose(HWND page, const std::string& row_text) {
    for (int row = 0; row < list_count(page, IDC_PYTHON_LIST); ++row)
      if (list_text(page, IDC_PYTHON_LIST, row) == row_text) {
        select_list_row(page, IDC_PYTHON_LIST, row);
        return wait_until([&] { return list_selection(page, IDC_PYTHON_LIST) == row; });
      }
    return false;
  }
  HWND next_to(int index) {
    press_wizard_button(sheet, PSBTN_NEXT);
    return wait_page(sheet, index);
  }
  driven_process process;
  HWND sheet = nullptr;
};

// Deletes the example's Uninstall entry for a Python version under root.
inline void forget_package(HKEY root, const char* version) {
  RegDeleteTreeA(root, (std::string(uninstall_key) + "\\example-py" + version).c_str());
}

// Goes through the wizard to the install page with the named Python chosen,
// presses Next, and returns the finish page.
inline HWND install_with(wizard_session& run, const std::string& row_text) {
  if (!wait_page(run.sheet, intro)) return nullptr;
  HWND page = run.next_to(select_python);
  if (!page || !run.choose(page, row_text)) return nullptr;
  if (!run.next_to(install)) return nullptr;
  return run.next_to(finish);
}

// Goes through the wizard to the install page with the Python installed in
// dir chosen (rows may share a version, so it is found by its directory),
// presses Next, and returns the finish page.
inline HWND install_into(wizard_session& run, const std::string& dir) {
  if (!wait_page(run.sheet, intro)) return nullptr;
  HWND page = run.next_to(select_python);
  if (!page) return nullptr;
  bool chosen = false;
  for (int row = 0; row < list_count(page, IDC_PYTHON_LIST) && !chosen; ++row) {
    select_list_row(page, IDC_PYTHON_LIST, row);
    chosen = wait_until([&] { return item_text(page, IDC_PYTHON_DIR) == dir; }, 2000);
  }
  if (!chosen || !run.next_to(install)) return nullptr;
  return run.next_to(finish);
}

// The stand-in Python DLL built beside these tests, in its Python 2 and its
// Python 3 personality.
inline std::string stand_in_python_dll() { return windows_path(STANDIN_DIR "/full/python27.dll"); }
inline std::string python3_standin() { return windows_path(STANDIN_DIR "/python3/python312.dll"); }

// A version the stand-in serves, as an installation of that version holds it.
struct standin_python {
  const char* version;   // registered as
  const char* dll_name;  // in the Python folder
  std::string (*dll)();  // the build copied there
};
inline constexpr standin_python python27 = {"2.7", "python27.dll", stand_in_python_dll};
inline constexpr standin_python python312 = {"3.12", "python312.dll", python3_standin};

// The stand-in registered as its version under root (the current user's by
// default), installed in a fresh folder (a folder of that name inside it,
// when named).
struct standin_install : registered_python {
  explicit standin_install(const standin_python& python, HKEY root = HKEY_CURRENT_USER,
                           const std::string& folder = "")
      : registered_python(root, python.version, {python.dll(), python.dll_name, folder}) {}
};

inline std::string registry_text(HKEY root, const std::string& key, const char* value) {
  char text[1024];
  DWORD size = sizeof text;
  if (RegGetValueA(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
    return "";
  return text;
}

// The lines every install log into python_dir d starts with, timestamps
// aside: the header and the Uninstall entry of the example for Python version.
inline std::vector<std::string> expected_log_head(const std::string& image, const std::string& d,
                                                  const std::string& version = "2.7") {
  const std::string entry = std::string(uninstall_key) + "\\example-py" + version;
  const std::string log = d + "\\example-kitpack.log";
  return {
      "*** Installation started",
      "Source: " + image,
      "999 Root Key: HKEY_CURRENT_USER",
      "020 Reg DB Key: [" + std::string(uninstall_key) + "]example-py" + version,
      "040 Reg DB Value: [" + entry + "]DisplayName=Python " + version + " Example 1.0",
      "040 Reg DB Value: [" + entry + "]UninstallString=\"" + d + "\\Removeexample.exe\" -u \"" + log +
          "\"",
      "040 Reg DB Value: [" + entry + "]QuietUninstallString=\"" + d + "\\Removeexample.exe\" -u \"" +
          log + "\" /S",
  };
}

// The log's lines with the two timestamps cut off.
inline std::vector<std::string> log_lines_without_times(const std::string& path) {
  std::vector<std::string> lines = split_lines(read_file(path));
  for (std::string& line : lines)
    if (line.rfind("*** Installation ", 0) == 0) line = line.substr(0, line.find(' ', 17));
  return lines;
}

}  // namespace e2e
