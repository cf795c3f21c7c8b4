// The platform-free pieces of the script steps.
#include <gtest/gtest.h>

#include <string>

#include "python_runtime/compiled_names.h"
#include "python_runtime/script_texts.h"
#include "python_runtime/csidl_folders.h"

namespace {

struct folder_case {
  const char* name;
  int id;
};

TEST(SpecialFolders, NamesMatchIgnoringCaseAndUnknownNamesGiveMinusOne) {
  const folder_case cases[] = {
      {"CSIDL_COMMON_STARTMENU", 22}, {"CSIDL_STARTMENU", 11},         {"CSIDL_APPDATA", 26},
      {"CSIDL_COMMON_DESKTOPDIRECTORY", 25}, {"CSIDL_DESKTOPDIRECTORY", 16}, {"CSIDL_COMMON_STARTUP", 24},
      {"CSIDL_STARTUP", 7},           {"CSIDL_COMMON_PROGRAMS", 23},   {"CSIDL_PROGRAMS", 2},
      {"CSIDL_FONTS", 20},            {"csidl_programs", 2},           {"cSiDl_FoNtS", 20},
      {"CSIDL_PERSONAL", -1},         {"CSIDL_PROGRAMS ", -1},         {"CSIDL_PROGRAM", -1},
      {"", -1},
  };
  for (const folder_case& c : cases) EXPECT_EQ(find_special_folder(c.name), c.id) << c.name;
}

TEST(SpecialFolders, TheTableHasTenRowsInSearchOrder) {
  ASSERT_EQ(SPECIAL_FOLDER_COUNT, 10u);
  EXPECT_STREQ(special_folders[0].name, "CSIDL_COMMON_STARTMENU");
  EXPECT_STREQ(special_folders[9].name, "CSIDL_FONTS");
}

struct record_case {
  const char* line;
  bool found;
  const char* dll;
  const char* path;
};

TEST(RunScriptRecord, TheNameLiesInTheFirstBracketsAndThePathFollows) {
  const record_case cases[] = {
      {"300 Run Script: [python27.dll]C:\\Python27\\Scripts\\x.py", true, "python27.dll", "C:\\Python27\\Scripts\\x.py"},
      {"300 Run Script: []C:\\x.py", true, "", "C:\\x.py"},
      {"300 Run Script: [a]b]c", true, "a", "b]c"},
      {"300 Run Script: [a[b]c", true, "a[b", "c"},
      {"300 Run Script: [python27.dll]", true, "python27.dll", ""},
      {"300 Run Script: python27.dll]C:\\x.py", false, "", ""},
      {"300 Run Script: [python27.dll C:\\x.py", false, "", ""},
      {"", false, "", ""},
  };
  for (const record_case& c : cases) {
    std::string_view line = c.line;
    run_script_record r = parse_run_script_record(line);
    EXPECT_EQ(r.found, c.found) << c.line;
    if (!r.found) continue;
    EXPECT_EQ(line.substr(r.dll_begin, r.dll_end - r.dll_begin), c.dll) << c.line;
    EXPECT_EQ(line.substr(r.path_begin), c.path) << c.line;
  }
}

struct compiled_case {
  const char* path;
  int optimize;
  std::size_t width;
  bool fits;
  const char* name;
};

TEST(CompiledName, AppendsTheSuffixLetterOrRefusesWhatDoesNotFit) {
  const compiled_case cases[] = {
      {"C:\\mod.py", 0, 64, true, "C:\\mod.pyc"},
      {"C:\\mod.py", 1, 64, true, "C:\\mod.pyo"},
      {"C:\\mod.py", 7, 64, true, "C:\\mod.pyo"},
      {"C:\\mod.py", 0, 11, true, "C:\\mod.pyc"},
      {"C:\\mod.py", 0, 10, false, ""},
  };
  for (const compiled_case& c : cases) {
    char name[64];
    EXPECT_EQ(format_compiled_name(name, c.width, c.path, c.optimize), c.fits) << c.path;
    EXPECT_STREQ(name, c.name);
  }
}

TEST(PostinstallPath, JoinsTheScriptsFolderOrRefusesAPathThatDoesNotFit) {
  char path[260];
  EXPECT_TRUE(format_postinstall_path(path, sizeof path, "C:\\Python27", "post.py"));
  EXPECT_STREQ(path, "C:\\Python27\\Scripts\\post.py");
  std::string dir(250, 'd');
  std::string exact(259 - 250 - 9, 's');  // fills the 259 characters
  EXPECT_TRUE(format_postinstall_path(path, sizeof path, dir.c_str(), exact.c_str()));
  EXPECT_EQ(std::string(path).size(), 259u);
  EXPECT_FALSE(format_postinstall_path(path, sizeof path, dir.c_str(), (exact + "x").c_str()));
  EXPECT_STREQ(path, "");
}

}  // namespace
