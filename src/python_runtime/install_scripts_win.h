// The package's scripts, each one interpreter run.
#pragma once
#include <windows.h>

#include "python_runtime/python_bind_win.h"

// Runs the pre-install script text; 0 on success, else set_failure was called.
int run_preinstall_script(const char* script);

// The finish page's handling of its self-posted WM_USER.
void run_postinstall_script(HWND finish_page);

// Runs the uninstall script named by a "Run Script" record line (modified in
// place). 0 when the line names no script, else 1.
int run_uninstall_script(char* record);
