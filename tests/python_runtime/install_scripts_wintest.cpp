// The pre-install, post-install and uninstall script steps with their
// captured output.
#include <gtest/gtest.h>

#include "common/chosen_python_win.h"
#include "common/program_win.h"
#include "python_runtime/install_scripts_win.h"
#include "python_runtime/python_fixture_win.h"
#include "record/install_log_win.h"
#include "startup/setup_config.h"
#include "support/box_recorder_win.h"
#include "wizard/install_status_win.h"

namespace {

const char FINISHED[] = "Postinstall script finished.\nClick the Finish button to exit the Setup wizard.";
const char TRACEBACK_LINE_1[] = "Traceback (most recent call last):\r\n  File \"<string>\", line 1, in <module>\r\n";
const char TRACEBACK_LINE_2[] = "Traceback (most recent call last):\r\n  File \"<string>\", line 2, in <module>\r\n";

struct pre_case {
  const char* name;
  const char* variant;
  const char* script;
  int result;
  const char* failure;  // none: install_ok stays 1
};

TEST(PreinstallScript, AFailureShowsTheHeaderThenTheOutputAndSuccessLeavesNoTrace) {
  std::string printed_then_raised = std::string("Running the pre-installation script failed\r\nhello\r\n") +
                                    TRACEBACK_LINE_2 + "ValueError: bad\r\n";
  const pre_case cases[] = {
      {"prints and raises", "full", "print('hello')\nraise ValueError('bad')", -1, printed_then_raised.c_str()},
      {"prints and succeeds", "full", "print('hello')\nimport sys\nsys.stderr.write('warn\\n')", 0, nullptr},
      {"no PyErr_Print", "no_err_print", "print('hello')", -1, "Running the pre-installation script failed\r\n"},
      {"no DLL", nullptr, "print('hello')", -1, "Can't load Python for pre-install script (126)"},
      {"no PySys_SetArgv is not needed", "no_set_argv", "x = 1", 0, nullptr},
  };
  for (const pre_case& c : cases) {
    python_fixture python(c.variant);
    std_streams_keeper keeper;
    failure_text = nullptr;
    int rc = run_preinstall_script(python.target, c.script);
    keeper.restore();
    EXPECT_EQ(rc, c.result) << c.name;
    if (c.failure) {
      EXPECT_EQ(install_ok, 0) << c.name;
      ASSERT_NE(failure_text, nullptr) << c.name;
      EXPECT_EQ(std::string(failure_text), c.failure) << c.name;
    } else {
      EXPECT_EQ(install_ok, 1) << c.name;
      EXPECT_EQ(failure_text, nullptr) << c.name;
    }
  }
}

TEST(PreinstallScript, HasNoArgvAndItsProgramNameIsTheInstaller) {
  python_fixture python("full");
  lstrcpyA(module_path, "C:\\Downloads\\setup.exe");
  std_streams_keeper keeper;
  failure_text = nullptr;
  run_preinstall_script(python.target, "import sys\nprint(sys.executable)\nprint(sys.argv)");
  keeper.restore();
  ASSERT_NE(failure_text, nullptr);
  std::string text = failure_text;
  EXPECT_NE(text.find("\r\nC:\\Downloads\\setup.exe\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("AttributeError: 'module' object has no attribute 'argv'"), std::string::npos) << text;
}

struct post_case {
  const char* name;
  const char* variant;
  const char* script;  // none: the file is not installed
  std::string output;
};

TEST(PostinstallScript, TheBoxShowsWhatTheRunWrote) {
  const post_case cases[] = {
      {"prints", "full", "print('installed')\nimport sys\nsys.stdout.write('more')\n", "installed\r\nmore"},
      {"raises", "full", "print('a')\nraise RuntimeError('broken')\n",
       std::string("a\r\n") + TRACEBACK_LINE_2 + "RuntimeError: broken\r\n*** run_installscript: internal error 0xFFFFFFFF ***\r\n"},
      {"syntax error", "full", "print('a'\n",
       "  File \"<string>\", line 1\r\nSyntaxError: invalid syntax\r\n*** run_installscript: internal error 0xFFFFFFFF ***\r\n"},
      {"no PySys_SetArgv", "no_set_argv", "print('never')\n", ""},
      {"no DLL", nullptr, "print('never')\n", "*** Could not load Python ***"},
      {"empty", "full", "", ""},
  };
  for (const post_case& c : cases) {
    python_fixture python(c.variant);
    python.write_postinstall("post.py", c.script);
    finish_window page;
    std_streams_keeper keeper;
    run_postinstall_script(page.get(), python.target);
    keeper.restore();
    EXPECT_EQ(page.text(IDC_OUTPUT_BOX), c.output) << c.name;
    EXPECT_EQ(page.text(IDC_HEADING), FINISHED) << c.name;
  }
}

TEST(PostinstallScript, AMissingFileIsReportedWithItsPath) {
  python_fixture python("full");
  lstrcpyA(setup_config.install_script, "absent.py");
  finish_window page;
  std_streams_keeper keeper;
  run_postinstall_script(page.get(), python.target);
  keeper.restore();
  EXPECT_EQ(page.text(IDC_OUTPUT_BOX), "Could not open postinstall-script " + python.script_path("absent.py") + "\r\n");
  EXPECT_EQ(page.text(IDC_HEADING), FINISHED);
}

TEST(PostinstallScript, OnlyTheFirst4096BytesAreShown) {
  python_fixture python("full");
  python.write_postinstall("post.py", "print('x' * 5000)\n");
  finish_window page;
  std_streams_keeper keeper;
  run_postinstall_script(page.get(), python.target);
  keeper.restore();
  EXPECT_EQ(page.text(IDC_OUTPUT_BOX), std::string(4096, 'x'));
}

TEST(PostinstallScript, SeesItsPathAndInstallInArgv) {
  python_fixture python("full");
  std::string path = python.write_postinstall("post.py", "import sys\nprint(sys.argv[0])\nprint(sys.argv[1])\nprint(len(sys.argv))\n");
  finish_window page;
  std_streams_keeper keeper;
  run_postinstall_script(page.get(), python.target);
  keeper.restore();
  EXPECT_EQ(page.text(IDC_OUTPUT_BOX), path + "\r\n-install\r\n2\r\n");
}

TEST(PostinstallScript, RecordsTheRunBeforeItAndClosesTheLog) {
  python_fixture python("full");
  python.open_log();
  std::string path = python.write_postinstall("post.py", "file_created(r'C:\\made.txt')\n");
  finish_window page;
  std_streams_keeper keeper;
  run_postinstall_script(page.get(), python.target);
  keeper.restore();
  EXPECT_FALSE(install_log_is_open());
  std::vector<std::string> lines = split_lines(python.log_text());
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "300 Run Script: [python27.dll]" + path);
  EXPECT_EQ(lines[1], "200 File Copy: C:\\made.txt");
  EXPECT_EQ(lines[2].rfind("*** Installation finished ", 0), 0u) << lines[2];
}

TEST(PostinstallScript, DoesNothingWithoutAScriptOrAfterAFailure) {
  struct skip_case {
    const char* name;
    int ok;
    const char* script;
  } cases[] = {{"no script", 1, ""}, {"failed install", 0, "post.py"}};
  for (const skip_case& c : cases) {
    python_fixture python("full");
    python.open_log();
    python.write_postinstall("post.py", "print('x')\n");
    lstrcpyA(setup_config.install_script, c.script);
    install_ok = c.ok;
    finish_window page;
    SetDlgItemTextA(page.get(), IDC_HEADING, "untouched");
    run_postinstall_script(page.get(), python.target);
    EXPECT_EQ(page.text(IDC_HEADING), "untouched") << c.name;
    EXPECT_TRUE(install_log_is_open()) << c.name;
    EXPECT_EQ(python.log_text(), "") << c.name;
  }
}

// A cut path would name another file, for this run and for the uninstaller.
TEST(PostinstallScript, APathTooLongForItsBufferIsNeitherRecordedNorRun) {
  python_fixture python("full");
  python.open_log();
  std::string name(250, 'p');
  lstrcpyA(setup_config.install_script, name.c_str());
  finish_window page;
  std_streams_keeper keeper;
  run_postinstall_script(page.get(), python.target);
  keeper.restore();
  EXPECT_EQ(page.text(IDC_OUTPUT_BOX), "Could not open postinstall-script " + python.dir() + "\\Scripts\\" + name + "\r\n");
  EXPECT_EQ(page.text(IDC_HEADING), FINISHED);
  std::vector<std::string> lines = split_lines(python.log_text());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("*** Installation finished ", 0), 0u);
}

// The uninstaller loads the recorded DLL by name; here the stand-in's folder
// is the current directory, as python_dir is for the real uninstaller.
class uninstall_run {
 public:
  uninstall_run() {
    GetCurrentDirectoryA(sizeof previous_, previous_);
    SetCurrentDirectoryA(standin_folder("full").c_str());
  }
  ~uninstall_run() { SetCurrentDirectoryA(previous_); }

