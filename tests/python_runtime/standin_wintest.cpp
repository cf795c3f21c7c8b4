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
  const char* missing;  // none: every name
};

TEST(StandinDll, ExportsExactlyTheBoundNamesLessTheOneItsBuildLacks) {
  const variant_case cases[] = {{"full", nullptr},
                                {"no_err_print", "PyErr_Print"},
                                {"no_set_argv", "PySys_SetArgv"},
                                {"no_long_from_void_ptr", "PyLong_FromVoidPtr"}};
  for (const variant_case& c : cases) {
    std::string path = standin_folder(c.variant) + "\\python27.dll";
    unique_module dll(LoadLibraryA(path.c_str()));
    ASSERT_TRUE(dll) << path;
    std::vector<std::string> expected;
    for (const std::string& name : all_names)
      if (!c.missing || name != c.missing) expected.push_back(name);
    EXPECT_EQ(exported_names(dll.get()), expected) << c.variant;
  }
}

TEST(StandinDll, ImportsOnlyTheSystemAndTheStubsRuntimeLibrary) {
  unique_module dll(LoadLibraryA((standin_folder("full") + "\\python27.dll").c_str()));
  ASSERT_TRUE(dll);
  EXPECT_EQ(imported_dlls(dll.get()), (std::vector<std::string>{"kernel32.dll", "msvcrt.dll"}));
}

}  // namespace

namespace {

// The Python 3 personality: no Py_OptimizeFlag, and a runtime library of its
// own, so that the stub's redirected streams cannot reach what it writes. Its
// second build also lacks the two setters that Python 3 deprecated.
TEST(StandinDll, Python3BuildsLackTheOptimizeFlagAndLinkUcrtbase) {
  struct python3_case {
    const char* variant;
    std::vector<std::string> missing;
  };
  const python3_case cases[] = {
      {"python3", {"Py_OptimizeFlag"}},
      {"python3_no_setters", {"Py_OptimizeFlag", "PySys_SetArgv", "Py_SetProgramName"}},
  };
  for (const python3_case& c : cases) {
    std::string path = standin_folder(c.variant) + "\\python312.dll";
    unique_module dll(LoadLibraryA(path.c_str()));
    ASSERT_TRUE(dll) << path;
    std::vector<std::string> expected;
    for (const std::string& name : all_names)
      if (std::find(c.missing.begin(), c.missing.end(), name) == c.missing.end()) expected.push_back(name);
    EXPECT_EQ(exported_names(dll.get()), expected) << c.variant;
    EXPECT_EQ(imported_dlls(dll.get()), (std::vector<std::string>{"kernel32.dll", "ucrtbase.dll"})) << c.variant;
  }
}

}  // namespace
