// The create_shortcut builtin: a shell link written through the shell's COM
// object.
#pragma once
#include "python_runtime/python_api.h"

// Arguments "sss|sssi": target, description, shortcut file, then optional
// arguments, working directory, icon path and icon index. None, or null with
// OSError set.
py_object* create_shortcut(py_object* self, py_object* args);
