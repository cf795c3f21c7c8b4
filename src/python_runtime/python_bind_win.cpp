#include "python_runtime/python_bind_win.h"

#include <utility>

namespace {
template <typename T>
T entry(HMODULE module, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
}  // namespace

python_entry_points bind_python(HMODULE module) {
  python_entry_points api{};
  if (!module) return api;
  api.initialize = entry<py_void_fn>(module, "Py_Initialize");
  api.finalize = entry<py_void_fn>(module, "Py_Finalize");
  api.set_program_name = entry<py_set_program_name_fn>(module, "Py_SetProgramName");
  api.set_program_name_wide = entry<py_set_program_name_wide_fn>(module, "Py_SetProgramName");
  api.run_simple_string = entry<py_run_simple_string_fn>(module, "PyRun_SimpleString");
  api.err_print = entry<py_void_fn>(module, "PyErr_Print");
  api.sys_set_argv = entry<py_sys_set_argv_fn>(module, "PySys_SetArgv");
  api.sys_set_argv_wide = entry<py_sys_set_argv_wide_fn>(module, "PySys_SetArgv");
  api.sys_get_object = entry<void*>(module, "PySys_GetObject");
  api.sys_set_object = entry<py_sys_set_object_fn>(module, "PySys_SetObject");
  api.optimize_flag = entry<int*>(module, "Py_OptimizeFlag");
  api.import_module = entry<py_import_module_fn>(module, "PyImport_ImportModule");
  api.get_attr = entry<py_get_attr_fn>(module, "PyObject_GetAttrString");
  api.set_attr = entry<py_set_attr_fn>(module, "PyObject_SetAttrString");
  api.cfunction_new = entry<py_cfunction_new_fn>(module, "PyCFunction_New");
  api.build_value = entry<py_build_value_fn>(module, "Py_BuildValue");
  api.parse_tuple = entry<py_parse_tuple_fn>(module, "PyArg_ParseTuple");
  api.err_format = entry<py_err_format_fn>(module, "PyErr_Format");
  api.long_from_void_ptr = entry<py_long_from_void_ptr_fn>(module, "PyLong_FromVoidPtr");
  api.dec_ref = entry<py_dec_ref_fn>(module, "Py_DecRef");
  return api;
}

loaded_python bind_python_dll(unique_module module, const chosen_python& target) {
  loaded_python python;
  python.target = &target;
  python.traits = traits_of(target);
  python.api = bind_python(module.get());
  python.module = std::move(module);
  return python;
}
