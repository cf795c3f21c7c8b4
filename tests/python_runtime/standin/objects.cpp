// Objects, modules and the stand-in's own built-in functions.
#include <windows.h>

#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <utility>

#include "standin.h"

extern "C" int Py_OptimizeFlag;

namespace standin {

state vm;

PyObject* make(kind k) {
  vm.heap.push_back(std::make_unique<PyObject>());
  PyObject* o = vm.heap.back().get();
  o->k = k;
  return o;
}

PyObject* none() { return builtin("None"); }

PyObject* boolean(bool value) { return builtin(value ? "True" : "False"); }

PyObject* integer(standin_int value) {
  PyObject* o = make(kind::integer);
  o->number = value;
  return o;
}

PyObject* string(const std::string& value) {
  PyObject* o = make(kind::string);
  o->text = value;
  return o;
}

PyObject* sequence(kind k, std::vector<PyObject*> items) {
  PyObject* o = make(k);
  o->items = std::move(items);
  return o;
}

PyObject* function(PyMethodDef* method, PyObject* self) {
  PyObject* o = make(kind::function);
  o->method = method;
  o->self = self;
  o->text = method->ml_name;
  return o;
}

PyObject* builtin(const char* name) {
  auto module = vm.modules.find(BUILTINS_MODULE);
  if (module == vm.modules.end()) return nullptr;
  auto it = module->second->attrs.find(name);
  return it == module->second->attrs.end() ? nullptr : it->second;
}

PyObject* exception(PyObject* type, const std::string& message) {
  PyObject* o = make(kind::exception);
  o->base = type;
  o->text = message;
  return o;
}

void set_error(PyObject* type, const std::string& message) {
  vm.pending = exception(type ? type : builtin("SystemError"), message);
}

void set_error(const char* type_name, const std::string& message) { set_error(builtin(type_name), message); }

static std::string digits(standin_int value) {
  bool negative = value < 0;
  standin_uint n = negative ? -static_cast<standin_uint>(value) : value;
  std::string s;
  do {
    s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(n % 10)));
    n /= 10;
  } while (n);
  return negative ? "-" + s : s;
}

std::string type_name(PyObject* o) {
  switch (o->k) {
    case kind::none: return "NoneType";
    case kind::boolean: return "bool";
    case kind::integer: return "int";
    case kind::string: return "str";
    case kind::list: return "list";
    case kind::tuple: return "tuple";
    case kind::dict: return "dict";
    case kind::module: return "module";
    case kind::file: return "file";
    case kind::function: return "builtin_function_or_method";
    case kind::type: return "type";
    case kind::exception: return o->base->text;
  }
  return "object";
}

std::string repr(PyObject* o) {
  if (o->k != kind::string) return str(o);
  std::string s = "'";
  for (char c : o->text) {
    if (c == '\\' || c == '\'') s += '\\';
    if (c == '\n') s += "\\n";
    else s += c;
  }
  return s + "'";
}

std::string str(PyObject* o) {
  switch (o->k) {
    case kind::none: return "None";
    case kind::boolean: return o->number ? "True" : "False";
    case kind::integer: return digits(o->number);
    case kind::string: return o->text;
    case kind::list:
    case kind::tuple: {
      std::string s = o->k == kind::list ? "[" : "(";
      for (std::size_t i = 0; i < o->items.size(); ++i) s += (i ? ", " : "") + repr(o->items[i]);
      if (o->k == kind::tuple && o->items.size() == 1) s += ",";
      return s + (o->k == kind::list ? "]" : ")");
    }
    case kind::dict: return "{...}";
    case kind::module: return "<module '" + o->text + "' (built-in)>";
    case kind::file: return o->number == 1 ? "<open file '<stdout>', mode 'w'>" : "<open file '<stderr>', mode 'w'>";
    case kind::function: return "<built-in function " + o->text + ">";
    case kind::type: return "<type '" + o->text + "'>";
    case kind::exception: return o->text;
  }
  return "?";
}

// The stand-in's own functions, called through method rows like any builtin.
static PyObject* print_function(PyObject*, PyObject* args) {
  std::string line;
  for (std::size_t i = 0; i < args->items.size(); ++i) line += (i ? " " : "") + str(args->items[i]);
  line += "\n";
  emit(1, line);
  return none();
}

bool valid_utf8(const std::string& text) {
  return text.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0) > 0;
}

