// What every subsystem shares of the running program: its executable's path,
// the background window that owns its boxes, and the "Runtime Error" box.
#pragma once
#include <windows.h>

extern char module_path[MAX_PATH];  // the running executable's full path
extern HWND main_window;            // the background window, or none

// Shows the "Runtime Error" box: the system's text for error_code (0: none)
// followed directly by text, which is never used as a format. Returns 0.
int report_system_error(DWORD error_code, const char* text);
