// Finding the interpreter DLL and the two runners' results.
#include <gtest/gtest.h>

#include "common/chosen_python_win.h"
#include "common/owner_win.h"
#include "python_runtime/interpreter_win.h"
#include "python_runtime/python_fixture_win.h"

namespace {

std::string module_file(HMODULE module) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(module, path, sizeof path);
  return std::string(path, n);
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(LoadPythonDll, LoadsFromTheInstallPathOfTheChosenVersion) {
  python_fixture python("full");
  loaded_python dll = load_python_dll(python.target);
  ASSERT_TRUE(dll);
  EXPECT_EQ(lower(module_file(dll.module.get())), lower(standin_folder("full") + "\\python27.dll"));
}

TEST(LoadPythonDll, PrefersThePerUserInstallPath) {
  python_fixture python("full");
  register_install_path(HKEY_LOCAL_MACHINE, standin_folder("no_err_print"));
  loaded_python dll = load_python_dll(python.target);
  ASSERT_TRUE(dll);
  EXPECT_EQ(lower(module_file(dll.module.get())), lower(standin_folder("full") + "\\python27.dll"));
}

// A per-user value longer than the buffer must not spoil the machine-wide read.
TEST(LoadPythonDll, ReadsTheMachineWidePathAfterAnOverlongPerUserOne) {
  python_fixture python(nullptr);
  register_install_path(HKEY_CURRENT_USER, "C:\\" + std::string(300, 'x'));
  register_install_path(HKEY_LOCAL_MACHINE, standin_folder("no_set_argv"));
  loaded_python dll = load_python_dll(python.target);
  ASSERT_TRUE(dll);
  EXPECT_EQ(lower(module_file(dll.module.get())), lower(standin_folder("no_set_argv") + "\\python27.dll"));
}

TEST(LoadPythonDll, NeverTakesAFileBesideTheProgramOrInTheCurrentDirectory) {
  python_fixture python("full");
  std::string source = standin_folder("no_err_print") + "\\python27.dll";
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, sizeof program);
  std::string beside = program;
  beside = beside.substr(0, beside.rfind('\\')) + "\\python27.dll";
  temp_folder current;
  std::string in_current = current / "python27.dll";
  ASSERT_TRUE(CopyFileA(source.c_str(), beside.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(source.c_str(), in_current.c_str(), FALSE));
  char previous[MAX_PATH];
  GetCurrentDirectoryA(sizeof previous, previous);
  SetCurrentDirectoryA(current.path().c_str());
  std::string loaded;
  {
    loaded_python dll = load_python_dll(python.target);
    loaded = dll ? module_file(dll.module.get()) : "";
  }
  SetCurrentDirectoryA(previous);
  DeleteFileA(beside.c_str());
  EXPECT_EQ(lower(loaded), lower(standin_folder("full") + "\\python27.dll"));
}

TEST(LoadPythonDll, WithoutARegisteredPathYieldsNoneAndTheLoadError) {
  python_fixture python(nullptr);
  EXPECT_FALSE(load_python_dll(python.target));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(LoadPythonDll, SetsPythonHomeToTheChosenDirectory) {
  python_fixture python("full");
  loaded_python dll = load_python_dll(python.target);
  char home[MAX_PATH] = "";
  GetEnvironmentVariableA("PYTHONHOME", home, sizeof home);
  EXPECT_EQ(std::string(home), python.dir());
}

struct runner_case {
  const char* variant;
  int major;
  bool without_sys_set_object;
  int simple_string;  // run_simple_string("pass")
  int install_script; // run_installscript of a file holding "pass"
};

// A Python 3 without PySys_SetArgv and Py_SetProgramName still runs both;
// one that cannot set sys.argv in either way cannot run a script.
TEST(Runners, AMissingEntryPointStopsOnlyTheRunnersThatNeedIt) {
  const runner_case cases[] = {
      {"full", 2, false, 0, 0},
      {"no_err_print", 2, false, -1, 0},
      {"no_set_argv", 2, false, 0, 1},
      {"no_long_from_void_ptr", 2, false, 0, 0},
      {"python3_no_setters", 3, false, 0, 0},
      {"python3_no_setters", 3, true, 0, 1},
  };
  for (const runner_case& c : cases) {
    python_fixture python(c.variant);
    std::string script = python.script_path("ok.py");
    write_file(script, "pass\n");
    python.target.py_major = c.major;
    python.target.py_minor = c.major == 3 ? 12 : 7;
    std::string library = standin_folder(c.variant) + (c.major == 3 ? "\\python312.dll" : "\\python27.dll");
    loaded_python dll = bind_python_dll(unique_module(LoadLibraryA(library.c_str())), python.target);
    ASSERT_TRUE(dll) << c.variant;
    if (c.without_sys_set_object) dll.api.sys_set_object = nullptr;
    EXPECT_EQ(run_simple_string(dll, "pass"), c.simple_string) << c.variant;
    char install[] = "-install";
    char* argv[] = {script.data(), install, nullptr};
    EXPECT_EQ(run_installscript(dll, script.c_str(), 2, argv), c.install_script) << c.variant;
  }
}

struct script_case {
  const char* name;
  const char* content;  // none: no file
  int result;
};

TEST(Runners, RunInstallscriptResultsFollowTheFile) {
  python_fixture python("full");
  std_streams_keeper keeper;
  const script_case cases[] = {
      {"", nullptr, 2},
      {"missing.py", nullptr, 3},
      {"empty.py", "", 3},
      {"no_last_newline.py", "x = 1\nif x == 1:\n    y = 2", 0},
      {"crlf.py", "x = 1\r\nif x == 1:\r\n    y = 2\r\n", 0},
      {"raises.py", "raise ValueError('no')\n", -1},
  };
  loaded_python dll = load_python_dll(python.target);
  ASSERT_TRUE(dll);
  for (const script_case& c : cases) {
    std::string path = c.name[0] ? python.script_path(c.name) : "";
    if (c.content) write_file(path, c.content);
    char install[] = "-install";
    char* argv[] = {path.data(), install, nullptr};
    EXPECT_EQ(run_installscript(dll, path.c_str(), 2, argv), c.result) << c.name;
  }
  EXPECT_EQ(run_installscript(dll, nullptr, 0, nullptr), 2);
}

TEST(Runners, RunSimpleStringRunsTheTextAsItIs) {
  python_fixture python("full");
  loaded_python dll = load_python_dll(python.target);
  ASSERT_TRUE(dll);
  std_streams_keeper keeper;
  EXPECT_EQ(run_simple_string(dll, "x = 1\nif x != 1:\n    raise ValueError('x')"), 0);
  EXPECT_EQ(run_simple_string(dll, "raise OSError('x')"), -1);
  EXPECT_EQ(run_simple_string(dll, "x = 'unterminated"), -1);
}

}  // namespace
