#include "python_runtime/interpreter_win.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "common/fixed_text.h"
#include "common/install_status.h"
#include "common/owner_crt_win.h"
#include "common/program_win.h"
#include "python_runtime/builtins_win.h"
#include "python_runtime/python_discovery.h"
#include "python_runtime/python_statements.h"
#include "python_runtime/python_text_win.h"
#include "python_runtime/sys_value_win.h"

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
// Without a usable directory the error of the earlier load stays the one
// reported.
static HMODULE load_from_install_path(const chosen_python& target, DWORD load_error) {
  const char* dll_name = target.python_dll;
  char version[24];
  format_cut(version, sizeof version, "%d.%d", target.py_major, target.py_minor);
  char key[80];
  format_cut(key, sizeof key, INSTALL_PATH_KEY_FORMAT, version);
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
  // Another company's registration has no PythonCore key: the chosen row's
  // InstallPath, python_dir, is its directory.
  if (!found) found = copy_cut(directory, sizeof directory, target.python_dir);
  char path[MAX_PATH];
  if (!found || directory[0] == '\0' ||
      !format_whole(path, sizeof path, "%s\\%s", directory, dll_name)) {
    SetLastError(load_error);
    return nullptr;
  }
  return load_from_path(path);
}

// A Python 3 installation's own directory comes first: a python3X.dll in the
// system directory belongs to some other program.
static HMODULE load_from_python_dir(const chosen_python& target) {
  char path[MAX_PATH];
  if (target.python_dir[0] == '\0' ||
      !format_whole(path, sizeof path, "%s\\%s", target.python_dir, target.python_dll))
    return nullptr;
  return load_from_path(path);
}

loaded_python load_python_dll(const chosen_python& target) {
  char home[272];
  format_cut(home, sizeof home, "PYTHONHOME=%s", target.python_dir);
  _putenv(home);
  unique_module module;
  if (traits_of(target).search == dll_search::own_dir_then_system) {
    module.reset(load_from_python_dir(target));
    if (!module) module.reset(load_from_system_directory(target.python_dll));
  } else {
    module.reset(load_from_system_directory(target.python_dll));
    if (!module) module.reset(load_from_install_path(target, GetLastError()));
  }
  return bind_python_dll(std::move(module), target);
}

int register_builtins(const loaded_python& python) {
  const python_entry_points& api = python.api;
  if (!api.import_module || !api.set_attr || !api.get_attr || !api.cfunction_new ||
      !api.build_value || !api.parse_tuple || !api.err_format)
    return 1;
  // Attributes of the builtins module are global names in every script, no
  // import needed; Python 3 renamed it.
  if (py_object* builtins = api.import_module(python.traits.builtins_module)) {
    builtin_api.value_error = api.get_attr(builtins, "ValueError");
    builtin_api.os_error = api.get_attr(builtins, "OSError");
    for (py_method_def& row : builtin_methods)
      api.set_attr(builtins, row.name, api.cfunction_new(&row, nullptr));
  }
  builtin_api.build_value = api.build_value;
  builtin_api.parse_tuple = api.parse_tuple;
  builtin_api.err_format = api.err_format;
  builtin_api.long_from_void_ptr = api.long_from_void_ptr;
  builtin_api.utf8 = python.traits.utf8_text;
  builtin_api.root_hkey = python.target->root_hkey;
  return 0;
}

// Python 3 keeps the pointer for the whole program: static storage.
static wchar_t wide_program_name[MAX_PATH];

void set_python_program_name(const loaded_python& python) {
  // Python 3 deprecated the setter and may drop it: it starts without.
  if (!python.api.set_program_name) return;
  if (!python.traits.wide_setters) {
    python.api.set_program_name(module_path);
    return;
  }
  if (MultiByteToWideChar(CP_ACP, 0, module_path, -1, wide_program_name, MAX_PATH) == 0)
    wide_program_name[0] = L'\0';
  python.api.set_program_name_wide(wide_program_name);
}