std::string utf8_from_wide(const wchar_t* text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return "";
  std::string out(static_cast<std::size_t>(n - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring wide_from_utf8(const std::string& text) {
  int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 1) return L"";
  std::wstring out(static_cast<std::size_t>(n - 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), n);
  return out;
}

static std::string ansi_from_utf8(const std::string& text) {
  std::wstring wide = wide_from_utf8(text);
  int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return "";
  std::string out(static_cast<std::size_t>(n - 1), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, out.data(), n, nullptr, nullptr);
  return out;
}

// The stream object behind sys.stdout or sys.stderr, or none.
static PyObject* sys_stream(int which) {
  auto sys = vm.modules.find("sys");
  if (sys == vm.modules.end()) return nullptr;
  auto it = sys->second->attrs.find(which == 1 ? "stdout" : "stderr");
  return it == sys->second->attrs.end() ? nullptr : it->second;
}

static bool write_to(PyObject* file, const std::string& text) {
  if (file->number == 3) {
    if (!file->stream) return false;
    std::string bytes = file->mbcs ? ansi_from_utf8(text) : text;
    std::fwrite(bytes.data(), 1, bytes.size(), file->stream);
    return true;
  }
  FILE* f = file->number == 1 ? stdout : stderr;
  std::fwrite(text.data(), 1, text.size(), f);
  if (f == stderr) std::fflush(stderr);
  return true;
}

void emit(int which, const std::string& text) {
  PyObject* file = sys_stream(which);
  if (file && file->k == kind::file && write_to(file, text)) return;
  // Python 3 without a usable sys.stderr reports on its runtime library's own.
  if (python3 && which == 2) std::fputs(text.c_str(), stderr);
}

void flush_output(int which) {
  PyObject* file = sys_stream(which);
  if (!file || file->k != kind::file) return;
  if (file->number == 3) {
    if (file->stream) std::fflush(file->stream);
  } else {
    std::fflush(file->number == 1 ? stdout : stderr);
  }
}

static bool one_argument(PyObject* args, const char* name) {
  if (args->items.size() == 1) return true;
  set_error("TypeError", std::string(name) + "() takes exactly one argument (" +
                             std::to_string(args->items.size()) + " given)");
  return false;
}

static PyObject* str_function(PyObject*, PyObject* args) {
  return one_argument(args, "str") ? string(str(args->items[0])) : nullptr;
}

static PyObject* repr_function(PyObject*, PyObject* args) {
  return one_argument(args, "repr") ? string(repr(args->items[0])) : nullptr;
}

static PyObject* len_function(PyObject*, PyObject* args) {
  if (!one_argument(args, "len")) return nullptr;
  PyObject* o = args->items[0];
  if (o->k == kind::string) return integer(static_cast<standin_int>(o->text.size()));
  if (o->k == kind::list || o->k == kind::tuple) return integer(static_cast<standin_int>(o->items.size()));
  set_error("TypeError", "object of type '" + type_name(o) + "' has no len()");
  return nullptr;
}

// Python writes its streams through the runtime library's FILE objects; so
// does this, and stderr is flushed at once as Python's unbuffered stderr is.
static PyObject* write_function(PyObject* self, PyObject* args) {
  if (!one_argument(args, "write")) return nullptr;
  if (args->items[0]->k != kind::string) {
    set_error("TypeError", "expected a string or other character buffer object");
    return nullptr;
  }
  if (!write_to(self, args->items[0]->text)) {
    set_error("ValueError", "I/O operation on closed file.");
    return nullptr;
  }
  return none();
}

static PyObject* flush_function(PyObject* self, PyObject*) {
  if (self->number == 3) {
    if (self->stream) std::fflush(self->stream);
  } else {
    std::fflush(self->number == 1 ? stdout : stderr);
  }
  return none();
}

static PyObject* close_function(PyObject* self, PyObject*) {
  if (self->stream) std::fclose(self->stream);
  self->stream = nullptr;
  return none();
}

static bool is_none(PyObject* o) { return !o || o->k == kind::none; }

// A keyword argument, or the positional one at index, or none.
static PyObject* argument(PyObject* args, PyObject* kwargs, std::size_t index, const char* name) {
  if (kwargs) {
    auto it = kwargs->attrs.find(name);
    if (it != kwargs->attrs.end()) return it->second;
  }
  return index < args->items.size() ? args->items[index] : nullptr;
}

// As Python does: a keyword the function does not take is a TypeError.
static bool takes_keywords(PyObject* kwargs, const char* function, std::initializer_list<const char*> names) {
  if (!kwargs) return true;
  for (const auto& [keyword, value] : kwargs->attrs) {
    bool known = false;
    for (const char* name : names) known = known || keyword == name;
    if (!known) {
      set_error("TypeError", std::string(function) + "() got an unexpected keyword argument '" + keyword + "'");
      return false;
    }
  }
  return true;
}

static std::string read_whole(FILE* f) {
  std::string content;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) content.append(buffer, n);
  return content;
}

// Python 3's py_compile.compile(file, cfile=None, dfile=None, doraise=False,
// optimize=-1): writes cfile, making its folder as Python does; without cfile
// the file beside the source (the stand-in keeps no cache tag of its own).
static PyObject* compile3_function(PyObject*, PyObject* args, PyObject* kwargs) {
  if (!takes_keywords(kwargs, "compile", {"file", "cfile", "dfile", "doraise", "optimize"})) return nullptr;
  PyObject* file = argument(args, kwargs, 0, "file");
  PyObject* cfile = argument(args, kwargs, 1, "cfile");
  PyObject* optimize = argument(args, kwargs, 4, "optimize");
  if (!file || file->k != kind::string || (!is_none(cfile) && cfile->k != kind::string) ||
      (!is_none(optimize) && optimize->k != kind::integer)) {
    set_error("TypeError", "compile() arguments: file, cfile=None, dfile=None, doraise=False, optimize=-1");
    return nullptr;
  }
  int level = is_none(optimize) ? -1 : static_cast<int>(optimize->number);
  if (level < 0) level = Py_OptimizeFlag;
  std::string target = is_none(cfile) ? file->text + (level ? "o" : "c") : cfile->text;
  FILE* source = _wfopen(wide_from_utf8(file->text).c_str(), L"rb");
  if (!source) {
    set_error("FileNotFoundError", "[Errno 2] No such file or directory: '" + file->text + "'");
    return nullptr;
  }
  std::string content = read_whole(source);
  std::fclose(source);
  std::wstring wide_target = wide_from_utf8(target);
  std::size_t slash = wide_target.find_last_of(L"\\/");
  if (slash != std::wstring::npos) CreateDirectoryW(wide_target.substr(0, slash).c_str(), nullptr);
  FILE* out = _wfopen(wide_target.c_str(), L"wb");
  if (!out) {
    set_error("PermissionError", "[Errno 13] Permission denied: '" + target + "'");
    return nullptr;
  }
  std::string marker = level ? "standin optimized code\n" : "standin code\n";
  std::fwrite(marker.data(), 1, marker.size(), out);
  std::fwrite(content.data(), 1, content.size(), out);
  std::fclose(out);
  return string(target);
}

static PyObject* file(int number);

// open(file, mode='r', buffering=-1, encoding=None, errors=None), for
// writing text: 'mbcs' writes the ANSI code page, anything else UTF-8.
static PyObject* open_function(PyObject*, PyObject* args, PyObject* kwargs) {
  if (!takes_keywords(kwargs, "open", {"file", "mode", "buffering", "encoding", "errors"})) return nullptr;
  PyObject* path = argument(args, kwargs, 0, "file");
  PyObject* mode = argument(args, kwargs, 1, "mode");
  PyObject* encoding = argument(args, kwargs, 3, "encoding");
  if (!path || path->k != kind::string || !mode || mode->k != kind::string ||
      (mode->text != "a" && mode->text != "w")) {
    set_error("ValueError", "standin: open() writes text only, mode 'a' or 'w'");
    return nullptr;
  }
  FILE* stream = _wfopen(wide_from_utf8(path->text).c_str(), mode->text == "a" ? L"a" : L"w");
  if (!stream) {
    set_error("OSError", "[Errno 2] No such file or directory: '" + path->text + "'");
    return nullptr;
  }
  PyObject* f = file(3);
  f->stream = stream;
  f->mbcs = !is_none(encoding) && encoding->k == kind::string && encoding->text == "mbcs";
  return f;
}

// Writes path + "c" (or "o" when optimizing): a marker line and the source.
static PyObject* compile_function(PyObject*, PyObject* args) {
  if (!one_argument(args, "compile")) return nullptr;
  if (args->items[0]->k != kind::string) {
    set_error("TypeError", "coercing to Unicode: need string or buffer, " + type_name(args->items[0]) + " found");
    return nullptr;
  }
  const std::string& path = args->items[0]->text;
  FILE* source = std::fopen(path.c_str(), "rb");
  if (!source) {
    set_error("IOError", "[Errno 2] No such file or directory: '" + path + "'");
    return nullptr;
  }
  std::string content;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, source)) > 0) content.append(buffer, n);
  std::fclose(source);
  std::string compiled = path + (Py_OptimizeFlag ? "o" : "c");
  FILE* out = std::fopen(compiled.c_str(), "wb");
  if (!out) {
    set_error("IOError", "[Errno 13] Permission denied: '" + compiled + "'");
    return nullptr;
  }
  std::string marker = Py_OptimizeFlag ? "standin optimized code\n" : "standin code\n";
  std::fwrite(marker.data(), 1, marker.size(), out);
  std::fwrite(content.data(), 1, content.size(), out);
  std::fclose(out);
  return none();
}

