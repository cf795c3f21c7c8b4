// The entry points the installer binds by name; nothing else is exported.
// Build switches leave one out, for DLLs that lack it:
//   STANDIN_NO_ERR_PRINT, STANDIN_NO_SET_ARGV, STANDIN_NO_LONG_FROM_VOID_PTR,
//   STANDIN_NO_SET_PROGRAM_NAME
// STANDIN_PYTHON3 gives the Python 3 shapes: wide Py_SetProgramName and
// PySys_SetArgv, UTF-8 in Py_BuildValue, and no Py_OptimizeFlag.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "standin.h"

#define STANDIN_API extern "C" __declspec(dllexport)

using namespace standin;

#ifdef STANDIN_PYTHON3
extern "C" {
int Py_OptimizeFlag = 0;  // not exported: Python 3 is given the level by py_compile
}
#ifndef STANDIN_NO_SET_PROGRAM_NAME
STANDIN_API void Py_SetProgramName(wchar_t* name) { vm.program_name = name ? utf8_from_wide(name) : ""; }
#endif
#else
extern "C" {
__declspec(dllexport) int Py_OptimizeFlag = 0;
}
STANDIN_API void Py_SetProgramName(char* name) { vm.program_name = name ? name : ""; }
#endif
STANDIN_API void Py_Initialize() { initialize(); }
STANDIN_API void Py_Finalize() { finalize(); }
STANDIN_API int PyRun_SimpleString(const char* text) { return run(text); }

#ifndef STANDIN_NO_ERR_PRINT
STANDIN_API void PyErr_Print() { print_pending(); }
#endif

#ifndef STANDIN_NO_SET_ARGV
#ifdef STANDIN_PYTHON3
STANDIN_API void PySys_SetArgv(int argc, wchar_t** argv) {
  std::vector<std::string> texts;
  for (int i = 0; i < argc; ++i) texts.push_back(argv[i] ? utf8_from_wide(argv[i]) : "");
  std::vector<char*> pointers;
  for (std::string& t : texts) pointers.push_back(t.data());
  set_argv(argc, pointers.data());
}
#else
STANDIN_API void PySys_SetArgv(int argc, char** argv) { set_argv(argc, argv); }
#endif
#endif

STANDIN_API PyObject* PySys_GetObject(const char* name) {
  if (!vm.initialized) return nullptr;
  auto& attrs = vm.modules["sys"]->attrs;
  auto it = attrs.find(name);
  return it == attrs.end() ? nullptr : it->second;
}

// As Python's: v null removes the name (none there is no error).
STANDIN_API int PySys_SetObject(const char* name, PyObject* value) {
  if (!vm.initialized) return -1;
  auto& attrs = vm.modules["sys"]->attrs;
  if (value)
    attrs[name] = value;
  else
    attrs.erase(name);
  return 0;
}

// Every object lives until Py_Finalize; a reference dropped is nothing more.
STANDIN_API void Py_DecRef(PyObject*) {}

STANDIN_API PyObject* PyImport_ImportModule(const char* name) {
  auto it = vm.modules.find(name);
  if (it != vm.modules.end()) return it->second;
  if (vm.initialized) set_error("ImportError", std::string("No module named ") + name);
  return nullptr;
}

STANDIN_API PyObject* PyObject_GetAttrString(PyObject* object, const char* name) {
  if (!object) return nullptr;
  auto it = object->attrs.find(name);
  if (it != object->attrs.end()) return it->second;
  set_error("AttributeError", "'" + type_name(object) + "' object has no attribute '" + name + "'");
  return nullptr;
}

STANDIN_API int PyObject_SetAttrString(PyObject* object, const char* name, PyObject* value) {
  if (!object || !value || object->k != kind::module) return -1;
  object->attrs[name] = value;
  return 0;
}

STANDIN_API PyObject* PyCFunction_New(PyMethodDef* row, PyObject* self) {
  return vm.initialized ? function(row, self) : nullptr;
}

// One item of a Py_BuildValue format: 's' or 'i'; none after an error.
static PyObject* build_item(char code, va_list& args) {
  if (code == 'i') return integer(va_arg(args, int));
  const char* s = va_arg(args, const char*);
  if (python3 && s && !valid_utf8(s)) {
    set_error("UnicodeDecodeError", "'utf-8' codec can't decode bytes: invalid data");
    return nullptr;
  }
  return s ? string(s) : none();
}

// "", "s", "i", and a list of those: "[ss]".
STANDIN_API PyObject* Py_BuildValue(const char* format, ...) {
  va_list args;
  va_start(args, format);
  PyObject* result = nullptr;
  std::string f = format;
  bool list = f.size() >= 2 && f.front() == '[' && f.back() == ']';
  std::string codes = list ? f.substr(1, f.size() - 2) : f;
  if (codes.find_first_not_of("si") != std::string::npos || (!list && codes.size() > 1)) {
    set_error("SystemError", "standin: Py_BuildValue format '" + f + "' not supported");
  } else if (list) {
    std::vector<PyObject*> items;
    for (char c : codes) {
      PyObject* item = build_item(c, args);
      if (!item) break;
      items.push_back(item);
    }
    if (items.size() == codes.size()) result = sequence(kind::list, items);
  } else {
    result = codes.empty() ? none() : build_item(codes[0], args);
  }
  va_end(args);
  return result;
}

static std::string count_text(std::size_t n) {
  return std::to_string(n) + (n == 1 ? " argument" : " arguments");
}

STANDIN_API int PyArg_ParseTuple(PyObject* args, const char* format, ...) {
  if (!args || args->k != kind::tuple) {
    set_error("SystemError", "new style getargs format but argument is not a tuple");
    return 0;
  }
  std::string f = format;
  std::size_t required = 0, total = 0;
  bool optional = false;
  for (char c : f) {
    if (c == '|') optional = true;
    else if (c == 's' || c == 'i') {
      ++total;
      if (!optional) ++required;
    }
  }
  std::size_t given = args->items.size();
  if (given < required || given > total) {
    std::string how = required == total ? "exactly" : given < required ? "at least" : "at most";
    set_error("TypeError", "function takes " + how + " " + count_text(given < required ? required : total) +
                               " (" + std::to_string(given) + " given)");
    return 0;
  }
  va_list out;
  va_start(out, format);
  std::size_t i = 0;
  for (char c : f) {
    if (c != 's' && c != 'i') continue;
    if (i >= given) break;
    PyObject* o = args->items[i++];
    if (c == 's') {
      if (o->k != kind::string || o->text.find('\0') != std::string::npos) {
        set_error("TypeError", "argument " + std::to_string(i) + " must be string" +
                                   (o->k == kind::string ? " without null bytes" : ", not " + type_name(o)));
        va_end(out);
        return 0;
      }
      *va_arg(out, const char**) = o->text.c_str();
    } else {
      if (o->k != kind::integer && o->k != kind::boolean) {
        set_error("TypeError", "an integer is required");
        va_end(out);
        return 0;
      }
      *va_arg(out, int*) = static_cast<int>(o->number);
    }
  }
  va_end(out);
  return 1;
}

STANDIN_API PyObject* PyErr_Format(PyObject* exception_type, const char* format, ...) {
  char message[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);
  set_error(exception_type, message);
  return nullptr;
}

#ifndef STANDIN_NO_LONG_FROM_VOID_PTR
// As Python does: the pointer's bits read as an unsigned number.
STANDIN_API PyObject* PyLong_FromVoidPtr(void* pointer) {
  return integer(static_cast<standin_int>(reinterpret_cast<std::uintptr_t>(pointer)));
}
#endif
