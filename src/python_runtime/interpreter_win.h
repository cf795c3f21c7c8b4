// Loading the chosen Python's DLL and running one interpreter in it.
#pragma once
#include "python_runtime/python_bind_win.h"

// Loads and binds target's interpreter DLL for an install-time step; empty
// when it cannot be loaded (GetLastError tells why). Freed when the result
// ends; target must outlive it.
loaded_python load_python_dll(const chosen_python& target);

// Makes the script builtins attributes of __builtin__ (builtins in Python 3).
// 0 when the entry points were found, 1 when one was missing.
int register_builtins(const loaded_python& python);

// Py_SetProgramName(module_path), as a wide string for Python 3.
void set_python_program_name(const loaded_python& python);

// Runs a text in a fresh interpreter: -1 when an entry point is missing,
// else PyRun_SimpleString's result.
int run_simple_string(const loaded_python& python, const char* text);

// Runs a script file with sys.argv set: 1 entry point missing, 2 no path,
// 3 file unreadable or empty, else PyRun_SimpleString's result.
int run_installscript(const loaded_python& python, const char* path, int argc, char** argv);