using keywords_function = PyObject* (*)(PyObject*, PyObject*, PyObject*);

static PyMethodDef own_functions[] = {
#ifdef STANDIN_PYTHON3
    {"open", reinterpret_cast<PyObject* (*)(PyObject*, PyObject*)>(reinterpret_cast<void*>(
                 static_cast<keywords_function>(open_function))),
     STANDIN_METH_VARARGS | STANDIN_METH_KEYWORDS, nullptr},
#endif
    {"print", print_function, STANDIN_METH_VARARGS, nullptr},
    {"str", str_function, STANDIN_METH_VARARGS, nullptr},
    {"repr", repr_function, STANDIN_METH_VARARGS, nullptr},
    {"len", len_function, STANDIN_METH_VARARGS, nullptr},
};
static PyMethodDef write_row = {"write", write_function, STANDIN_METH_VARARGS, nullptr};
static PyMethodDef flush_row = {"flush", flush_function, STANDIN_METH_NOARGS, nullptr};
static PyMethodDef close_row = {"close", close_function, STANDIN_METH_NOARGS, nullptr};
#ifdef STANDIN_PYTHON3
static PyMethodDef compile_row = {
    "compile",
    reinterpret_cast<PyObject* (*)(PyObject*, PyObject*)>(
        reinterpret_cast<void*>(static_cast<keywords_function>(compile3_function))),
    STANDIN_METH_VARARGS | STANDIN_METH_KEYWORDS, nullptr};
