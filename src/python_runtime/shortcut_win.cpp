#include "python_runtime/shortcut_win.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include "python_runtime/builtins_win.h"
#include "python_runtime/python_text_win.h"

static const CLSID shell_link_class = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const IID shell_link_interface = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const IID persist_file_interface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Releases a COM interface when its scope ends.
template <typename T>
class com_ref {
 public:
  com_ref() = default;
  ~com_ref() {
    if (p_) p_->Release();
  }
  com_ref(const com_ref&) = delete;
  com_ref& operator=(const com_ref&) = delete;
  T* operator->() const { return p_; }
  void** put() { return reinterpret_cast<void**>(&p_); }

 private:
  T* p_ = nullptr;
};

struct shortcut_args {
  const char* target;
  const char* description;
  const char* file;
  const char* arguments;
  const char* working_directory;
  const char* icon_path;
  int icon_index;
};

static py_object* os_error(const char* format, HRESULT hr) {
  return builtin_api.err_format(builtin_api.os_error, format, hr);
}

// The arguments as the ANSI shell link takes them; error texts keep the
// interpreter's own bytes.
struct ansi_shortcut_args {
  explicit ansi_shortcut_args(const shortcut_args& a)
      : target(ansi_from_python(a.target, builtin_api.utf8)),
        description(ansi_from_python(a.description, builtin_api.utf8)),
        file(ansi_from_python(a.file, builtin_api.utf8)),
        arguments(ansi_from_python(a.arguments, builtin_api.utf8)),
        working_directory(ansi_from_python(a.working_directory, builtin_api.utf8)),
        icon_path(ansi_from_python(a.icon_path, builtin_api.utf8)) {}
  crossing_text target, description, file, arguments, working_directory, icon_path;
};

// Declared in this order so that the persist-file interface is released first.
static py_object* write_shortcut(const shortcut_args& given) {
  ansi_shortcut_args a(given);
  com_ref<IShellLinkA> link;
  HRESULT hr = CoCreateInstance(shell_link_class, nullptr, CLSCTX_INPROC_SERVER,
                                shell_link_interface, link.put());
  if (FAILED(hr)) return os_error("CoCreateInstance failed, error 0x%x", hr);
  com_ref<IPersistFile> file;
  hr = link->QueryInterface(persist_file_interface, file.put());
  if (FAILED(hr)) return os_error("QueryInterface(IPersistFile) error 0x%x", hr);
  hr = link->SetPath(a.target.get());
  if (FAILED(hr)) return os_error("SetPath() failed, error 0x%x", hr);
  hr = link->SetDescription(a.description.get());
  if (FAILED(hr)) return os_error("SetDescription() failed, error 0x%x", hr);
  // Only omitted arguments are skipped; an empty string is still applied.
  if (given.arguments) {
    hr = link->SetArguments(a.arguments.get());
    if (FAILED(hr)) return os_error("SetArguments() error 0x%x", hr);
  }
  if (given.icon_path) {
    hr = link->SetIconLocation(a.icon_path.get(), given.icon_index);
    if (FAILED(hr)) return os_error("SetIconLocation() error 0x%x", hr);
  }
  if (given.working_directory) {
    hr = link->SetWorkingDirectory(a.working_directory.get());
    if (FAILED(hr)) return os_error("SetWorkingDirectory() error 0x%x", hr);
  }
  wchar_t name[MAX_PATH];
  // A name that does not fit is refused as the save itself would fail.
  if (MultiByteToWideChar(CP_ACP, 0, a.file.get(), -1, name, MAX_PATH) == 0)
    hr = HRESULT_FROM_WIN32(GetLastError());
  else
    hr = file->Save(name, TRUE);
  if (FAILED(hr))
    return builtin_api.err_format(builtin_api.os_error, "Failed to create shortcut '%s' - error 0x%x",
                                  given.file, hr);
  return builtin_api.build_value("");
}

py_object* create_shortcut(py_object*, py_object* args) {
  HRESULT hr = CoInitialize(nullptr);
  if (FAILED(hr)) return os_error("CoInitialize failed, error 0x%x", hr);
  shortcut_args a{};
  py_object* result = nullptr;
  if (builtin_api.parse_tuple(args, "sss|sssi", &a.target, &a.description, &a.file, &a.arguments,
                              &a.working_directory, &a.icon_path, &a.icon_index))
    result = write_shortcut(a);
  CoUninitialize();
  return result;
}
