// The six functions that scripts may call as global names, and the record
// through which they reach the interpreter of the current run.
#pragma once
#include <windows.h>

#include <cstddef>

#include "python_runtime/python_api.h"

// Set afresh by register_builtins in every run that executes a script; the
// pointers lead into that run's DLL and go stale once it is freed, but only
// builtins use them, and they run only inside such a run.
struct builtin_api_fields {
  py_build_value_fn build_value;
  py_parse_tuple_fn parse_tuple;
  py_err_format_fn err_format;
  py_long_from_void_ptr_fn long_from_void_ptr;  // may be null
  py_object* value_error;
  py_object* os_error;
  bool utf8;  // Python 3: char strings in and out are UTF-8
  HKEY root_hkey;  // the root the package is registered under
};
extern builtin_api_fields builtin_api;

// The builtins table: six rows, no terminating row, walked by count. The
// interpreter's function objects point at the rows, so they live for the
// whole program.
inline constexpr std::size_t BUILTIN_COUNT = 6;
extern py_method_def builtin_methods[BUILTIN_COUNT];