#else
static PyMethodDef compile_row = {"compile", compile_function, STANDIN_METH_VARARGS, nullptr};
#endif

static PyObject* module(const char* name) {
  PyObject* m = make(kind::module);
  m->text = name;
  vm.modules[name] = m;
  return m;
}

static PyObject* file(int number) {
  PyObject* f = make(kind::file);
  f->number = number;
  f->attrs["write"] = function(&write_row, f);
  f->attrs["flush"] = function(&flush_row, f);
  if (number == 3) f->attrs["close"] = function(&close_row, f);
  return f;
}

static const char* const exception_names[] = {
    "ValueError", "OSError", "IOError", "TypeError", "NameError", "AttributeError", "ImportError",
    "IndexError", "KeyError", "RuntimeError", "SyntaxError", "SystemError", "ZeroDivisionError"};

void initialize() {
  if (vm.initialized) return;
  vm.initialized = true;
  PyObject* builtins = module(BUILTINS_MODULE);
  PyObject* none_object = make(kind::none);
  builtins->attrs["None"] = none_object;
  for (int value : {0, 1}) {
    PyObject* b = make(kind::boolean);
    b->number = value;
    builtins->attrs[value ? "True" : "False"] = b;
  }
  PyObject* base = make(kind::type);
  base->text = "Exception";
  builtins->attrs["Exception"] = base;
  std::vector<const char*> names(std::begin(exception_names), std::end(exception_names));
  if (python3)
    for (const char* name : {"UnicodeDecodeError", "FileNotFoundError", "PermissionError"}) names.push_back(name);
  for (const char* name : names) {
    PyObject* type = make(kind::type);
    type->text = name;
    type->base = base;
    builtins->attrs[name] = type;
  }
  for (PyMethodDef& row : own_functions) builtins->attrs[row.ml_name] = function(&row, nullptr);
  PyObject* sys = module("sys");
  // A Python 3 in a program without a console starts without them.
  sys->attrs["stdout"] = python3 ? none_object : file(1);
  sys->attrs["stderr"] = python3 ? none_object : file(2);
  sys->attrs["executable"] = string(vm.program_name);
  module("py_compile")->attrs["compile"] = function(&compile_row, nullptr);
}

// Nothing survives: the next run starts from fresh modules.
void finalize() {
  if (!vm.initialized) return;
  flush_output(1);
  flush_output(2);
  std::fflush(stdout);
  std::fflush(stderr);
  for (auto& object : vm.heap)
    if (object->stream) std::fclose(std::exchange(object->stream, nullptr));
  std::string program_name = vm.program_name;
  vm.globals.clear();
  vm.modules.clear();
  vm.pending = nullptr;
  vm.heap.clear();
  vm.initialized = false;
  vm.program_name = program_name;
}

void set_argv(int argc, char** argv) {
  if (!vm.initialized) return;
  std::vector<PyObject*> items;
  for (int i = 0; i < argc; ++i) items.push_back(string(argv[i] ? argv[i] : ""));
  vm.modules["sys"]->attrs["argv"] = sequence(kind::list, items);
}

}  // namespace standin
