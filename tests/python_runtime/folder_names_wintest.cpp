// Pythons installed in folders, and capture files in TEMP folders, whose
// names no Python literal could hold: every path reaches the interpreter as
// a value, for Python 2 and 3 alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/chosen_python_win.h"
#include "python_runtime/install_scripts_win.h"
#include "python_runtime/python_fixture_win.h"
#include "record/install_log_win.h"
#include "startup/setup_config.h"
#include "wizard/install_status_win.h"

namespace {

// A letter of the ANSI code page outside ASCII: e acute.
std::string ansi_letter() {
  char text[8] = {};
  BOOL lossy = FALSE;
  int n = WideCharToMultiByte(CP_ACP, 0, L"\u00e9", 1, text, sizeof text - 1, nullptr, &lossy);
  return n > 0 && !lossy ? std::string(text, static_cast<std::size_t>(n)) : "e";
}

std::vector<std::string> folder_names() {
  return {"O'Neil", "100%s", "{0}", "#1", "with blank", "caf" + ansi_letter()};
}

// Python major installed in <temp>\<name>, its DLL beside it (a Python 2
// found through its InstallPath), with a Scripts folder.
class python_in_folder : public python_fixture {
 public:
  python_in_folder(int major, const std::string& name) : python_fixture(nullptr), home_(dir() + "\\" + name) {
    CreateDirectoryA(home_.c_str(), nullptr);
    CreateDirectoryA((home_ + "\\Scripts").c_str(), nullptr);
    const char* dll = major == 3 ? "python312.dll" : "python27.dll";
    CopyFileA((standin_folder(major == 3 ? "python3" : "full") + "\\" + dll).c_str(), (home_ + "\\" + dll).c_str(),
              FALSE);
    if (major == 2) register_install_path(HKEY_CURRENT_USER, home_);
    lstrcpynA(target.python_dir, home_.c_str(), MAX_PATH);
    target.py_major = major;
    target.py_minor = major == 3 ? 12 : 7;
    lstrcpyA(target.python_dll, dll);
  }
  const std::string& home() const { return home_; }

 private:
  std::string home_;
};

struct folder_case {
  int major;
  std::string name;
};

std::vector<folder_case> folder_cases() {
  std::vector<folder_case> cases;
  for (int major : {2, 3})
    for (const std::string& name : folder_names()) cases.push_back({major, name});
  return cases;
}

TEST(FolderNames, BothPassesCompileEveryModuleWhereTheLogSays) {
  for (const folder_case& c : folder_cases()) {
    std::string what = "Python " + std::to_string(c.major) + " in " + c.name;
    python_in_folder python(c.major, c.name);
    std::vector<std::string> compiled;
    for (const std::string& line : split_lines(python.compile_module(python.home() + "\\mod.py")))
      if (line.rfind("200 File Copy: ", 0) == 0) compiled.push_back(line.substr(15));
    EXPECT_EQ(compiled.size(), 2u) << what;
    for (const std::string& path : compiled) EXPECT_TRUE(file_exists(path)) << what << ": " << path;
  }
}

// The script prints its own path; the capture file's path was bound for the
// redirection only and is gone again when the script runs.
TEST(FolderNames, ThePostinstallScriptRunsAndATempFolderCapturesItsOutput) {
  for (const folder_case& c : folder_cases()) {
    std::string what = "Python " + std::to_string(c.major) + " in " + c.name;
    python_in_folder python(c.major, c.name);
    std::string temp = python.home() + "\\Temp " + c.name;
    CreateDirectoryA(temp.c_str(), nullptr);
    std::string script = python.home() + "\\Scripts\\post.py";
    write_file(script,
               "import sys\n"
               "print(sys.argv[0])\n"
               "try:\n"
               "    sys._kitpack_output\n"
               "    print('still bound')\n"
               "except AttributeError:\n"
               "    print('unbound')\n");
    lstrcpyA(setup_config.install_script, "post.py");
    finish_window page;
    {
      scoped_environment tmp("TMP", temp);  // where the capture file is made
      std_streams_keeper keeper;
      install_ok = 1;
      run_postinstall_script(page.get(), python.target);
    }
    EXPECT_EQ(page.text(IDC_OUTPUT_BOX), script + "\r\nunbound\r\n") << what;
  }
}

}  // namespace
