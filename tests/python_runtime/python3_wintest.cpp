// A Python 3 interpreter (the stand-in's Python 3 personality, python312.dll,
// which writes through a runtime library of its own): its binding, its
// output, its byte-compilation into __pycache__, the uninstall script and
// the listing of installations built for another processor.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "common/chosen_python_win.h"
#include "python_runtime/compile_pass_win.h"
#include "python_runtime/install_scripts_win.h"
#include "python_runtime/interpreter_win.h"
#include "python_runtime/python_discovery_win.h"
#include "python_runtime/python_fixture_win.h"
#include "record/compile_list.h"
#include "record/install_log_win.h"
#include "resources/resource_ids.h"
#include "support/box_recorder_win.h"
#include "support/test_registry_win.h"
#include "wizard/install_status_win.h"

namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string module_file(HMODULE module) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(module, path, sizeof path);
  return std::string(path, n);
}

// The chosen Python is a 3.12 whose DLL (a build of the stand-in's Python 3
// personality) lies in its own directory, as a Python 3 installation has it;
// nothing is registered.
class python3 : public python_fixture {
 public:
  explicit python3(const char* variant = "python3") : python_fixture(nullptr) {
    dll_ = dir() + "\\python312.dll";
    CopyFileA((standin_folder(variant) + "\\python312.dll").c_str(), dll_.c_str(), FALSE);
    target.py_major = 3;
    target.py_minor = 12;
    lstrcpyA(target.python_dll, "python312.dll");
  }
  const std::string& dll() const { return dll_; }

 private:
  std::string dll_;
};

std::string dir_file(const python_fixture& python, const std::string& name) { return python.dir() + "\\" + name; }

// Runs text as the post-install script and returns what the box shows.
std::string run_post(python_fixture& python, const std::string& text) {
  python.write_postinstall("post.py", text);
  finish_window page;
  std_streams_keeper keeper;
  install_ok = 1;
  run_postinstall_script(page.get(), python.target);
  keeper.restore();
  return page.text(IDC_OUTPUT_BOX);
}

TEST(Python3Binding, LoadsTheInstallationsOwnDllBeforeTheSystemDirectorys) {
  python3 python;
  char system[MAX_PATH];
  GetSystemDirectoryA(system, sizeof system);
  std::string other = std::string(system) + "\\python312.dll";
  ASSERT_TRUE(CopyFileA((standin_folder("full") + "\\python27.dll").c_str(), other.c_str(), FALSE));
  std::string loaded;
  {
    loaded_python dll = load_python_dll(python.target);
    loaded = dll ? module_file(dll.module.get()) : "";
    EXPECT_TRUE(dll.traits.wide_setters);
  }
  DeleteFileA(other.c_str());
  EXPECT_EQ(lower(loaded), lower(python.dll()));
}

TEST(Python3Binding, NeedsNoOptimizeFlagToCompile) {
  python3 python;
  loaded_python dll = load_python_dll(python.target);
  ASSERT_TRUE(dll);
  EXPECT_EQ(dll.api.optimize_flag, nullptr);
  write_file(dir_file(python, "m.py"), "x = 1\n");
  compile_list = nullptr;
  record_file_created(dir_file(python, "m.py").c_str());
  recording_sink sink;
  EXPECT_EQ(compile_modules(dll, 0), 0);
}

// Without the deprecated setters sys.argv is set through sys, the program
// name is left out, and the compile pass needs neither.
TEST(Python3Binding, WithoutTheDeprecatedSettersScriptsGetArgvAndModulesCompile) {
  python3 python("python3_no_setters");
  std::string out = run_post(python, "import sys\nprint(sys.argv[0])\nprint(sys.argv[1])\nprint(len(sys.argv))\n");
  EXPECT_EQ(out, python.script_path("post.py") + "\r\n-install\r\n2\r\n");
  std::string source = dir_file(python, "m.py");
  write_file(source, "x = 1\n");
  compile_list = nullptr;
  record_file_created(source.c_str());
  recording_sink sink;
  run_compile_pass(python.target, 0);
  EXPECT_TRUE(file_exists(python.dir() + "\\__pycache__\\m.cpython-312.pyc"));
}