 private:
  char previous_[MAX_PATH];
};

TEST(UninstallScript, RunsWithRemoveAndShowsItsOutputInABox) {
  python_fixture python(nullptr);
  uninstall_run run;
  std::string path = python.script_path("post.py");
  write_file(path, "import sys\nprint(sys.argv[0])\nprint(sys.argv[1])\n");
  box_recorder boxes;
  std_streams_keeper keeper;
  std::string record = "300 Run Script: [python27.dll]" + path;
  EXPECT_EQ(run_uninstall_script(record.data(), python.target.root_hkey), 1);
  keeper.restore();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, path + "\r\n-remove\r\n");
  EXPECT_EQ(boxes.boxes()[0].caption, "uninstall-script");
  EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_OK));
}

TEST(UninstallScript, TheSameScriptNamedTwiceInARowRunsOnce) {
  python_fixture python(nullptr);
  uninstall_run run;
  std::string first = python.script_path("first.py");
  std::string second = python.script_path("second.py");
  write_file(first, "print('first')\n");
  write_file(second, "print('second')\n");
  box_recorder boxes;
  std_streams_keeper keeper;
  std::string records[] = {"300 Run Script: [python27.dll]" + first, "300 Run Script: [python26.dll]" + first,
                           "300 Run Script: [python27.dll]" + second};
  for (std::string& r : records) EXPECT_EQ(run_uninstall_script(r.data(), python.target.root_hkey), 1) << r;
  keeper.restore();
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_EQ(boxes.boxes()[0].text, "first\r\n");
  EXPECT_EQ(boxes.boxes()[1].text, "second\r\n");
}

