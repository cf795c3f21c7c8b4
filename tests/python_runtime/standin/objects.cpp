// Objects, modules and the stand-in's own built-in functions.
#include <cstdio>

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
  auto module = vm.modules.find("__builtin__");
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
  std::fputs(line.c_str(), stdout);
  return none();
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
  FILE* f = self->number == 1 ? stdout : stderr;
  std::fwrite(args->items[0]->text.data(), 1, args->items[0]->text.size(), f);
  if (f == stderr) std::fflush(stderr);
  return none();
}

static PyObject* flush_function(PyObject* self, PyObject*) {
  std::fflush(self->number == 1 ? stdout : stderr);
  return none();
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

static PyMethodDef own_functions[] = {
    {"print", print_function, STANDIN_METH_VARARGS, nullptr},
    {"str", str_function, STANDIN_METH_VARARGS, nullptr},
    {"repr", repr_function, STANDIN_METH_VARARGS, nullptr},
    {"len", len_function, STANDIN_METH_VARARGS, nullptr},
};
static PyMethodDef write_row = {"write", write_function, STANDIN_METH_VARARGS, nullptr};
static PyMethodDef flush_row = {"flush", flush_function, STANDIN_METH_NOARGS, nullptr};
static PyMethodDef compile_row = {"compile", compile_function, STANDIN_METH_VARARGS, nullptr};

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
  return f;
}

static const char* const exception_names[] = {
    "ValueError", "OSError", "IOError", "TypeError", "NameError", "AttributeError", "ImportError",
    "IndexError", "KeyError", "RuntimeError", "SyntaxError", "SystemError", "ZeroDivisionError"};

void initialize() {
  if (vm.initialized) return;
  vm.initialized = true;
  PyObject* builtins = module("__builtin__");
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
  for (const char* name : exception_names) {
    PyObject* type = make(kind::type);
    type->text = name;
    type->base = base;
    builtins->attrs[name] = type;
  }
  for (PyMethodDef& row : own_functions) builtins->attrs[row.ml_name] = function(&row, nullptr);
  PyObject* sys = module("sys");
  sys->attrs["stdout"] = file(1);
  sys->attrs["stderr"] = file(2);
  sys->attrs["executable"] = string(vm.program_name ? vm.program_name : "");
  module("py_compile")->attrs["compile"] = function(&compile_row, nullptr);
}

// Nothing survives: the next run starts from fresh modules.
void finalize() {
  if (!vm.initialized) return;
  std::fflush(stdout);
  std::fflush(stderr);
  const char* program_name = vm.program_name;
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
