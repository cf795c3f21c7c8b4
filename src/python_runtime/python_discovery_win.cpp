#include "python_runtime/python_discovery_win.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <cstring>
#include <string_view>

#include "common/ansi_text_win.h"
#include "common/chosen_python_win.h"
#include "common/fixed_text.h"
#include "common/message_box_win.h"
#include "common/owner_crt_win.h"
#include "common/pe_header.h"
#include "common/python_registry_win.h"
#include "python_runtime/python_discovery.h"
#include "python_runtime/python_traits.h"
#include "record/uninstall_registration.h"
#include "startup/setup_config.h"

namespace {

// Reads the InstallPath default value into path (INSTALL_PATH_READ bytes) in
// the ANSI code page; gives the bytes read, 0 for none. A string is read wide
// and converted without best fit: a directory that the code page cannot hold
// (a profile folder in another script) could receive no file, and is not
// taken at all. A value of another type is taken as its bytes stand.
DWORD query_install_path(HKEY install_path_key, char* path) {
  wchar_t wide[INSTALL_PATH_READ];
  DWORD type = REG_NONE;
  DWORD size = sizeof wide;
  if (RegQueryValueExW(install_path_key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(wide),
                       &size) != ERROR_SUCCESS)
    return 0;
  if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) {
    if (size > INSTALL_PATH_READ) return 0;
    std::memcpy(path, wide, size);
    return size;
  }
  std::wstring_view read(wide, size / sizeof(wchar_t));
  std::size_t nul = read.find(L'\0');
  if (nul == std::wstring_view::npos) return 0;
  ansi_conversion ansi = ansi_from_wide(wide, static_cast<int>(nul + 1), path, INSTALL_PATH_READ);
  return ansi.exact ? static_cast<DWORD>(ansi.length) : 0;
}

// Reads the InstallPath default value into a fresh record; none when the
// value is missing, too long, not held by the code page, or not a terminated
// string that fits python_dir.
unique_heap<python_install> read_python_install(HKEY install_path_key) {
  unique_heap<python_install> install(static_cast<python_install*>(std::calloc(1, sizeof(python_install))));
  if (!install) return install;
  DWORD size = query_install_path(install_path_key, install.get()->install_path);
  if (size == 0 || !read_install_path(install.get()->install_path, size).usable) install.reset();
  return install;
}

// The processor the running program is built for, from its own header.
std::uint16_t own_machine() {
  auto* base = reinterpret_cast<const std::byte*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  return nt->FileHeader.Machine;
}

// The machine field of the DLL at path; 0 when there is none to read.
std::uint16_t machine_of_file(const char* path) {
  unique_file file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 0;
  std::byte head[4096];
  DWORD read = 0;
  if (!ReadFile(file.get(), head, sizeof head, &read, nullptr)) return 0;
  return pe_machine(std::span<const std::byte>(head, read));
}

// A Python whose DLL is looked for in its own directory, and found there or
// else in the system directory, but built for another processor can never be
// loaded here (a 64-bit Python seen by a 32-bit program through
// HKEY_CURRENT_USER, and the reverse). A DLL that is not found says nothing
// against the row, except for a free-threaded build: its DLL is the only way
// to tell that build from the other one of the same folder.
bool python_loadable(const python_install& install) {
  if (install.version_numbers < 2) return true;
  bool own_dir = python_traits_for(install.py_major, install.py_minor).search == dll_search::own_dir_then_system;
  if (!own_dir && !install.free_threaded) return true;
  char dll[MAX_PATH];
  if (!format_python_dll(dll, sizeof dll, install.py_major, install.py_minor, install.free_threaded))
    return true;
  std::string_view dir = install.install_path;
  if (!dir.empty() && dir.back() == '\\') dir.remove_suffix(1);
  char path[MAX_PATH];
  std::uint16_t machine = 0;
  if (format_whole(path, sizeof path, "%.*s\\%s", static_cast<int>(dir.size()), dir.data(), dll))
    machine = machine_of_file(path);
  char system_dir[MAX_PATH];
  UINT n = GetSystemDirectoryA(system_dir, sizeof system_dir);
  if (machine == 0 && n > 0 && n < sizeof system_dir &&
      format_whole(path, sizeof path, "%s\\%s", system_dir, dll))
    machine = machine_of_file(path);
  if (machine == 0) return !install.free_threaded;
  return machine == own_machine();
}

