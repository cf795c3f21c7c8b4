// The Python installation chosen on the select-Python page: where the package
// goes, which interpreter DLL runs its scripts, and under which registry root
// it is registered.
#pragma once
#include <windows.h>

extern char python_dir[MAX_PATH];  // no trailing backslash once installing starts
extern int py_major;
extern int py_minor;
extern char python_dll[MAX_PATH];  // "python%d%d.dll", empty while none is chosen
extern HKEY root_hkey;             // HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER

// root_hkey's value until a Python is chosen.
inline HKEY root_hkey_unset() { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0xFFFFFFFFu)); }
