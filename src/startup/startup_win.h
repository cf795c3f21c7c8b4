// The program's entry and the state that lives for the whole run.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

extern char module_path[MAX_PATH];  // the running executable's full path
extern HWND main_window;            // the background window, or none

// Shows the "Runtime Error" box: the system's text for error_code (0: none)
// followed directly by text, which is never used as a format. Returns 0.
int report_system_error(DWORD error_code, const char* text);

// Install mode, after the package was opened. Returns 0.
int run_installer();