TEST(Python3Scripts, ScriptSeesWideArgvAndBuiltinsAndPrintsInOrder) {
  python3 python;
  python.target.root_hkey = HKEY_CURRENT_USER;
  std::string out = run_post(python,
                             "import sys\n"
                             "print(sys.argv[1])\n"
                             "sys.stderr.write('to stderr\\n')\n"
                             "print(get_root_hkey())\n"
                             "print(sys.argv[0] == get_special_folder_path('CSIDL_PROGRAMS'))\n");
  EXPECT_EQ(out, "-install\r\nto stderr\r\n2147483649\r\nFalse\r\n");
}

TEST(Python3Scripts, TracebackFollowsTheOutputThenTheInstallersLine) {
  python3 python;
  std::string out = run_post(python, "print('a')\nraise RuntimeError('broken')\n");
  EXPECT_EQ(out,
            "a\r\nTraceback (most recent call last):\r\n  File \"<string>\", line 2, in <module>\r\n"
            "RuntimeError: broken\r\n*** run_installscript: internal error 0xFFFFFFFF ***\r\n");
}

TEST(Python3Scripts, AFailingPreinstallScriptShowsItsTraceback) {
  python3 python;
  std_streams_keeper keeper;
  install_ok = 1;
  EXPECT_EQ(run_preinstall_script(python.target, "print('checking')\nraise ValueError('refused')\n"), -1);
  keeper.restore();
  EXPECT_EQ(install_ok, 0);
  ASSERT_NE(failure_text, nullptr);
  EXPECT_EQ(std::string(failure_text),
            "Running the pre-installation script failed\r\nchecking\r\nTraceback (most recent call last):\r\n"
            "  File \"<string>\", line 2, in <module>\r\nValueError: refused\r\n");
}

// Texts from Python 3 are UTF-8; the log and Win32 get the ANSI code page.
TEST(Python3Scripts, TextsCrossBetweenUtf8AndTheAnsiCodePage) {
  python3 python;
  python.open_log();
  compile_list = nullptr;
  box_recorder boxes;
  boxes.answer_next(IDYES);
  std::string out = run_post(python,
                             "file_created('C:\\\\p\\\\caf\\xe9.py')\n"
                             "directory_created('C:\\\\p\\\\d\\xe9')\n"
                             "print(message_box('Caf\\xe9?', 'Ex\\xe9', 4))\n"
                             "print(len(get_special_folder_path('CSIDL_PROGRAMS')) > 3)\n");
  EXPECT_EQ(out, "6\r\nTrue\r\n");
  std::vector<std::string> lines = split_lines(python.log_text());
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1], "200 File Copy: C:\\p\\caf\xe9.py");
  EXPECT_EQ(lines[2], "100 Made Dir: C:\\p\\d\xe9");
  ASSERT_NE(compile_list, nullptr);
  EXPECT_STREQ(compile_list->path, "C:\\p\\caf\xe9.py");
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Caf\xe9?");
  EXPECT_EQ(boxes.boxes()[0].caption, "Ex\xe9");
}

TEST(Python3Scripts, ErrorTextsCarryTheNameAsPassed) {
  python3 python;
  std::string out = run_post(python, "get_special_folder_path('CSIDL_NONE')\n");
  EXPECT_NE(out.find("ValueError: unknown CSIDL (CSIDL_NONE)\r\n"), std::string::npos) << out;
}

TEST(Python3Compile, BothPassesWriteAndRecordTheCachePathsAndTheFolderOnce) {
  python3 python;
  std::string source = python.dir() + "\\mod.py";
  std::string log = python.compile_module(source);
  const std::string cache = python.dir() + "\\__pycache__";
  const std::vector<std::string> expected = {
      "100 Made Dir: " + cache,
      "200 File Copy: " + cache + "\\mod.cpython-312.pyc",
      "200 File Copy: " + cache + "\\mod.cpython-312.opt-1.pyc",
  };
  EXPECT_EQ(split_lines(log), expected);
  EXPECT_EQ(read_file(cache + "\\mod.cpython-312.pyc"), "standin code\nx = 1\n");
  EXPECT_EQ(read_file(cache + "\\mod.cpython-312.opt-1.pyc"), "standin optimized code\nx = 1\n");
  EXPECT_FALSE(file_exists(source + "c"));
  EXPECT_FALSE(file_exists(source + "o"));
}