namespace {

// Python 3 writes through a runtime library of its own, which the capture of
// the installer's streams does not reach: its sys.stdout and sys.stderr are
// pointed at the capture file instead, after the interpreter has started.
// The path reaches the interpreter as a value, so any folder of TEMP serves.
void redirect_output(const loaded_python& python) {
  if (!python.traits.redirects_output_inside || !python.output_path) return;
  sys_value path(python, OUTPUT_VALUE, python.output_path);
  if (path && path.length() <= OUTPUT_PATH_LIMIT) python.api.run_simple_string(OUTPUT_REDIRECT_STATEMENT);
}

void close_output(const loaded_python& python) {
  if (python.traits.redirects_output_inside && python.output_path) python.api.run_simple_string(OUTPUT_CLOSE_STATEMENT);
}

// argv as wide strings, for as long as PySys_SetArgv needs them.
class wide_argv {
 public:
  wide_argv(int argc, char** argv) : count_(argc < 0 ? 0 : argc > MAX_ARGS ? MAX_ARGS : argc) {
    for (int i = 0; i < count_; ++i) {
      texts_[i] = wide_from_ansi(argv[i] ? argv[i] : "");
      pointers_[i] = texts_[i] ? texts_[i].get() : empty_;
    }
    pointers_[count_] = nullptr;
  }
  int count() const { return count_; }
  wchar_t** get() { return pointers_; }

 private:
  static constexpr int MAX_ARGS = 8;
  int count_;
  unique_heap<wchar_t> texts_[MAX_ARGS];
  wchar_t empty_[1] = {L'\0'};
  wchar_t* pointers_[MAX_ARGS + 1] = {};
};

// A Python 3 whose PySys_SetArgv is gone gets sys.argv through sys itself.
void set_argv(const loaded_python& python, int argc, char** argv) {
  if (!python.traits.wide_setters) {
    python.api.sys_set_argv(argc, argv);
    return;
  }
  if (!python.api.sys_set_argv_wide) {
    set_sys_argv(python, argc, argv);
    return;
  }
  wide_argv wide(argc, argv);
  python.api.sys_set_argv_wide(wide.count(), wide.get());
}

}  // namespace

int run_simple_string(const loaded_python& python, const char* text) {
  const python_entry_points& api = python.api;
  if (!api.initialize || (!api.set_program_name && python.traits.needs_legacy_setters) || !api.finalize ||
      !api.run_simple_string || !api.err_print)
    return -1;
  set_python_program_name(python);
  api.initialize();
  register_builtins(python);
  redirect_output(python);
  int rc = api.run_simple_string(text);
  if (rc != 0) api.err_print();
  close_output(python);
  api.finalize();
  return rc;
}

// Runs the n bytes read from fd, followed by a newline so that a last line
// without one still ends; 3 when nothing could be read.
static int run_file_content(py_run_simple_string_fn run_string, int fd) {
  // The 64-bit variant: both runtime libraries the stub is built against
  // export it under the same name.
  struct _stat64 info;
  if (_fstat64(fd, &info) != 0 || info.st_size <= 0 || info.st_size > 0x7FFFFFFD) return 3;
  unique_heap_text text = heap_alloc<char>(static_cast<std::size_t>(info.st_size) + 2);
  if (!text) return 3;
  // Text mode reads CR LF as LF, so fewer bytes than the size may arrive.
  int n = _read(fd, text.get(), static_cast<unsigned>(info.st_size));
  if (n <= 0) return 3;
  text.get()[n] = '\n';
  text.get()[n + 1] = '\0';
  return run_string(text.get());
}

int run_installscript(const loaded_python& python, const char* path, int argc, char** argv) {
  const python_entry_points& api = python.api;
  // A Python 3 can have sys.argv set through sys instead.
  bool argv_settable = api.sys_set_argv || (!python.traits.needs_legacy_setters && api.sys_set_object);
  if (!api.initialize || !argv_settable || !api.run_simple_string || !api.finalize ||
      !api.build_value || !api.cfunction_new || !api.parse_tuple || !api.err_format)
    return 1;
  if (!path || path[0] == '\0') return 2;
  unique_fd file(_open(path, _O_RDONLY));
  if (!file) {
    // The same words serve for an uninstall script.
    std::fputs("Could not open postinstall-script ", stderr);
    std::fputs(path, stderr);
    std::fputs("\n", stderr);
    return 3;
  }
  show_item_text("Running Script...");
  api.initialize();
  register_builtins(python);
  set_argv(python, argc, argv);
  redirect_output(python);
  int rc = run_file_content(api.run_simple_string, file.get());
  close_output(python);
  api.finalize();
  return rc;
}
