// One loaded interpreter DLL and every entry point the installer binds in it,
// each name looked up once, when the DLL is loaded. A name the DLL lacks
// leaves its field null; each runner checks the fields it needs before the
// interpreter starts.
#pragma once
#include <windows.h>

#include "common/chosen_python_win.h"
#include "common/owner_win.h"
#include "python_runtime/python_api.h"
#include "python_runtime/python_traits.h"

// What target's version changes in every run.
inline python_traits traits_of(const chosen_python& target) {
  return python_traits_for(target.py_major, target.py_minor);
}

struct python_entry_points {
  py_void_fn initialize;
  py_void_fn finalize;
  py_set_program_name_fn set_program_name;
  py_set_program_name_wide_fn set_program_name_wide;  // the same symbol, as Python 3 takes it
  py_run_simple_string_fn run_simple_string;
  py_void_fn err_print;
  py_sys_set_argv_fn sys_set_argv;
  py_sys_set_argv_wide_fn sys_set_argv_wide;  // the same symbol, as Python 3 takes it
  void* sys_get_object;  // required by the compile runs, never called
  py_sys_set_object_fn sys_set_object;
  int* optimize_flag;    // a data symbol
  py_import_module_fn import_module;
  py_get_attr_fn get_attr;
  py_set_attr_fn set_attr;
  py_cfunction_new_fn cfunction_new;
  py_build_value_fn build_value;
  py_parse_tuple_fn parse_tuple;
  py_err_format_fn err_format;
  py_long_from_void_ptr_fn long_from_void_ptr;  // may be missing
  py_dec_ref_fn dec_ref;                        // may be missing: the reference then stays
};

// The DLL of one step: freed when the step's loaded_python goes out of scope.
struct loaded_python {
  unique_module module;
  python_entry_points api{};
  // The installation it was loaded for, and what its version changes in
  // every run.
  const chosen_python* target = nullptr;
  python_traits traits{};
  // Output redirected inside the interpreter: the capture file its sys.stdout and sys.stderr append to while
  // a script runs (none: left as the interpreter made them).
  const char* output_path = nullptr;

  explicit operator bool() const { return static_cast<bool>(module); }
};

// Looks up every entry point of the installer in module (none: all null).
python_entry_points bind_python(HMODULE module);

// Takes over a loaded module of target's interpreter and binds it; an empty
// owner gives an empty result. target must outlive the result.
loaded_python bind_python_dll(unique_module module, const chosen_python& target);
