// The stand-in interpreter DLL itself: it offers exactly the entry points the
// installer binds, and each reduced build lacks exactly its one.
#include <gtest/gtest.h>

#include <algorithm>

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

const std::vector<std::string> all_names = {
    "PyArg_ParseTuple", "PyCFunction_New", "PyErr_Format", "PyErr_Print", "PyImport_ImportModule",
    "PyLong_FromVoidPtr", "PyObject_GetAttrString", "PyObject_SetAttrString", "PyRun_SimpleString",
    "PySys_GetObject", "PySys_SetArgv", "Py_BuildValue", "Py_Finalize", "Py_Initialize",
    "Py_OptimizeFlag", "Py_SetProgramName"};

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
  std::string dll = read_file(standin_folder("full") + "\\python27.dll");
  ASSERT_FALSE(dll.empty());
  EXPECT_NE(dll.find("msvcrt.dll"), std::string::npos);
  for (const char* other : {"libstdc++", "libgcc", "libwinpthread", "ucrtbase", "api-ms-win-crt"})
    EXPECT_EQ(dll.find(other), std::string::npos) << other;
}

}  // namespace

namespace {

// The Python 3 personality: no Py_OptimizeFlag, and a runtime library of its
// own, so that the stub's redirected streams cannot reach what it writes.
TEST(StandinDll, Python3BuildLacksTheOptimizeFlagAndLinksUcrtbase) {
  std::string path = standin_folder("python3") + "\\python312.dll";
  {
    unique_module dll(LoadLibraryA(path.c_str()));
    ASSERT_TRUE(dll) << path;
    std::vector<std::string> expected;
    for (const std::string& name : all_names)
      if (name != "Py_OptimizeFlag") expected.push_back(name);
    EXPECT_EQ(exported_names(dll.get()), expected);
  }
  std::string bytes = read_file(path);
  EXPECT_NE(bytes.find("ucrtbase.dll"), std::string::npos);
  for (const char* other : {"msvcrt.dll", "libstdc++", "libwinpthread"})
    EXPECT_EQ(bytes.find(other), std::string::npos) << other;
}

}  // namespace
