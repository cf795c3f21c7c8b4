// Byte-compilation of the installed modules on compile_list.
#pragma once
#include <windows.h>

#include "python_runtime/python_bind_win.h"

// One compile pass over compile_list: optimize 0 writes .pyc, 1 writes .pyo.
// Loads target's DLL, compiles, frees it; does nothing more when it won't load.
void run_compile_pass(const chosen_python& target, int optimize);

// Compiles every compile_list entry in one interpreter run: 0 for an empty
// list, -1 when an entry point is missing, else the number of failures.
int compile_modules(const loaded_python& python, int optimize);

// The compile loop of compile_modules in the started interpreter: compiles
// each compile_list entry, records its compiled name (and a cache folder it
// made) and moves the install page's bar. Returns the number of failures.
int compile_file_list(const loaded_python& python, int optimize);