// An installation that could receive files: an InstallPath naming an existing
// folder. A stale registration, or an empty value that would put everything
// into the current drive's root, is not offered.
bool names_a_folder(const char* dir) {
  DWORD attributes = dir[0] ? GetFileAttributesA(dir) : INVALID_FILE_ATTRIBUTES;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Visits with the list box as context.
void add_install_row(const python_registration& found, void* context) {
  HWND list = static_cast<HWND>(context);
  char row_text[ROW_TEXT_WIDTH];
  if (!version_name_fits(found.tag) || !format_whole(row_text, sizeof row_text, PYTHON_ROW_FORMAT, found.tag))
    return;
  // The package's python_requires filters by the row's X.Y, as target_version does.
  if (!python_requires_accepts(setup_config.python_requires, found.version.numbers, found.version.major,
                               found.version.minor))
    return;
  unique_hkey install_path_key;
  if (RegOpenKeyExA(found.tag_key, INSTALL_PATH_SUBKEY, 0, KEY_READ, install_path_key.put()) != ERROR_SUCCESS)
    return;
  unique_heap<python_install> install = read_python_install(install_path_key.get());
  if (!install || !names_a_folder(install.get()->install_path)) return;
  install.get()->version_numbers = found.version.numbers;
  install.get()->py_major = found.version.major;
  install.get()->py_minor = found.version.minor;
  install.get()->free_threaded = found.version.free_threaded;
  if (!python_loadable(*install.get())) return;
  // The list keeps its rows sorted: the add tells where this row landed.
  LRESULT row = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row_text));
  if (row < 0) return;
  install.get()->root_key = found.root;
  // From here the row owns the record, for the rest of the program.
  SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(install.release()));
}

void clear_selection(chosen_python& target, char* dir_text, std::size_t width) {
  target.python_dir[0] = '\0';
  target.python_dll[0] = '\0';
  copy_cut(dir_text, width, "");
}

// As many numbers as the registration gave are taken; the DLL is named only
// from a whole X.Y.
void apply_row_version(const python_install& install, chosen_python& target) {
  if (install.version_numbers >= 1) target.py_major = install.py_major;
  if (install.version_numbers >= 2) {
    target.py_minor = install.py_minor;
    format_python_dll(target.python_dll, sizeof target.python_dll, target.py_major, target.py_minor,
                      install.free_threaded);
  }
}

registry_root root_of(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE) return registry_root::local_machine;
  if (key == HKEY_CURRENT_USER) return registry_root::current_user;
  return registry_root::unset;
}

}  // namespace

int list_python_installs(HWND list, HKEY root, const char* target_version) {
  return walk_python_registrations(root, target_version ? target_version : "", add_install_row, list) ? 1 : 0;
}

void list_all_python_installs(HWND list, const char* target_version) {
  list_python_installs(list, HKEY_LOCAL_MACHINE, target_version);
  list_python_installs(list, HKEY_CURRENT_USER, target_version);
}

int preselected_python_row(HWND list, const char* version) {
  int rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  if (!version) return rows > 0 ? rows - 1 : LB_ERR;
  char wanted[ROW_TEXT_WIDTH];
  if (!version_name_fits(version) || !format_whole(wanted, sizeof wanted, PYTHON_ROW_FORMAT, version))
    return LB_ERR;
  for (int row = rows - 1; row >= 0; --row) {
    char text[ROW_TEXT_WIDTH];
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof text) continue;
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
    if (std::strcmp(text, wanted) == 0) return row;
  }
  return LB_ERR;
}

void apply_python_selection(HWND list, int row, chosen_python& target, char* dir_text,
                            std::size_t width) {
  if (row == LB_ERR) {
    clear_selection(target, dir_text, width);
    return;
  }
  LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0);
  auto* install = reinterpret_cast<const python_install*>(data);
  if (data == LB_ERR || !install) {
    clear_selection(target, dir_text, width);
    return;
  }
  target.root_hkey = install->root_key;
  copy_cut(target.python_dir, sizeof target.python_dir, install->install_path);
  apply_row_version(*install, target);
  format_install_dir_text(dir_text, width, target.python_dir, target.py_major, target.py_minor);
}

HKEY check_root_key(HWND owner, HKEY root_hkey) {
  registry_root before = root_of(root_hkey);
  if (root_key_is_strange(before))
    show_message_box(owner, "Don't know Python's installation type", "Strange", MB_ICONERROR);
  if (!root_key_needs_test(before)) return root_hkey;
  registry_root after = settle_root_key(before, hklm_uninstall_writable());
  return after == registry_root::local_machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

bool hklm_uninstall_writable() {
  unique_hkey key;
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY_PATH, 0, KEY_CREATE_SUB_KEY, key.put()) ==
         ERROR_SUCCESS;
}
