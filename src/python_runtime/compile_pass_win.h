// Byte-compilation of the installed modules on compile_list.
#pragma once
#include <windows.h>

#include "python_runtime/python_bind_win.h"

// One compile pass over compile_list: optimize 0 writes .pyc, 1 writes .pyo.
// Loads python_dll, compiles, frees it; does nothing more when it won't load.
void run_compile_pass(int optimize);

// Compiles every compile_list entry in one interpreter run: 0 for an empty
// list, -1 when an entry point is missing, else the number of failures.
int compile_modules(const loaded_python& python, int optimize);

// The compile loop of compile_modules, given the run's PyRun_SimpleString:
// compiles each compile_list entry, records its compiled name and moves the
// install page's bar. Returns the number of failed compilations.
int compile_file_list(int (*run_string)(const char* text), int optimize);