TEST(UninstallScript, IgnoresRecordsWithoutBracketsAndShowsNoEmptyBox) {
  python_fixture python(nullptr);
  uninstall_run run;
  std::string quiet = python.script_path("quiet.py");
  write_file(quiet, "x = file_created(r'C:\\nothing.txt')\n");
  box_recorder boxes;
  std_streams_keeper keeper;
  struct record_case {
    std::string line;
    int result;
  } cases[] = {{"300 Run Script: python27.dll" + quiet, 0},
               {"300 Run Script: [python27.dll" + quiet, 0},
               {"300 Run Script: [python27.dll]" + quiet, 1},
               {"300 Run Script: [nosuch.dll]" + python.script_path("other.py"), 1}};
  for (record_case& c : cases) EXPECT_EQ(run_uninstall_script(c.line.data(), python.target.root_hkey), c.result) << c.line;
  keeper.restore();
  EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace

namespace {

// The example package's scripts, as its installer and uninstaller run them.
TEST(ExampleScripts, RunThroughEveryStep) {
  python_fixture python("full");
  python.open_log();
  std::string pre = read_file(source_file("examples/example/preinstall.py"));
  std::string post = read_file(source_file("examples/example/files/SCRIPTS/example_post.py"));
  ASSERT_FALSE(pre.empty());
  ASSERT_FALSE(post.empty());
  std::string path = python.write_postinstall("example_post.py", post);
  finish_window page;
  box_recorder boxes;
  {
    std_streams_keeper keeper;
    failure_text = nullptr;
    EXPECT_EQ(run_preinstall_script(python.target, pre.c_str()), 0);
    run_postinstall_script(page.get(), python.target);
  }
  EXPECT_EQ(failure_text, nullptr);
  EXPECT_EQ(page.text(IDC_OUTPUT_BOX), "example installed\r\n");
  std::vector<std::string> lines = split_lines(python.log_text());
  ASSERT_EQ(lines.size(), 3u);
  const std::string copy = "200 File Copy: ";
  ASSERT_EQ(lines[1].rfind(copy, 0), 0u);
  std::string link = lines[1].substr(copy.size());
  EXPECT_NE(link.find("\\Example post-install script.lnk"), std::string::npos) << link;
  EXPECT_TRUE(file_exists(link)) << link;
  DeleteFileA(link.c_str());

  uninstall_run run;
  {
    std_streams_keeper keeper;
    std::string record = lines[0];
    EXPECT_EQ(run_uninstall_script(record.data(), python.target.root_hkey), 1);
  }
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "example removed\r\n");
}

}  // namespace
