#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "startup/command_line.h"
#include "startup/escapes.h"
#include "startup/run_mode.h"
#include "startup/setup_config.h"

namespace {

std::string expand(const std::string& src, std::size_t width) {
  std::string out(width + 8, '#');
  expand_escapes(src.c_str(), out.data(), width);
  EXPECT_EQ(out[width + 1], '#') << "wrote past the buffer";
  return std::string(out.c_str(), std::strlen(out.c_str()));
}

TEST(ExpandEscapes, ConvertsEachEscape) {
  struct row {
    const char* src;
    std::string expected;
  };
  const row rows[] = {
      {"one\\ntwo", "one\r\ntwo"},
      {"a\\rb", "a\rb"},
      {"\\101", "A"},
      {"x\\12y", "x\r\ny"},
      {"a\\tb", "atb"},
      {"a\\\\nb", "a\r\nb"},  // the second backslash starts a new escape
      {"a\\9b", "a9b"},
      {"a\\0b", "a"},          // a NUL byte ends the text for every reader
      {"a\\", "a"},            // a final backslash is dropped
      {"\\1010", "\x08"},      // the longest octal run: 01010 = 520, low byte 8
      {"\\3777", "\xff"},      // 03777 -> 0x7FF, low byte 0xFF
      {"\\18", std::string("\x01") + "8"},
      {"a\\\xe9", "a\xe9"},
  };
  for (const row& r : rows) EXPECT_EQ(expand(r.src, 80), r.expected) << r.src;
}

TEST(ExpandEscapes, KeepsAtMostWidthMinusTwoCharacters) {
  EXPECT_EQ(expand(std::string(100, 'x'), 80), std::string(78, 'x'));
  EXPECT_EQ(expand(std::string(5000, 'y'), 4096).size(), 4094u);
  // With room 3 left a two-byte step still fits with its NUL.
  EXPECT_EQ(expand(std::string(77, 'x') + "\\n", 80), std::string(77, 'x') + "\r\n");
  EXPECT_EQ(expand(std::string(78, 'x') + "\\n", 80), std::string(78, 'x'));
  EXPECT_EQ(expand(std::string(77, 'x') + "\\12", 80), std::string(77, 'x') + "\r\n");
  EXPECT_EQ(expand("abc", 1), "");
  EXPECT_EQ(expand("abc", 3), "a");
}

TEST(RunMode, ChoosesInstallUninstallOrRefusal) {
  EXPECT_EQ(choose_run_mode(true, true, 1), run_mode::install);
  EXPECT_EQ(choose_run_mode(true, true, 3), run_mode::install);  // arguments ignored
  EXPECT_EQ(choose_run_mode(false, false, 2), run_mode::uninstall);
  EXPECT_EQ(choose_run_mode(false, false, 1), run_mode::refuse);
  EXPECT_EQ(choose_run_mode(false, true, 3), run_mode::refuse);
  // /S without -u asks for an installation: without a package there is none.
  EXPECT_EQ(choose_run_mode(false, false, 2, true), run_mode::refuse);
  EXPECT_EQ(choose_run_mode(true, true, 2, true), run_mode::install);
}

// An argument vector as the runtime library hands it over; the pointers are
// made when asked for, so that a row can be copied.
struct argument_vector {
  argument_vector(std::initializer_list<const char*> args) : texts(args.begin(), args.end()) {}
  int argc() const { return static_cast<int>(texts.size()); }
  char** argv() {
    pointers.clear();
    for (std::string& text : texts) pointers.push_back(text.data());
    return pointers.data();
  }
  std::vector<std::string> texts;
  std::vector<char*> pointers;
};

TEST(UnattendedArguments, ReadsTheSwitchesInAnyCaseAndOrder) {
  struct row {
    argument_vector args;
    bool silent;
    const char* python;  // null: none
    const char* report;
  };
  row rows[] = {
      {argument_vector{"setup.exe"}, false, nullptr, nullptr},
      {argument_vector{"setup.exe", "/S"}, true, nullptr, nullptr},
      {argument_vector{"setup.exe", "/s"}, true, nullptr, nullptr},
      {argument_vector{"setup.exe", "/python=3.12", "/S", "/Report=C:\\r.txt"}, true, "3.12", "C:\\r.txt"},
      {argument_vector{"setup.exe", "/S", "/PYTHON=3.12-32", "/PYTHON=2.7"}, true, "2.7", nullptr},
      // Switches alone do not make a run unattended; other words stay ignored.
      {argument_vector{"setup.exe", "/PYTHON=2.7"}, false, "2.7", nullptr},
      {argument_vector{"setup.exe", "-S", "/SILENT", "S", "/S=1", "/PYTHON", "/PYTHONX=1"}, false, nullptr, nullptr},
      {argument_vector{"setup.exe", "/S", "/PYTHON=", "/REPORT=a=b"}, true, "", "a=b"},
      // The program's own name is no switch.
      {argument_vector{"/S"}, false, nullptr, nullptr},
  };
  for (row& r : rows) {
    unattended_arguments parsed = parse_unattended_arguments(r.args.argc(), r.args.argv());
    const std::string line = r.args.texts.size() > 1 ? r.args.texts[1] : r.args.texts[0];
    EXPECT_EQ(parsed.silent, r.silent) << line;
    EXPECT_STREQ(parsed.python, r.python) << line;
    EXPECT_STREQ(parsed.report, r.report) << line;
  }
}

TEST(UnattendedArguments, UninstallerWantsTheLogThenSAndAtMostAReport) {
  using check = silent_uninstall_arguments;
  struct row {
    argument_vector args;
    check expected;
  };
  row rows[] = {
      {argument_vector{"R.exe", "-u", "C:\\P\\x.log", "/S"}, check::ok},
      {argument_vector{"R.exe", "-u", "C:\\P\\x.log", "/s", "/report=C:\\r.txt"}, check::ok},
      {argument_vector{"R.exe", "-u", "C:\\P\\x.log", "/S", "/PYTHON=2.7"}, check::wrong_number},
      {argument_vector{"R.exe", "-u", "C:\\P\\x.log", "/REPORT=C:\\r.txt", "/S"}, check::wrong_number},
      {argument_vector{"R.exe", "-u", "/S", "C:\\P\\x.log"}, check::wrong_number},
      {argument_vector{"R.exe", "-u", "C:\\P\\x.log"}, check::wrong_number},
      {argument_vector{"R.exe", "-U", "C:\\P\\x.log", "/S"}, check::not_u},
      {argument_vector{"R.exe", "/S", "-u", "C:\\P\\x.log"}, check::not_u},
      {argument_vector{"R.exe", "-u", "a", "/S", "/REPORT=r", "x"}, check::wrong_number},
  };
  for (row& r : rows)
    EXPECT_EQ(check_silent_uninstall_arguments(r.args.argc(), r.args.argv()), r.expected)
        << r.args.texts[1] << " " << r.args.texts.back();
}

TEST(UnattendedArguments, TheElevatedCopyGetsWhatFollowsTheProgramsName) {
  struct row {
    const char* command_line;
    const char* arguments;
  };
  const row rows[] = {
      {"\"C:\\Program Files\\setup.exe\" /S /REPORT=r.txt", "/S /REPORT=r.txt"},
      {"setup.exe /S", "/S"},
      {"setup.exe\t \t/S  /PYTHON=2.7", "/S  /PYTHON=2.7"},
      {"\"setup.exe\"/S", "/S"},  // a quoted name ends with its quote
      {"setup.exe\x01/S", "/S"},  // an unquoted one at any control character
      {"\"C:\\unclosed name /S", ""},
      {"setup.exe", ""},
      {"", ""},
      {"setup.exe /REPORT=\"C:\\my report.txt\"", "/REPORT=\"C:\\my report.txt\""},
  };
  for (const row& r : rows) EXPECT_STREQ(arguments_after_program(r.command_line), r.arguments) << r.command_line;
}

TEST(RunMode, RefusalTextFollowsTheBaseName) {
  const char* normal = "This program is normally started by windows";
  const char* damaged = "Setup program invalid or damaged";
  EXPECT_STREQ(refusal_text("C:\\Python25\\RemoveFoo.exe"), normal);
  EXPECT_STREQ(refusal_text("C:\\Remove.exe"), normal);
  EXPECT_STREQ(refusal_text("C:\\Python25\\removefoo.exe"), damaged);
  EXPECT_STREQ(refusal_text("C:\\Setup.exe"), damaged);
  EXPECT_STREQ(refusal_text("RemoveFoo.exe"), damaged);  // no backslash at all
  EXPECT_STREQ(refusal_text("C:\\Remove\\Setup.exe"), damaged);
  EXPECT_STREQ(refusal_text("C:\\Remov"), damaged);
}

TEST(SetupConfig, KnowsTheUserAccessControlValues) {
  for (const char* ok : {"", "force", "auto", "none"}) EXPECT_TRUE(is_known_uac_value(ok)) << ok;
  for (const char* bad : {"Force", "AUTO", "none ", "yes"}) EXPECT_FALSE(is_known_uac_value(bad)) << bad;
}

}  // namespace
