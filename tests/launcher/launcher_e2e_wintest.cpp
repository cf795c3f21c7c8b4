// The shipped launchers of this build's processor, run as a user runs a
// command: Scripts\tool.exe of a Python folder (its name not ASCII) starts that
// folder's stand-in python.exe (pythonw.exe for the GUI kind) on its own file,
// with its arguments as they stand and its standard handles, in a job that
// ends the child with it, and ends with the child's exit code.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/owner_win.h"
#include "driver/driver_win.h"
#include "support/test_files_win.h"
#include "support/zip_builder.h"

namespace {

std::wstring wide(const std::string& text) {
  std::wstring out(text.size(), L'\0');
  out.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                 static_cast<int>(out.size())));
  return out;
}

std::string utf8(const std::wstring& text) {
  std::string out(text.size() * 3, '\0');
  out.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                 static_cast<int>(out.size()), nullptr, nullptr));
  return out;
}

std::string read_wide_file(const std::wstring& path) {
  unique_file f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  std::string data(65536, '\0');
  DWORD got = 0;
  if (!f || !ReadFile(f.get(), data.data(), static_cast<DWORD>(data.size()), &got, nullptr)) got = 0;
  return data.substr(0, got);
}

// Sets an environment variable that the launcher's child inherits, for the scope.
struct scoped_variable {
  scoped_variable(const wchar_t* name, const std::wstring& value) : name(name) {
    SetEnvironmentVariableW(name, value.c_str());
  }
  ~scoped_variable() { SetEnvironmentVariableW(name, nullptr); }
  const wchar_t* name;
};

const char main_py[] = "import sys\nfrom tiny import main\nsys.exit(main())\n";

