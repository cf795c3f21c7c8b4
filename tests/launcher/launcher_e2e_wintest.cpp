// The shipped launchers of this build's processor, run as a user runs a
// command: Scripts\tool.exe of a Python folder (its name not ASCII) starts that
// folder's stand-in python.exe (pythonw.exe for the GUI kind) on its own file,
// with its arguments as they stand and its standard handles, in a job that
// ends the child with it, and ends with the child's exit code.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "common/owner_win.h"
#include "driver/driver_win.h"
#include "support/command_run_win.h"
#include "support/test_files_win.h"
#include "support/zip_builder.h"

namespace {

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
        CopyFileW(wide(windows_path(STANDIN_PYTHON_DIR "/") + utf8(python)).c_str(), this->python(python).c_str(),
                  FALSE);
    const char* exe = launcher == gui ? KITPACK_LAUNCHER_GUI : KITPACK_LAUNCHER_CONSOLE;
    std::string image = read_file(windows_path(exe));
    EXPECT_GT(image.size(), 1000u) << exe;
    EXPECT_TRUE(write_wide_file(tool(), build_zip({entry("__main__.py", main_py, 0)}, image)));
  }
  // The temporary folder's own removal reads names in the ANSI code page.
  ~python_folder() {
    for (const std::wstring& file : {tool(), python(L"python.exe"), python(L"pythonw.exe"), report()})
      DeleteFileW(file.c_str());
    RemoveDirectoryW((dir_ + L"\\Scripts").c_str());
    RemoveDirectoryW(dir_.c_str());
  }
  std::wstring tool() const { return dir_ + L"\\Scripts\\tool.exe"; }
  std::wstring python(const wchar_t* name = L"python.exe") const { return dir_ + L"\\" + name; }
  std::wstring report() const { return dir_ + L"\\report.txt"; }

  // The stand-in's report, in lines: its path, its command line, its process
  // id, the __main__.py it read.
  struct report_lines {
    std::string program, command_line, pid, script;
  };
  report_lines take_report() const {
    std::string text = read_wide_file(report());
    DeleteFileW(report().c_str());
    report_lines r;
    size_t a = text.find('\n'), b = text.find('\n', a + 1), c = text.find('\n', b + 1);
    if (c == std::string::npos) return r;
    return {text.substr(0, a), text.substr(a + 1, b - a - 1), text.substr(b + 1, c - b - 1), text.substr(c + 1)};
  }
  // What a launcher's child receives: both paths quoted, then the arguments.
  std::string command_line(const wchar_t* python_name, const std::wstring& arguments) const {
    return utf8(L"\"" + python(python_name) + L"\" \"" + tool() + L"\"" + arguments);
  }

 private:
  temp_folder temp_;
  std::wstring dir_;
};

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
    EXPECT_EQ(run_command(folder.tool(), arguments).exit_code, 0) << utf8(arguments);
    python_folder::report_lines r = folder.take_report();
    EXPECT_EQ(r.program, utf8(folder.python()));
    EXPECT_EQ(r.command_line, folder.command_line(L"python.exe", arguments));
    EXPECT_EQ(r.script, main_py) << utf8(arguments);
  }
}

TEST(LauncherE2E, TheGuiKindStartsPythonw) {
  python_folder folder(python_folder::gui, true);
  scoped_variable report(L"KITPACK_STANDIN_REPORT", folder.report());
  scoped_variable exit_code(L"KITPACK_STANDIN_EXIT", L"7");
  command_result run = run_command(folder.tool(), L" \"\" -x");
  EXPECT_EQ(run.exit_code, 7);
  EXPECT_EQ(run.out, "stdout of python\n");
  python_folder::report_lines r = folder.take_report();
  EXPECT_EQ(r.program, utf8(folder.python(L"pythonw.exe")));
  EXPECT_EQ(r.command_line, folder.command_line(L"pythonw.exe", L" \"\" -x"));
  EXPECT_EQ(r.script, main_py);
}

TEST(LauncherE2E, ExitCodesAndStandardHandlesComeBack) {
  python_folder folder(python_folder::console, true);
  for (const wchar_t* code : {L"0", L"1", L"255", L"3221225477"}) {
    scoped_variable exit_code(L"KITPACK_STANDIN_EXIT", code);
    EXPECT_EQ(run_command(folder.tool(), L"").exit_code, static_cast<long>(std::wcstoul(code, nullptr, 10)))
        << utf8(code);
  }
  scoped_variable echo(L"KITPACK_STANDIN_ECHO", L"1");
  command_result run = run_command(folder.tool(), L" x", "typed line\r\n");
  EXPECT_EQ(run.out, "stdout of python\ntyped line\r\n");
  EXPECT_EQ(run.err, "stderr of python\n");
}

TEST(LauncherE2E, AMissingPythonIsNamed) {
  python_folder console(python_folder::console, false);
  command_result run = run_command(console.tool(), L" a");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "No Python to run this command: " + utf8(console.python()) + " does not exist.\r\n");

  // The box of the GUI kind, in an ASCII folder so that the driver can start it.
  python_folder gui(python_folder::gui, false, L"Py");
  driven_process process(utf8(gui.tool()), "");
  seen_box box = answer_box(process, IDOK);
  EXPECT_EQ(box.caption, "tool.exe");
  EXPECT_EQ(box.text, "No Python to run this command: " + utf8(gui.python(L"pythonw.exe")) + " does not exist.");
  EXPECT_EQ(process.wait_exit(), 1);
}

TEST(LauncherE2E, ThePythonEndsWithTheLauncher) {
  python_folder folder(python_folder::console, true);
  scoped_variable report(L"KITPACK_STANDIN_REPORT", folder.report());
  scoped_variable wait(L"KITPACK_STANDIN_WAIT", L"1");
  std::wstring line = L"\"" + folder.tool() + L"\"";
  STARTUPINFOW startup = {sizeof startup};
  PROCESS_INFORMATION info = {};
  ASSERT_TRUE(CreateProcessW(folder.tool().c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &info));
  unique_handle launcher(info.hProcess), thread(info.hThread);
  ASSERT_TRUE(wait_until([&] { return !read_wide_file(folder.report()).empty(); }));
  DWORD pid = std::stoul(folder.take_report().pid);
  unique_handle child(OpenProcess(SYNCHRONIZE, FALSE, pid));
  ASSERT_TRUE(child) << pid;
  EXPECT_EQ(WaitForSingleObject(child.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  TerminateProcess(launcher.get(), 5);
  EXPECT_EQ(WaitForSingleObject(child.get(), scaled_timeout(10000)), static_cast<DWORD>(WAIT_OBJECT_0));
}

}  // namespace
