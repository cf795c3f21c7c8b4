// Binding the interpreter's entry points by name in the DLL of the current run.
#pragma once
#include <windows.h>

template <typename Fn>
Fn bind_entry(HMODULE python, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(python, name)));
}
