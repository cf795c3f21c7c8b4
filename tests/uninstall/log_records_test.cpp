// Recognising the install log's record lines and taking them apart.
#include <gtest/gtest.h>

#include <string>

#include "uninstall/log_records.h"

namespace {

struct classify_case {
  const char* line;
  record_kind kind;
  const char* word;
};

TEST(LogRecords, LinesAreClassifiedByTheirPhrase) {
  const classify_case cases[] = {
      {"999 Root Key: HKEY_LOCAL_MACHINE", record_kind::root_key, "HKEY_LOCAL_MACHINE"},
      {"999 Root Key: HKEY_CURRENT_USER", record_kind::root_key, "HKEY_CURRENT_USER"},
      {"100 Made Dir: C:\\Python25\\Lib", record_kind::made_dir, "C:\\Python25\\Lib"},
      {"200 File Copy: C:\\P\\a.py", record_kind::file_copy, "C:\\P\\a.py"},
      {"200 File Overwrite: C:\\P\\a.py", record_kind::file_overwrite, "C:\\P\\a.py"},
      {"020 Reg DB Key: [Software\\X]pkg", record_kind::reg_key, "[Software\\X]pkg"},
      {"040 Reg DB Value: [Software\\X\\pkg]DisplayName=Python 2.5 Example",
       record_kind::reg_value, "[Software\\X\\pkg]DisplayName=Python"},
      {"300 Run Script: [python25.dll]C:\\P\\Scripts\\post.py", record_kind::run_script,
       "[python25.dll]C:\\P\\Scripts\\post.py"},
      // The word ends at the first white space; the path is taken elsewhere.
      {"200 File Copy: C:\\Program Files\\a.py", record_kind::file_copy, "C:\\Program"},
  };
  for (const classify_case& c : cases) {
    record_match match = classify_record(c.line);
    EXPECT_EQ(match.kind, c.kind) << c.line;
    EXPECT_EQ(match.word, c.word) << c.line;
  }
}

TEST(LogRecords, NumberIsReadButNotCompared) {
  const classify_case cases[] = {
      {"123 Made Dir: C:\\x", record_kind::made_dir, "C:\\x"},
      {"0 File Copy: f", record_kind::file_copy, "f"},
      {"-5 Reg DB Key: [k]n", record_kind::reg_key, "[k]n"},
      {"+7 Root Key: HKEY_CURRENT_USER", record_kind::root_key, "HKEY_CURRENT_USER"},
      {"99999999999999999999 Made Dir: d", record_kind::made_dir, "d"},
      {"  \t100 Made Dir: d", record_kind::made_dir, "d"},  // %d skips white space first
  };
  for (const classify_case& c : cases) {
    record_match match = classify_record(c.line);
    EXPECT_EQ(match.kind, c.kind) << c.line;
    EXPECT_EQ(match.word, c.word) << c.line;
  }
}

TEST(LogRecords, BlanksOfThePatternMatchAnyRunOfWhiteSpaceOrNone) {
  const classify_case cases[] = {
      {"100Made Dir: d", record_kind::made_dir, "d"},
      {"100 MadeDir: d", record_kind::made_dir, "d"},
      {"100 Made Dir:d", record_kind::made_dir, "d"},
      {"100MadeDir:d", record_kind::made_dir, "d"},
      {"100 \t Made\t\tDir:   \td", record_kind::made_dir, "d"},
      {"200   File   Overwrite:\tf", record_kind::file_overwrite, "f"},
  };
  for (const classify_case& c : cases) {
    record_match match = classify_record(c.line);
    EXPECT_EQ(match.kind, c.kind) << c.line;
    EXPECT_EQ(match.word, c.word) << c.line;
  }
}

TEST(LogRecords, LinesWithoutNumberPhraseColonOrWordMatchNothing) {
  const char* cases[] = {
      "",
      "*** Installation started 2008/03/01 10:15 ***",
      "Source: C:\\Temp\\example-setup.exe",
      "Made Dir: C:\\x",            // no number
      "- Made Dir: C:\\x",          // a sign without digits
      "100 Made Dir C:\\x",         // no colon
      "100 Made Dir : C:\\x",       // white space before the colon is not in the pattern
      "100 Made Dir:",              // no word
      "100 Made Dir:   ",           // white space is no word
      "100 made dir: C:\\x",        // phrases are case-sensitive
      "100 Made Directory: C:\\x",  // another phrase
      "200 File Move: C:\\x",
      "100x Made Dir: C:\\x",
      "400 Unknown: thing",
  };
  for (const char* line : cases) EXPECT_EQ(classify_record(line).kind, record_kind::none) << line;
}

TEST(LogRecords, ACutPieceStillMatchesItsPattern) {
  std::string piece = "200 File Copy: C:\\" + std::string(4095 - 18, 'p');
  EXPECT_EQ(classify_record(piece).kind, record_kind::file_copy);
  EXPECT_EQ(classify_record(std::string(100, 'p')).kind, record_kind::none);
}

struct path_case {
  const char* line;
  const char* path;  // null: no colon
};

TEST(LogRecords, LoggedPathIsEverythingAfterTheFirstColon) {
  const path_case cases[] = {
      {"200 File Copy: C:\\P\\a.py", "C:\\P\\a.py"},
      {"100 Made Dir: C:\\Program Files\\pkg", "C:\\Program Files\\pkg"},
      {"200 File Copy:\t  C:\\x", "C:\\x"},
      {"200 File Copy:C:\\x", "C:\\x"},
      {"200 File Copy: ", ""},
      {"no colon at all", nullptr},
  };
  for (const path_case& c : cases) {
    const char* path = logged_path(c.line);
    if (!c.path)
      EXPECT_EQ(path, nullptr) << c.line;
    else
      EXPECT_STREQ(path, c.path) << c.line;
  }
}

struct registry_case {
  const char* line;
  bool ok;
  const char* key_path;
  const char* name;
};

TEST(LogRecords, KeyRecordGivesKeyPathAndSubKey) {
  const registry_case cases[] = {
      {"020 Reg DB Key: [Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall]example-py2.5", true,
       "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "example-py2.5"},
      {"020 Reg DB Key: [a]b\nrest", true, "a", "b"},
      {"020 Reg DB Key: [a]", true, "a", ""},
      {"020 Reg DB Key: x[a]b]c", true, "a", "b]c"},
      {"020 Reg DB Key: a]b", false, "", ""},
      {"020 Reg DB Key: [ab", false, "", ""},
      {"020 Reg DB Key: ]a[b", false, "", ""},
  };
  for (const registry_case& c : cases) {
    registry_record record = parse_key_record(c.line);
    EXPECT_EQ(record.ok, c.ok) << c.line;
    EXPECT_EQ(record.key_path, c.key_path) << c.line;
    EXPECT_EQ(record.name, c.name) << c.line;
  }
}

TEST(LogRecords, ValueRecordGivesKeyPathAndValueName) {
  const registry_case cases[] = {
      {"040 Reg DB Value: [Software\\U\\example-py2.5]DisplayName=Python 2.5 Example 1.0", true,
       "Software\\U\\example-py2.5", "DisplayName"},
      {"040 Reg DB Value: [S\\U\\p]UninstallString=\"C:\\P\\R.exe\" -u \"C:\\P\\l=og\"", true,
       "S\\U\\p", "UninstallString"},
      {"040 Reg DB Value: [k]=default", true, "k", ""},
      {"040 Reg DB Value: [k=x]name", false, "", ""},  // "=" only inside the brackets
      {"040 Reg DB Value: [k]name", false, "", ""},
      {"040 Reg DB Value: k]name=v", false, "", ""},
  };
  for (const registry_case& c : cases) {
    registry_record record = parse_value_record(c.line);
    EXPECT_EQ(record.ok, c.ok) << c.line;
    EXPECT_EQ(record.key_path, c.key_path) << c.line;
    EXPECT_EQ(record.name, c.name) << c.line;
  }
}

struct summary_case {
  int files, directories, failures;
  const char* text;
};

TEST(LogRecords, SummaryNamesFailuresOnlyWhenThereAreAny) {
  const summary_case cases[] = {
      {1, 0, 0, "1 files and 0 directories removed"},
      {12, 3, 0, "12 files and 3 directories removed"},
      {5, 1, 2, "5 files and 1 directories removed\n2 files or directories could not be removed"},
  };
  for (const summary_case& c : cases) {
    char text[4096];
    format_summary(text, sizeof text, c.files, c.directories, c.failures);
    EXPECT_STREQ(text, c.text);
  }
}

}  // namespace
