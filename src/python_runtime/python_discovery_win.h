// The registered Python installations, listed on the select-Python page.
#pragma once
#include <windows.h>

#include <cstddef>

#include "common/chosen_python_win.h"

// One listed installation, the item data of its row; allocated when the row
// is added and owned by the row until the program ends.
struct python_install {
  char install_path[264];  // the InstallPath default value, at most 261 bytes read
  HKEY root_key;           // the root it was found under
  // The version the registration states, the row's X.Y: version_numbers says
  // how many of py_major and py_minor are known (2 for every row but a
  // PythonCore tag that is no version).
  int version_numbers;
  int py_major;
  int py_minor;
  bool free_threaded;  // its DLL is pythonXYt.dll
};

// Adds a row for each installation registered under root (every company,
// PythonCore's first) that passes target_version and the package's
// python_requires. Returns 1 when the Python key could be opened, else 0.
int list_python_installs(HWND list, HKEY root, const char* target_version);

// Lists the installations of HKEY_LOCAL_MACHINE, then HKEY_CURRENT_USER.
void list_all_python_installs(HWND list, const char* target_version);

// The row to preselect: the last one whose version is exactly version, or the
// last row when version is none (rows are sorted by text, so that is the
// highest version); LB_ERR when there is none.
int preselected_python_row(HWND list, const char* version);

// Sets target's python_dir, py_major, py_minor, python_dll and root_hkey
// from the record of row (LB_ERR: no row selected) of the list, and writes the installation
// directory text that the page shows into dir_text (empty for no row).
void apply_python_selection(HWND list, int row, chosen_python& target, char* dir_text,
                            std::size_t width);

// The chosen root_hkey settled against the user's rights, before anything
// is registered.
HKEY check_root_key(HWND owner, HKEY root_hkey);

// Whether the user may create keys under HKEY_LOCAL_MACHINE's Uninstall key.
bool hklm_uninstall_writable();
