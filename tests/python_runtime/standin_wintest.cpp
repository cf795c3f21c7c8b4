// The stand-in interpreter DLL itself: it offers exactly the entry points the
// installer binds, and each reduced build lacks exactly its one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "common/owner_win.h"
#include "python_runtime/python_fixture_win.h"

namespace {

std::vector<std::string> exported_names(HMODULE module) {
  auto base = reinterpret_cast<const BYTE*>(module);
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
  auto names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  std::vector<std::string> out;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) out.emplace_back(reinterpret_cast<const char*>(base + names[i]));
  std::sort(out.begin(), out.end());
  return out;
}

// The DLLs a module imports from, lower case, sorted. (Names inside the file
// are no guide: i686 start-up code names libgcc's DLL for a lookup of its own.)
std::vector<std::string> imported_dlls(HMODULE module) {
  auto base = reinterpret_cast<const BYTE*>(module);
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  std::vector<std::string> out;
  for (auto d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + entry.VirtualAddress); d->Name; ++d) {
    std::string name = reinterpret_cast<const char*>(base + d->Name);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    out.push_back(name);
  }
  std::sort(out.begin(), out.end());
  return out;
}

const std::vector<std::string> all_names = {
    "PyArg_ParseTuple", "PyCFunction_New", "PyErr_Format", "PyErr_Print", "PyImport_ImportModule",
    "PyLong_FromVoidPtr", "PyObject_GetAttrString", "PyObject_SetAttrString", "PyRun_SimpleString",
    "PySys_GetObject", "PySys_SetArgv", "PySys_SetObject", "Py_BuildValue", "Py_DecRef", "Py_Finalize",
    "Py_Initialize", "Py_OptimizeFlag", "Py_SetProgramName"};

struct variant_case {
  const char* variant;
  const char* dll;
  std::vector<std::string> missing;
  const char* runtime;  // the C runtime library it imports
};

// The Python 3 personality has no Py_OptimizeFlag and a runtime library of
// its own, so that the stub's redirected streams cannot reach what it
// writes; its second build also lacks the two setters Python 3 deprecated.
TEST(StandinDll, ExportsExactlyTheBoundNamesLessWhatItsBuildLacks) {
  const variant_case cases[] = {
      {"full", "python27.dll", {}, "msvcrt.dll"},
      {"no_err_print", "python27.dll", {"PyErr_Print"}, "msvcrt.dll"},
      {"no_set_argv", "python27.dll", {"PySys_SetArgv"}, "msvcrt.dll"},
      {"no_long_from_void_ptr", "python27.dll", {"PyLong_FromVoidPtr"}, "msvcrt.dll"},
      {"python3", "python312.dll", {"Py_OptimizeFlag"}, "ucrtbase.dll"},
      {"python3_no_setters", "python312.dll", {"Py_OptimizeFlag", "PySys_SetArgv", "Py_SetProgramName"},
       "ucrtbase.dll"},
  };
  for (const variant_case& c : cases) {
    std::string path = standin_folder(c.variant) + "\\" + c.dll;
    unique_module dll(LoadLibraryA(path.c_str()));
    ASSERT_TRUE(dll) << path;
    std::vector<std::string> expected;
    for (const std::string& name : all_names)
      if (std::find(c.missing.begin(), c.missing.end(), name) == c.missing.end()) expected.push_back(name);
    EXPECT_EQ(exported_names(dll.get()), expected) << c.variant;
    EXPECT_EQ(imported_dlls(dll.get()), (std::vector<std::string>{"kernel32.dll", c.runtime})) << c.variant;
  }
}

}  // namespace
