// Reading the install log into the line table and sorting it for undoing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "uninstall/log_lines.h"

namespace {

std::vector<std::string> entries(const line_table& table) {
  return std::vector<std::string>(table.lines, table.lines + table.count);
}

// Reads text as a log stream would deliver it.
std::vector<std::string> read_text(const std::string& text) {
  std::FILE* stream = std::tmpfile();
  EXPECT_NE(stream, nullptr);
  std::fwrite(text.data(), 1, text.size(), stream);
  std::rewind(stream);
  line_table table;
  EXPECT_TRUE(start_line_table(table));
  static char buffer[LOG_PIECE_WIDTH];
  EXPECT_TRUE(read_log_lines(stream, buffer, table));
  std::fclose(stream);
  return entries(table);
}

struct trim_case {
  const char* text;
  const char* trimmed;
};

TEST(LogLines, TrailingWhiteSpaceOfEveryKindIsTrimmed) {
  const trim_case cases[] = {
      {"", ""},
      {"abc", "abc"},
      {"abc \t\n\v\f\r", "abc"},
      {" \t\r\n", ""},
      {"  lead stays", "  lead stays"},
      {"inner  blanks stay  ", "inner  blanks stay"},
      {"path\\with blank \r\n", "path\\with blank"},
      {"x\xa0", "x\xa0"},  // a no-break byte is no white space here
  };
  for (const trim_case& c : cases) {
    std::string text = c.text;
    trim_trailing_space(text.data());
    EXPECT_STREQ(text.c_str(), c.trimmed) << '"' << c.text << '"';
  }
}

struct read_case {
  std::string text;
  std::vector<std::string> lines;
};

TEST(LogLines, EachLineOrPieceBecomesOneTrimmedEntry) {
  const std::string long_4095(4095, 'a');
  const std::string long_5000 = "200 File Copy: C:\\" + std::string(5000 - 18, 'p');
  const read_case cases[] = {
      {"", {}},
      {"one\n", {"one"}},
      {"one\r\ntwo\r\n", {"one", "two"}},
      {"no final line end", {"no final line end"}},
      {"\n\n", {"", ""}},
      {"a  \n\tb\t\n", {"a", "\tb"}},
      // Exactly one piece, then its line end read on its own as an empty piece.
      {long_4095 + "\n", {long_4095, ""}},
      {std::string(4094, 'b') + "\n", {std::string(4094, 'b')}},
      {long_5000 + "\r\nnext\r\n",
       {long_5000.substr(0, 4095), long_5000.substr(4095), "next"}},
  };
  for (const read_case& c : cases) EXPECT_EQ(read_text(c.text), c.lines) << c.text.substr(0, 40);
}

TEST(LogLines, TableStartsAtTenAndGrowsByTen) {
  struct grow_case {
    int added;
    int capacity;
  };
  // The table grows as soon as the count reaches its capacity.
  const grow_case cases[] = {{0, 10}, {9, 10}, {10, 20}, {19, 20}, {20, 30}, {25, 30}, {1000, 1010}};
  for (const grow_case& c : cases) {
    line_table table;
    ASSERT_TRUE(start_line_table(table));
    for (int i = 0; i < c.added; ++i) ASSERT_TRUE(add_line(table, std::to_string(i).c_str()));
    EXPECT_EQ(table.count, c.added);
    EXPECT_EQ(table.capacity, c.capacity) << c.added;
    if (c.added > 0) {
      EXPECT_STREQ(table.lines[c.added - 1], std::to_string(c.added - 1).c_str());
    }
  }
}

TEST(LogLines, EntriesAreCopiesOfThePieces) {
  line_table table;
  ASSERT_TRUE(start_line_table(table));
  char piece[] = "200 File Copy: C:\\x";
  ASSERT_TRUE(add_line(table, piece));
  piece[0] = '9';
  EXPECT_STREQ(table.lines[0], "200 File Copy: C:\\x");
}

struct compare_case {
  const char* first;
  const char* second;
  int sign;  // of compare_lines_descending(first, second)
};

TEST(LogLines, ComparisonIsReversedAndUnsigned) {
  const compare_case cases[] = {
      {"a", "a", 0},
      {"a", "b", 1},   // b sorts above a
      {"b", "a", -1},
      {"100", "1000", 1},  // a path that extends another sorts above it
      {"\x80", "z", -1},   // bytes above 127 sort above ASCII
      {"", "***", 1},
      {"999", "Source:", 1},
  };
  for (const compare_case& c : cases) {
    char* first = const_cast<char*>(c.first);
    char* second = const_cast<char*>(c.second);
    int result = compare_lines_descending(&first, &second);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.first << " / " << c.second;
  }
}

TEST(LogLines, SortGivesTheOrderOfUndoing) {
  const std::string log =
      "*** Installation started 2008/03/01 10:15 ***\n"
      "Source: C:\\Temp\\example-setup.exe\n"
      "999 Root Key: HKEY_LOCAL_MACHINE\n"
      "020 Reg DB Key: [Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall]example-py2.5\n"
      "040 Reg DB Value: [Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\example-py2.5]"
      "DisplayName=Python 2.5 Example 1.0\n"
      "100 Made Dir: C:\\Python25\\Lib\\site-packages\\example\n"
      "100 Made Dir: C:\\Python25\\Lib\\site-packages\\example\\sub\n"
      "200 File Copy: C:\\Python25\\Lib\\site-packages\\example\\__init__.py\n"
      "200 File Overwrite: C:\\Python25\\Scripts\\example_post.py\n"
      "300 Run Script: [python25.dll]C:\\Python25\\Scripts\\example_post.py\n"
      "\n"
      "*** Installation finished 2008/03/01 10:16 ***\n";
  std::FILE* stream = std::tmpfile();
  ASSERT_NE(stream, nullptr);
  std::fputs(log.c_str(), stream);
  std::rewind(stream);
  line_table table;
  ASSERT_TRUE(start_line_table(table));
  static char buffer[LOG_PIECE_WIDTH];
  ASSERT_TRUE(read_log_lines(stream, buffer, table));
  std::fclose(stream);
  sort_lines_descending(table);
  const std::vector<std::string> expected = {
      "Source: C:\\Temp\\example-setup.exe",
      "999 Root Key: HKEY_LOCAL_MACHINE",
      "300 Run Script: [python25.dll]C:\\Python25\\Scripts\\example_post.py",
      "200 File Overwrite: C:\\Python25\\Scripts\\example_post.py",
      "200 File Copy: C:\\Python25\\Lib\\site-packages\\example\\__init__.py",
      "100 Made Dir: C:\\Python25\\Lib\\site-packages\\example\\sub",
      "100 Made Dir: C:\\Python25\\Lib\\site-packages\\example",
      "040 Reg DB Value: [Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\example-py2.5]"
      "DisplayName=Python 2.5 Example 1.0",
      "020 Reg DB Key: [Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall]example-py2.5",
      "*** Installation started 2008/03/01 10:15 ***",
      "*** Installation finished 2008/03/01 10:16 ***",
      "",
  };
  EXPECT_EQ(entries(table), expected);
}

TEST(LogLines, SortKeepsRepeatedLinesTogether) {
  line_table table;
  ASSERT_TRUE(start_line_table(table));
  for (const char* line : {"200 File Copy: a", "100 Made Dir: d", "200 File Copy: a", "020 k", "100 Made Dir: d"})
    ASSERT_TRUE(add_line(table, line));
  sort_lines_descending(table);
  EXPECT_EQ(entries(table), (std::vector<std::string>{"200 File Copy: a", "200 File Copy: a",
                                                      "100 Made Dir: d", "100 Made Dir: d", "020 k"}));
}

}  // namespace
