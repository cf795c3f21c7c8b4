// A Python 3 as a user has it: the stand-in's Python 3 personality registered
// as 3.12 (by python.org's installer or by uv) or as a free-threaded 3.13t,
// its DLL in its own directory. The package goes in through the
// wizard (pre-install script, both compile passes into __pycache__, a
// post-install script calling every builtin) and comes out through its
// UninstallString; an installation built for another processor is not offered.
#include <windows.h>
#include <prsht.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver/driver_win.h"
#include "e2e/wizard_session_win.h"
#include "resources/resource_ids.h"
#include "support/test_files_win.h"

namespace {
using namespace e2e;

std::string shortcut() {
  char programs[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE);
  return std::string(programs) + "\\Example3 post-install script.lnk";
}

struct cleanup {
  const char* version = "3.12";
  ~cleanup() {
    DeleteFileA(shortcut().c_str());
    forget_package(HKEY_CURRENT_USER, version);
  }
};

const char example3_finished[] = "Postinstall script finished.\nClick the Finish button to exit the Setup wizard.";
const char example3_output[] = "root 2147483649\r\nanswer 6\r\nexample3 installed\r\n";

// One installation of the Python 3 example into d through the wizard: the
// post-install script's question answered Yes, then Finish pressed.
struct example3_run {
  seen_box question;
  std::string heading;  // the finish page's, once the script has run
  std::string output;   // its text box
  long exit_code = -1;
};

example3_run install_example3(const std::string& d) {
  example3_run result;
  wizard_session run(fixture("python3-example"));
  HWND page = run.sheet ? install_into(run, d) : nullptr;
  if (!page) return result;
  result.question = answer_box(run.process, IDYES);
  wait_until([&] { return item_text(page, IDC_HEADING) == example3_finished; });
  result.heading = item_text(page, IDC_HEADING);
  result.output = item_text(page, IDC_OUTPUT_BOX);
  press_wizard_button(run.sheet, PSBTN_FINISH);
  result.exit_code = run.process.wait_exit();
  return result;
}

// A Python 3 as each distributor registers it, the stand-in copied in as its DLL.
struct python3_registration {
  python_tag tag;
  const char* dll_name;
  const char* version;  // X.Y
  const char* cache_tag;
};

// Installs the Python 3 example into the stand-in registered as r, and
// removes it through its UninstallString.
void install_and_uninstall(const python3_registration& r) {
  const std::string entry = std::string(uninstall_key) + "\\example-py" + r.version;
  cleanup done{r.version};
  registered_python python(HKEY_CURRENT_USER, r.tag, {python3_standin(), r.dll_name, ""});
  const std::string d = python.dir();
  example3_run run = install_example3(d);
  EXPECT_EQ(run.question.caption, "Example 3");
  EXPECT_EQ(run.question.text, "Create the example3 shortcut?");
  EXPECT_EQ(run.heading, example3_finished);
  EXPECT_EQ(run.output, example3_output);
  ASSERT_EQ(run.exit_code, 0);

  const std::string site = d + "\\Lib\\site-packages\\example3";
  const std::string script = d + "\\Scripts\\example3_post.py";
  const std::string tag = std::string(".") + r.cache_tag;
  std::vector<std::string> expected = expected_log_head(fixture("python3-example"), d, r.version);
  const std::vector<std::string> rest = {
      "100 Made Dir: " + site,
      "200 File Copy: " + site + "\\__init__.py",
      "200 File Copy: " + script,
      // Newest first: the script was extracted last.
      "100 Made Dir: " + d + "\\Scripts\\__pycache__",
      "200 File Copy: " + d + "\\Scripts\\__pycache__\\example3_post" + tag + ".pyc",
      "100 Made Dir: " + site + "\\__pycache__",
      "200 File Copy: " + site + "\\__pycache__\\__init__" + tag + ".pyc",
      "200 File Copy: " + d + "\\Scripts\\__pycache__\\example3_post" + tag + ".opt-1.pyc",
      "200 File Copy: " + site + "\\__pycache__\\__init__" + tag + ".opt-1.pyc",
      "300 Run Script: [" + std::string(r.dll_name) + "]" + script,
      "200 File Copy: " + shortcut(),
      "100 Made Dir: " + script + "-data",
      "*** Installation finished",
  };
  expected.insert(expected.end(), rest.begin(), rest.end());
  EXPECT_EQ(log_lines_without_times(d + "\\example-kitpack.log"), expected);
  EXPECT_EQ(read_file(site + "\\__pycache__\\__init__" + tag + ".opt-1.pyc"),
            "standin optimized code\n" + read_file(site + "\\__init__.py"));
  EXPECT_TRUE(file_exists(shortcut()));

  // As the list of installed software starts it: "<uninstaller>" -u "<log>".
  const std::string line = registry_text(HKEY_CURRENT_USER, entry, "UninstallString");
  const std::string exe = d + "\\Removeexample.exe";
  ASSERT_EQ(line.rfind("\"" + exe + "\" ", 0), 0u) << line;
  driven_process uninstall(exe, line.substr(exe.size() + 3));
  EXPECT_EQ(answer_box(uninstall, IDYES).caption, "Please confirm");
  seen_box script_box = answer_box(uninstall, IDOK);
  EXPECT_EQ(script_box.caption, "uninstall-script");
  EXPECT_EQ(script_box.text, "example3 removed with -remove\r\n");
  seen_box summary = answer_box(uninstall, IDOK);
  EXPECT_EQ(summary.caption, "Uninstall Finished!");
  // Module, script, two compiled files each, the shortcut and the log; the
  // package's folder and the two cache folders.
  EXPECT_EQ(summary.text, "8 files and 3 directories removed");
  EXPECT_EQ(uninstall.wait_exit(), 0);
  EXPECT_TRUE(wait_until([&] { return !file_exists(exe) && !file_exists(exe + ".bat"); }, 10000));
  EXPECT_EQ(folder_tree(d),
            (std::vector<std::string>{"Lib\\", "Lib\\site-packages\\", "Scripts\\", r.dll_name}));
  EXPECT_FALSE(file_exists(shortcut()));
  EXPECT_EQ(registry_text(HKEY_CURRENT_USER, entry, "DisplayName"), "");
}

TEST(Python3E2E, InstallsCompilesIntoPycacheAndUninstallsLeavingNothing) {
  ASSERT_TRUE(file_exists(python3_standin()));
  const python3_registration rows[] = {
      {{"PythonCore", "3.12", nullptr}, "python312.dll", "3.12", "cpython-312"},
      // uv's, per user: the version is SysVersion's.
      {{"Astral", "CPython3.12.4", "3.12"}, "python312.dll", "3.12", "cpython-312"},
      // The free-threaded build: its own DLL, the same cache tag.
      {{"PythonCore", "3.13t", nullptr}, "python313t.dll", "3.13", "cpython-313"},
  };
  for (const python3_registration& r : rows) {
    SCOPED_TRACE(r.tag.tag);
    install_and_uninstall(r);
  }
}

// A profile folder such as O'Neil's holds both the Python and TEMP: every
// statement still compiles its module, and the script's output is captured.
TEST(Python3E2E, InstallsIntoAFolderNoPythonLiteralCouldName) {
  cleanup done;
  char e_acute[4] = {};
  WideCharToMultiByte(CP_ACP, 0, L"\u00e9", 1, e_acute, sizeof e_acute - 1, nullptr, nullptr);
  standin_install python(python312, HKEY_CURRENT_USER, std::string("O'Neil 100%s {0} #1 ") + e_acute);
  const std::string d = python.dir();
  const std::string temp = d + "\\Temp";
  ASSERT_TRUE(CreateDirectoryA(temp.c_str(), nullptr)) << d;
  example3_run run;
  {
    // The installer's temporary folder: TMP comes before TEMP.
    scoped_environment tmp("TMP", temp);
    run = install_example3(d);
  }
  EXPECT_EQ(run.heading, example3_finished);
  EXPECT_EQ(run.output, example3_output);
  ASSERT_EQ(run.exit_code, 0);
  std::vector<std::string> compiled;
  const std::string copy = "200 File Copy: ";
  for (const std::string& line : log_lines_without_times(d + "\\example-kitpack.log"))
    if (line.rfind(copy, 0) == 0 && line.size() > 4 && line.compare(line.size() - 4, 4, ".pyc") == 0)
      compiled.push_back(line.substr(copy.size()));
  // Module and script, each in both passes.
  EXPECT_EQ(compiled.size(), 4u);
  for (const std::string& path : compiled) EXPECT_TRUE(file_exists(path)) << path;
}

TEST(Python3E2E, ARegistrationForAnotherProcessorIsNotOffered) {
  cleanup done;
  // The installation built for the stub's own processor, under the name its
  // installer gives it, and one for the other processor.
#ifdef _WIN64
  const std::string own_tag = "3.12", other_tag = "3.12-32";
  const WORD other_machine = IMAGE_FILE_MACHINE_I386;
#else
  const std::string own_tag = "3.12-32", other_tag = "3.12";
  const WORD other_machine = IMAGE_FILE_MACHINE_AMD64;
#endif
  temp_folder headers;
  const std::string other_dll = headers / "python312.dll";
  ASSERT_TRUE(write_file(other_dll, dll_header(other_machine)));
  registered_python own(HKEY_CURRENT_USER, own_tag.c_str(), {python3_standin(), "python312.dll", ""});
  registered_python other(HKEY_CURRENT_USER, other_tag.c_str(), {other_dll, "python312.dll", ""});
  wizard_session run(fixture("python3-example"));
  ASSERT_NE(run.sheet, nullptr);
  ASSERT_NE(wait_page(run.sheet, intro), nullptr);
  HWND page = run.next_to(select_python);
  ASSERT_NE(page, nullptr);
  std::vector<std::string> rows;
  for (int row = 0; row < list_count(page, IDC_PYTHON_LIST); ++row) rows.push_back(list_text(page, IDC_PYTHON_LIST, row));
  EXPECT_EQ(rows, std::vector<std::string>{"Python Version " + own_tag + " (found in registry)"});
  press_wizard_button(run.sheet, PSBTN_CANCEL);
  EXPECT_EQ(run.process.wait_exit(), 0);
}

}  // namespace
