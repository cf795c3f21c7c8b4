#include "python_runtime/interpreter_win.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "common/fixed_text.h"
#include "common/owner_win.h"
#include "common/program_win.h"
#include "python_runtime/builtins_win.h"
#include "python_runtime/python_bind_win.h"
#include "python_runtime/python_target_win.h"
#include "wizard/install_status_win.h"

// Loads a DLL from a full path; its own imports are searched only beside it
// and in the system directory. Systems without the search flags reject them,
// and then the older flag keeps the DLL's directory first.
static HMODULE load_from_path(const char* path) {
  HMODULE module =
      LoadLibraryExA(path, nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!module && GetLastError() == ERROR_INVALID_PARAMETER)
    module = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  return module;
}

// A system-wide installation puts its DLL into the system directory. Never
// the plain search order: it starts in the installer's own directory and the
// current one, where a downloaded file of the same name may lie.
static HMODULE load_from_system_directory(const char* dll_name) {
  char directory[MAX_PATH];
  UINT n = GetSystemDirectoryA(directory, sizeof directory);
  if (n == 0 || n >= sizeof directory) return nullptr;
  char path[MAX_PATH];
  if (!format_whole(path, sizeof path, "%s\\%s", directory, dll_name)) return nullptr;
  return load_from_path(path);
}

// The installation's own directory, from its InstallPath key: per user first.
// Without a usable key the error of the earlier load stays the one reported.
static HMODULE load_from_install_path(const char* dll_name, DWORD load_error) {
  char key[80];
  format_cut(key, sizeof key, "SOFTWARE\\Python\\PythonCore\\%d.%d\\InstallPath", py_major, py_minor);
  char directory[MAX_PATH];
  bool found = false;
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    // Set before each read: a failed read may leave the needed size in it.
    LONG length = sizeof directory;
    if (RegQueryValueA(root, key, directory, &length) == ERROR_SUCCESS) {
      found = true;
      break;
    }
  }
  directory[sizeof directory - 1] = '\0';
  char path[MAX_PATH];
  if (!found || directory[0] == '\0' ||
      !format_whole(path, sizeof path, "%s\\%s", directory, dll_name)) {
    SetLastError(load_error);
    return nullptr;
  }
  return load_from_path(path);
}

HMODULE load_python_dll(const char* dll_name) {
  char home[272];
  format_cut(home, sizeof home, "PYTHONHOME=%s", python_dir);
  _putenv(home);
  if (HMODULE module = load_from_system_directory(dll_name)) return module;
  return load_from_install_path(dll_name, GetLastError());
}

int register_builtins(HMODULE python) {
  auto import_module = bind_entry<py_import_module_fn>(python, "PyImport_ImportModule");
  auto set_attr = bind_entry<py_set_attr_fn>(python, "PyObject_SetAttrString");
  auto get_attr = bind_entry<py_get_attr_fn>(python, "PyObject_GetAttrString");
  auto cfunction_new = bind_entry<py_cfunction_new_fn>(python, "PyCFunction_New");
  auto build_value = bind_entry<py_build_value_fn>(python, "Py_BuildValue");
  auto parse_tuple = bind_entry<py_parse_tuple_fn>(python, "PyArg_ParseTuple");
  auto err_format = bind_entry<py_err_format_fn>(python, "PyErr_Format");
  auto long_from_void_ptr = bind_entry<py_long_from_void_ptr_fn>(python, "PyLong_FromVoidPtr");
  if (!import_module || !set_attr || !get_attr || !cfunction_new || !build_value || !parse_tuple ||
      !err_format)
    return 1;
  // Attributes of __builtin__ are global names in every script, no import needed.
  if (py_object* builtins = import_module("__builtin__")) {
    builtin_api.value_error = get_attr(builtins, "ValueError");
    builtin_api.os_error = get_attr(builtins, "OSError");
    for (py_method_def& row : builtin_methods) set_attr(builtins, row.name, cfunction_new(&row, nullptr));
  }
  builtin_api.build_value = build_value;
  builtin_api.parse_tuple = parse_tuple;
  builtin_api.err_format = err_format;
  builtin_api.long_from_void_ptr = long_from_void_ptr;
  return 0;
}

int run_simple_string(HMODULE python, const char* text) {
  auto initialize = bind_entry<py_void_fn>(python, "Py_Initialize");
  auto set_program_name = bind_entry<py_set_program_name_fn>(python, "Py_SetProgramName");
  auto finalize = bind_entry<py_void_fn>(python, "Py_Finalize");
  auto run_string = bind_entry<py_run_simple_string_fn>(python, "PyRun_SimpleString");
  auto print_error = bind_entry<py_void_fn>(python, "PyErr_Print");
  if (!initialize || !set_program_name || !finalize || !run_string || !print_error) return -1;
  set_program_name(module_path);
  initialize();
  register_builtins(python);
  int rc = run_string(text);
  if (rc != 0) print_error();
  finalize();
  return rc;
}

namespace {
// A file descriptor of the runtime library, closed when its scope ends.
struct crt_file {
  int fd;
  ~crt_file() {
    if (fd >= 0) _close(fd);
  }
};

struct heap_text {
  char* p;
  ~heap_text() { std::free(p); }
};
}  // namespace

// Runs the n bytes read from fd, followed by a newline so that a last line
// without one still ends; 3 when nothing could be read.
static int run_file_content(py_run_simple_string_fn run_string, int fd) {
  // The 64-bit variant: both runtime libraries the stub is built against
  // export it under the same name.
  struct _stat64 info;
  if (_fstat64(fd, &info) != 0 || info.st_size <= 0 || info.st_size > 0x7FFFFFFD) return 3;
  heap_text text{static_cast<char*>(std::malloc(static_cast<std::size_t>(info.st_size) + 2))};
  if (!text.p) return 3;
  // Text mode reads CR LF as LF, so fewer bytes than the size may arrive.
  int n = _read(fd, text.p, static_cast<unsigned>(info.st_size));
  if (n <= 0) return 3;
  text.p[n] = '\n';
  text.p[n + 1] = '\0';
  return run_string(text.p);
}

int run_installscript(HMODULE python, const char* path, int argc, char** argv) {
  auto initialize = bind_entry<py_void_fn>(python, "Py_Initialize");
  auto set_argv = bind_entry<py_sys_set_argv_fn>(python, "PySys_SetArgv");
  auto run_string = bind_entry<py_run_simple_string_fn>(python, "PyRun_SimpleString");
  auto finalize = bind_entry<py_void_fn>(python, "Py_Finalize");
  auto build_value = bind_entry<py_build_value_fn>(python, "Py_BuildValue");
  auto cfunction_new = bind_entry<py_cfunction_new_fn>(python, "PyCFunction_New");
  auto parse_tuple = bind_entry<py_parse_tuple_fn>(python, "PyArg_ParseTuple");
  auto err_format = bind_entry<py_err_format_fn>(python, "PyErr_Format");
  if (!initialize || !set_argv || !run_string || !finalize || !build_value || !cfunction_new ||
      !parse_tuple || !err_format)
    return 1;
  if (!path || path[0] == '\0') return 2;
  crt_file file{_open(path, _O_RDONLY)};
  if (file.fd < 0) {
    // The same words serve for an uninstall script.
    std::fputs("Could not open postinstall-script ", stderr);
    std::fputs(path, stderr);
    std::fputs("\n", stderr);
    return 3;
  }
  show_item_text("Running Script...");
  initialize();
  register_builtins(python);
  set_argv(argc, argv);
  int rc = run_file_content(run_string, file.fd);
  finalize();
  return rc;
}
