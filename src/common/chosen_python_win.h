// The Python installation that a package goes into: chosen on the
// select-Python page (or by /PYTHON=), owned by the install sequence and
// handed to every step that needs it; the uninstaller makes its own from a
// "Run Script" record of the log.
#pragma once
#include <windows.h>

// root_hkey's value until a Python is chosen.
inline HKEY root_hkey_unset() { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0xFFFFFFFFu)); }

struct chosen_python {
  char python_dir[MAX_PATH] = {};  // no trailing backslash once installing starts
  char python_dll[MAX_PATH] = {};  // "python%d%d.dll" ("python%d%dt.dll" free-threaded), empty while none is chosen
  int py_major = 0;
  int py_minor = 0;
  HKEY root_hkey = root_hkey_unset();  // HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER
};