// A Python folder below a temporary folder: the stand-in's python.exe and
// pythonw.exe (unless without them), Scripts\tool.exe (the launcher of a kind
// with a zip archive holding __main__.py), and the stand-in's report.
class python_folder {
 public:
  enum kind { console, gui };
  python_folder(kind launcher, bool with_python, const std::wstring& name = L"Py \u00e9\u65e5\u672c")
      : dir_(wide(temp_.path()) + L"\\" + name) {
    CreateDirectoryW(dir_.c_str(), nullptr);
    CreateDirectoryW((dir_ + L"\\Scripts").c_str(), nullptr);
    for (const wchar_t* python : {L"python.exe", L"pythonw.exe"})
      if (with_python)
        CopyFileW(wide(windows_path(STANDIN_PYTHON_DIR "/") + utf8(python)).c_str(), path(python).c_str(), FALSE);
    std::string image = read_file(windows_path(launcher == gui ? KITPACK_LAUNCHER_GUI : KITPACK_LAUNCHER_CONSOLE));
    EXPECT_GT(image.size(), 1000u);
    image = build_zip({entry("__main__.py", main_py, 0)}, image);
    unique_file f(CreateFileW(tool().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(f.get(), image.data(), static_cast<DWORD>(image.size()), &written, nullptr));
  }
  // The temporary folder's own removal reads names in the ANSI code page.
  ~python_folder() {
    for (const std::wstring& file : {tool(), path(L"python.exe"), path(L"pythonw.exe"), report()})
      DeleteFileW(file.c_str());
    RemoveDirectoryW((dir_ + L"\\Scripts").c_str());
    RemoveDirectoryW(dir_.c_str());
  }
  std::wstring path(const wchar_t* name) const { return dir_ + L"\\" + name; }
  std::wstring tool() const { return path(L"Scripts\\tool.exe"); }
  std::wstring report() const { return path(L"report.txt"); }
  // The stand-in's report, taken away: its path, its command line and the
  // __main__.py it read; its process id goes to pid.
  std::vector<std::string> take_report(std::string* pid = nullptr) const {
    std::string text = read_wide_file(report());
    DeleteFileW(report().c_str());
    size_t a = text.find('\n'), b = text.find('\n', a + 1), c = text.find('\n', b + 1);
    if (c == std::string::npos) return {};
    if (pid) *pid = text.substr(b + 1, c - b - 1);
    return {text.substr(0, a), text.substr(a + 1, b - a - 1), text.substr(c + 1)};
  }
  std::vector<std::string> expected_report(const wchar_t* python, const std::wstring& arguments) const {
    return {utf8(path(python)), utf8(L"\"" + path(python) + L"\" \"" + tool() + L"\"" + arguments), main_py};
  }

 private:
  temp_folder temp_;
  std::wstring dir_;
};

struct run_result {
  long exit_code = -1;  // -1: it did not end in time
  std::string out, err;
};

// Runs "<tool>"ARGUMENTS, standard input from a file holding input, standard
// output and error into files, and waits for it.
run_result run(const python_folder& folder, const std::wstring& arguments, const std::string& input = "") {
  temp_folder files;
  write_file(files / "in", input);
  run_result result;
  {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    auto open = [&](const char* name, DWORD access, DWORD disposition) {
      return unique_file(CreateFileA((files / name).c_str(), access, FILE_SHARE_READ, &inherit, disposition, 0, nullptr));
    };
    unique_file in = open("in", GENERIC_READ, OPEN_EXISTING), out = open("out", GENERIC_WRITE, CREATE_ALWAYS),
                err = open("err", GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.get();
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    std::wstring line = L"\"" + folder.tool() + L"\"" + arguments;
    PROCESS_INFORMATION info = {};
    EXPECT_TRUE(CreateProcessW(folder.tool().c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                               &startup, &info));
    unique_handle process(info.hProcess), thread(info.hThread);
    DWORD code = 0;
    if (process && WaitForSingleObject(process.get(), scaled_timeout(20000)) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(process.get(), &code))
      result.exit_code = static_cast<long>(code);
    else if (process)
      TerminateProcess(process.get(), 99);
  }
  result.out = read_file(files / "out");
  result.err = read_file(files / "err");
  return result;
}

TEST(LauncherE2E, ArgumentsReachPythonAsTheyStand) {
  python_folder folder(python_folder::console, true);
  scoped_variable report(L"KITPACK_STANDIN_REPORT", folder.report());
  const wchar_t* rows[] = {
      L"",
      L" plain words",
      L" \"with space\" \"a b\"c",
      L" \"say \\\"hi\\\"\" \\\"bare\\\"",
      L" C:\\dir\\ \"C:\\dir with space\\\\\" \\\\\\\"x",
      L" \"\" \"\" last \"\"",
      L"\t\ttabs and trailing blanks  ",
      L" caf\u00e9 \u65e5\u672c\u8a9e \U0001F600",
  };
  for (const wchar_t* arguments : rows) {
    EXPECT_EQ(run(folder, arguments).exit_code, 0) << utf8(arguments);
    EXPECT_EQ(folder.take_report(), folder.expected_report(L"python.exe", arguments)) << utf8(arguments);
  }
}

TEST(LauncherE2E, TheGuiKindStartsPythonw) {
  python_folder folder(python_folder::gui, true);
  scoped_variable report(L"KITPACK_STANDIN_REPORT", folder.report());
  scoped_variable exit_code(L"KITPACK_STANDIN_EXIT", L"7");
  run_result r = run(folder, L" \"\" -x");
  EXPECT_EQ(r.exit_code, 7);
  EXPECT_EQ(r.out, "stdout of python\n");
  EXPECT_EQ(folder.take_report(), folder.expected_report(L"pythonw.exe", L" \"\" -x"));
}

TEST(LauncherE2E, ExitCodesAndStandardHandlesComeBack) {
  python_folder folder(python_folder::console, true);
  for (const wchar_t* code : {L"0", L"1", L"255", L"3221225477"}) {
    scoped_variable exit_code(L"KITPACK_STANDIN_EXIT", code);
    EXPECT_EQ(run(folder, L"").exit_code, static_cast<long>(std::wcstoul(code, nullptr, 10))) << utf8(code);
  }
  scoped_variable echo(L"KITPACK_STANDIN_ECHO", L"1");
  run_result r = run(folder, L" x", "typed line\r\n");
  EXPECT_EQ(r.out, "stdout of python\ntyped line\r\n");
  EXPECT_EQ(r.err, "stderr of python\n");
}

TEST(LauncherE2E, AMissingPythonIsNamed) {
  python_folder console(python_folder::console, false);
  run_result r = run(console, L" a");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "No Python to run this command: " + utf8(console.path(L"python.exe")) + " does not exist.\r\n");

  // The box of the GUI kind, in an ASCII folder so that the driver can start it.
  python_folder gui(python_folder::gui, false, L"Py");
  driven_process process(utf8(gui.tool()), "");
  seen_box box = answer_box(process, IDOK);
  EXPECT_EQ(box.caption, "tool.exe");
  EXPECT_EQ(box.text, "No Python to run this command: " + utf8(gui.path(L"pythonw.exe")) + " does not exist.");
  EXPECT_EQ(process.wait_exit(), 1);
}

TEST(LauncherE2E, ThePythonEndsWithTheLauncher) {
  python_folder folder(python_folder::console, true, L"Py");
  scoped_variable report(L"KITPACK_STANDIN_REPORT", folder.report());
  scoped_variable wait(L"KITPACK_STANDIN_WAIT", L"1");
  driven_process launcher(utf8(folder.tool()), "");
  ASSERT_TRUE(wait_until([&] { return !read_wide_file(folder.report()).empty(); }));
  std::string pid;
  folder.take_report(&pid);
  unique_handle child(OpenProcess(SYNCHRONIZE, FALSE, std::stoul(pid)));
  ASSERT_TRUE(child) << pid;
  EXPECT_EQ(WaitForSingleObject(child.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  unique_handle ending(OpenProcess(PROCESS_TERMINATE, FALSE, launcher.pid()));
  ASSERT_TRUE(TerminateProcess(ending.get(), 5));
  EXPECT_EQ(WaitForSingleObject(child.get(), scaled_timeout(10000)), static_cast<DWORD>(WAIT_OBJECT_0));
}

BOOL WINAPI carry_on(DWORD) { return TRUE; }

TEST(LauncherE2E, CtrlCIsLeftToThePython) {
  // This program, the launcher and its child share a new console, and Ctrl+C
  // reaches all three: the launcher waits on while the stand-in ends with 42.
  // (A null handler's ignoring would pass to the children: a function does not.)
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  SetConsoleCtrlHandler(carry_on, TRUE);
  python_folder folder(python_folder::console, true, L"Py");
  scoped_variable report(L"KITPACK_STANDIN_REPORT", folder.report());
  scoped_variable wait(L"KITPACK_STANDIN_WAIT", L"1");
  driven_process launcher(utf8(folder.tool()), "");
  ASSERT_TRUE(wait_until([&] { return !read_wide_file(folder.report()).empty(); }));
  ASSERT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) << GetLastError();
  EXPECT_EQ(launcher.wait_exit(), 42);
}

}  // namespace
