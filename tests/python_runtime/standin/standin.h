// The stand-in interpreter DLL's objects and state (test code, never shipped).
// See README.md for the script language it runs.
#pragma once
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct PyObject;

struct PyMethodDef {
  const char* ml_name;
  PyObject* (*ml_meth)(PyObject* self, PyObject* args);
  int ml_flags;
  const char* ml_doc;
};

constexpr int STANDIN_METH_VARARGS = 1;
constexpr int STANDIN_METH_KEYWORDS = 2;
constexpr int STANDIN_METH_NOARGS = 4;

// The Python 3 personality (STANDIN_PYTHON3): wide program name and argv, a
// builtins module, sys.stdout and sys.stderr None until a script sets them,
// UTF-8 strings, keyword arguments, open() and a py_compile taking cfile
// and optimize.
#ifdef STANDIN_PYTHON3
constexpr bool python3 = true;
constexpr const char* BUILTINS_MODULE = "builtins";
#else
constexpr bool python3 = false;
constexpr const char* BUILTINS_MODULE = "__builtin__";
#endif

// Python's integers are unbounded; the stand-in's are the widest the compiler
// offers: 128 bits where they exist (a 64-bit pointer read as unsigned needs
// more than 63), 64 bits on 32-bit targets, where pointers have 32.
#ifdef __SIZEOF_INT128__
using standin_int = __int128;
using standin_uint = unsigned __int128;
#else
using standin_int = long long;
using standin_uint = unsigned long long;
#endif

enum class kind { none, boolean, integer, string, list, tuple, dict, module, file, function, type, exception };

struct PyObject {
  kind k = kind::none;
  standin_int number = 0;                   // boolean, integer; file: 1 stdout, 2 stderr
  std::string text;                         // string; name of module, type, function
  std::vector<PyObject*> items;             // list, tuple
  std::map<std::string, PyObject*> attrs;   // module
  PyMethodDef* method = nullptr;            // function
  PyObject* self = nullptr;                 // function
  PyObject* base = nullptr;                 // type: its base; exception: its type
  std::FILE* stream = nullptr;              // file made by open(), until closed
  bool mbcs = false;                        // file: written in the ANSI code page
};

namespace standin {

// One interpreter, alive from Py_Initialize to Py_Finalize.
struct state {
  bool initialized = false;
  std::vector<std::unique_ptr<PyObject>> heap;  // every object; freed by Py_Finalize
  std::map<std::string, PyObject*> modules;
  std::map<std::string, PyObject*> globals;
  PyObject* pending = nullptr;  // the raised exception instance, or none
  std::string program_name;
};
extern state vm;

PyObject* make(kind k);
PyObject* none();
PyObject* boolean(bool value);
PyObject* integer(standin_int value);
PyObject* string(const std::string& value);
PyObject* sequence(kind k, std::vector<PyObject*> items);
PyObject* function(PyMethodDef* method, PyObject* self);

PyObject* builtin(const char* name);  // an attribute of __builtin__, or none
PyObject* exception(PyObject* type, const std::string& message);
void set_error(PyObject* type, const std::string& message);
void set_error(const char* type_name, const std::string& message);

std::string str(PyObject* object);
std::string repr(PyObject* object);
std::string type_name(PyObject* object);

void initialize();
void finalize();
void set_argv(int argc, char** argv);
int run(const char* text);  // the module's result: 0, or -1 after an uncaught exception
void print_pending();       // reports and clears the pending exception

// Writes to the script's standard output (1) or error (2): the runtime
// library's streams for Python 2; for Python 3 whatever sys.stdout and
// sys.stderr are, and nothing (stdout) or the runtime library's own stderr
// while they are None.
void emit(int which, const std::string& text);
void flush_output(int which);

// Python 3's char strings are UTF-8.
bool valid_utf8(const std::string& text);
std::string utf8_from_wide(const wchar_t* text);
std::wstring wide_from_utf8(const std::string& text);

}  // namespace standin
