// The few shapes of the interpreter's C interface that the installer relies
// on. No Python headers are used: the interpreter DLL is loaded and bound by
// name at run time, so its objects stay opaque and only the entry points'
// signatures and the method row layout are declared here.
//
// Method row (one per builtin; the builtins table holds six, no terminator):
//
//   +0              name      const char*
//   +ptr            function  py_object* (*)(py_object* self, py_object* args)
//   +2*ptr          flags     int (1 METH_VARARGS, 4 METH_NOARGS), padded
//   +3*ptr          doc       const char*, always null
#pragma once
#include <cstddef>

struct py_object;  // never dereferenced by the installer

using py_cfunction = py_object* (*)(py_object* self, py_object* args);

struct py_method_def {
  const char* name;
  py_cfunction function;
  int flags;
  const char* doc;
};
static_assert(offsetof(py_method_def, flags) == 2 * sizeof(void*));
static_assert(sizeof(py_method_def) == 4 * sizeof(void*));

inline constexpr int METH_VARARGS = 1;
inline constexpr int METH_NOARGS = 4;

// Entry points, as the installer calls them (all cdecl).
using py_void_fn = void (*)();
using py_set_program_name_fn = void (*)(char* name);
using py_run_simple_string_fn = int (*)(const char* text);
using py_sys_set_argv_fn = void (*)(int argc, char** argv);
// The same two names from Python 3.0 on take wide strings.
using py_set_program_name_wide_fn = void (*)(wchar_t* name);
using py_sys_set_argv_wide_fn = void (*)(int argc, wchar_t** argv);
using py_import_module_fn = py_object* (*)(const char* name);
using py_get_attr_fn = py_object* (*)(py_object* object, const char* name);
using py_set_attr_fn = int (*)(py_object* object, const char* name, py_object* value);
using py_cfunction_new_fn = py_object* (*)(py_method_def* row, py_object* self);
using py_build_value_fn = py_object* (*)(const char* format, ...);
using py_parse_tuple_fn = int (*)(py_object* args, const char* format, ...);
using py_err_format_fn = py_object* (*)(py_object* exception, const char* format, ...);
using py_long_from_void_ptr_fn = py_object* (*)(void* pointer);
// Sets sys.<name> to value (a new reference of its own), or removes it when
// value is null: 0 on success.
using py_sys_set_object_fn = int (*)(const char* name, py_object* value);
using py_dec_ref_fn = void (*)(py_object* object);