TEST(Python3Compile, AFolderThatExistsIsNotRecorded) {
  python3 python;
  std::string source = python.dir() + "\\mod.py";
  write_file(source, "x = 1\n");
  CreateDirectoryA((python.dir() + "\\__pycache__").c_str(), nullptr);
  compile_list = nullptr;
  record_file_created(source.c_str());
  python.open_log();
  recording_sink sink;
  run_compile_pass(python.target, 0);
  EXPECT_EQ(split_lines(python.log_text()),
            std::vector<std::string>{"200 File Copy: " + python.dir() + "\\__pycache__\\mod.cpython-312.pyc"});
}

TEST(Python3Uninstall, TheRecordsScriptRunsWithRemoveAndItsOutputIsShown) {
  python3 python;
  std::string script = python.write_postinstall("post.py", "import sys\nprint('removing ' + sys.argv[1])\n");
  char previous[MAX_PATH];
  GetCurrentDirectoryA(sizeof previous, previous);
  // The uninstaller runs from the Python directory, where the bare name is found.
  SetCurrentDirectoryA(python.dir().c_str());
  std::string record = "300 Run Script: [python312.dll]" + script;
  box_recorder boxes;
  {
    std_streams_keeper keeper;
    EXPECT_EQ(run_uninstall_script(record.data(), python.target.root_hkey), 1);
  }
  SetCurrentDirectoryA(previous);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, "uninstall-script");
  EXPECT_EQ(boxes.boxes()[0].text, "removing -remove\r\n");
}

TEST(Python3Discovery, InstallationsBuiltForAnotherProcessorAreNotListed) {
  struct registration {
    const char* version;
    WORD machine;  // 0: the real stand-in; 1: no DLL at all
    bool listed;
  };
  // The real stand-in under the name its own processor's installer gives it,
  // and a DLL of the other processor under the other name.
#ifdef _WIN64
  const registration own = {"3.12", 0, true}, other = {"3.12-32", IMAGE_FILE_MACHINE_I386, false};
#else
  const registration own = {"3.12-32", 0, true}, other = {"3.12", IMAGE_FILE_MACHINE_AMD64, false};
#endif
  const registration rows[] = {
      own,
      other,
      {"3.12-arm64", 0xAA64, false},
      {"3.11", 1, true},
      {"2.6", IMAGE_FILE_MACHINE_I386, true},  // Python 2 rows are listed as ever
  };
  std::vector<std::unique_ptr<registered_python>> pythons;
  for (const registration& r : rows) {
    pythons.push_back(std::make_unique<registered_python>(HKEY_CURRENT_USER, r.version));
    int major = r.version[0] - '0';
    std::string dll = pythons.back()->dir() + (major == 3 ? "\\python312.dll" : "\\python26.dll");
    if (std::string(r.version) == "3.11") dll = pythons.back()->dir() + "\\python311.dll";
    if (r.machine == 0)
      CopyFileA((standin_folder("python3") + "\\python312.dll").c_str(), dll.c_str(), FALSE);
    else if (r.machine != 1)
      write_file(dll, dll_header(r.machine));
  }
  HWND list = CreateWindowExA(0, "LISTBOX", "", WS_OVERLAPPED | LBS_SORT, 0, 0, 100, 100, nullptr, nullptr,
                              nullptr, nullptr);
  list_python_installs(list, HKEY_CURRENT_USER, "");
  std::vector<std::string> listed;
  for (int i = 0; i < static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i) {
    char text[128] = {};
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    listed.push_back(text);
  }
  DestroyWindow(list);
  std::vector<std::string> expected;
  for (const registration& r : rows)
    if (r.listed) expected.push_back(std::string("Python Version ") + r.version + " (found in registry)");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listed, expected);
}

}  // namespace
