#include "python_runtime/builtins_win.h"

#include <windows.h>

#include <cstdint>

#include "common/message_box_win.h"
#include "python_runtime/csidl_folders.h"
#include "python_runtime/python_text_win.h"
#include "python_runtime/shortcut_win.h"
#include "record/install_log_win.h"

builtin_api_fields builtin_api;

static py_object* none() { return builtin_api.build_value(""); }

using sh_get_special_folder_path_fn = BOOL(WINAPI*)(HWND owner, char* path, int folder, BOOL create);

// Bound once and kept across interpreter runs; shell32 stays loaded for it.
static sh_get_special_folder_path_fn sh_get_special_folder_path;

static py_object* get_special_folder_path(py_object*, py_object* args) {
  if (!sh_get_special_folder_path) {
    HMODULE shell = LoadLibraryA("shell32.dll");
    if (!shell) return builtin_api.err_format(builtin_api.os_error, "function not available");
    sh_get_special_folder_path = reinterpret_cast<sh_get_special_folder_path_fn>(
        reinterpret_cast<void*>(GetProcAddress(shell, "SHGetSpecialFolderPathA")));
  }
  const char* name;
  if (!builtin_api.parse_tuple(args, "s", &name)) return nullptr;
  if (!sh_get_special_folder_path)
    return builtin_api.err_format(builtin_api.os_error, "function not available");
  int folder = find_special_folder(name);
  if (folder < 0) return builtin_api.err_format(builtin_api.value_error, "unknown CSIDL (%s)", name);
  char path[MAX_PATH];
  // FALSE: a folder the system lacks is reported, never created.
  if (!sh_get_special_folder_path(nullptr, path, folder, FALSE))
    return builtin_api.err_format(builtin_api.os_error, "no such folder (%s)", name);
  return builtin_api.build_value("s", python_from_ansi(path, builtin_api.utf8).get());
}

// The predefined root handles are 32-bit values; a 64-bit build sign-extends
// them, so only the low 32 bits are handed on, read as unsigned.
static py_object* get_root_hkey(py_object*, py_object*) {
  if (!builtin_api.long_from_void_ptr)
    return builtin_api.err_format(builtin_api.os_error, "function not available");
  auto value = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(builtin_api.root_hkey));
  return builtin_api.long_from_void_ptr(reinterpret_cast<void*>(static_cast<std::uintptr_t>(value)));
}

static py_object* file_created(py_object*, py_object* args) {
  const char* path;
  if (!builtin_api.parse_tuple(args, "s", &path)) return nullptr;
  record_file_created(ansi_from_python(path, builtin_api.utf8).get());
  return none();
}

static py_object* directory_created(py_object*, py_object* args) {
  const char* path;
  if (!builtin_api.parse_tuple(args, "s", &path)) return nullptr;
  record_directory_created(ansi_from_python(path, builtin_api.utf8).get());
  return none();
}

static py_object* message_box(py_object*, py_object* args) {
  const char* text;
  const char* caption;
  int flags;
  if (!builtin_api.parse_tuple(args, "ssi", &text, &caption, &flags)) return nullptr;
  int button = show_message_box(GetFocus(), ansi_from_python(text, builtin_api.utf8).get(),
                                ansi_from_python(caption, builtin_api.utf8).get(), static_cast<UINT>(flags));
  return builtin_api.build_value("i", button);
}

py_method_def builtin_methods[BUILTIN_COUNT] = {
    {"create_shortcut", create_shortcut, METH_VARARGS, nullptr},
    {"get_special_folder_path", get_special_folder_path, METH_VARARGS, nullptr},
    {"get_root_hkey", get_root_hkey, METH_NOARGS, nullptr},
    {"file_created", file_created, METH_VARARGS, nullptr},
    {"directory_created", directory_created, METH_VARARGS, nullptr},
    {"message_box", message_box, METH_VARARGS, nullptr},
};
