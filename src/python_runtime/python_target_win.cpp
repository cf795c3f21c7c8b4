#include "python_runtime/python_target_win.h"

char python_dir[MAX_PATH];
int py_major;
int py_minor;
char python_dll[MAX_PATH];
HKEY root_hkey = root_hkey_unset();
