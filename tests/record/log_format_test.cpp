#include "record/log_format.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

TEST(SourceFileRule, OnlyAnExactLowerCasePyExtensionCounts) {
  const struct {
    const char* path;
    bool source;
  } rows[] = {
      {"C:\\P\\Lib\\site-packages\\pkg\\mod.py", true},
      {"mod.py", true},
      {".py", true},
      {"C:\\P\\mod.pyc", false},
      {"C:\\P\\mod.pyo", false},
      {"C:\\P\\mod.pyw", false},
      {"C:\\P\\MOD.PY", false},
      {"C:\\P\\mod.Py", false},
      {"C:\\P\\mod.py.bak", false},
      {"C:\\P\\dir.py\\file", false},
      {"C:\\P\\Makefile", false},
      {"C:\\P\\mod.py ", false},
      {"", false},
  };
  for (const auto& row : rows) EXPECT_EQ(is_python_source(row.path), row.source) << row.path;
}

// Reads back what a second stream sees: only flushed bytes reach it.
std::string read_back(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  std::string content;
  if (!f) return content;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) content.append(buffer, n);
  std::fclose(f);
  return content;
}

class RecordLine : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = ::testing::TempDir() + "record_line_test.log";
    std::remove(path_.c_str());
    log_ = std::fopen(path_.c_str(), "a");
    ASSERT_NE(log_, nullptr);
  }
  void TearDown() override {
    if (log_) std::fclose(log_);
    std::remove(path_.c_str());
  }
  std::string path_;
  std::FILE* log_ = nullptr;
};

TEST_F(RecordLine, EachRecordKindGetsItsExactText) {
  const struct {
    const char* format;
    const char* text;
    const char* line;
  } rows[] = {
      {LOG_MADE_DIR, "C:\\Python25\\Lib\\site-packages\\example",
       "100 Made Dir: C:\\Python25\\Lib\\site-packages\\example\n"},
      {LOG_FILE_COPY, "C:\\Python25\\Scripts\\example_post.py",
       "200 File Copy: C:\\Python25\\Scripts\\example_post.py\n"},
      {LOG_FILE_OVERWRITE, "C:\\P\\x.dat", "200 File Overwrite: C:\\P\\x.dat\n"},
      {LOG_SOURCE, "C:\\Temp\\example-setup.exe", "Source: C:\\Temp\\example-setup.exe\n"},
      {LOG_ROOT_KEY, "HKEY_LOCAL_MACHINE", "999 Root Key: HKEY_LOCAL_MACHINE\n"},
      // Conversion characters in a path are written as they are.
      {LOG_FILE_COPY, "C:\\P\\100%s%d%n.txt", "200 File Copy: C:\\P\\100%s%d%n.txt\n"},
  };
  std::string expected;
  for (const auto& row : rows) {
    write_record_line(log_, row.format, row.text);
    expected += row.line;
    // Flushed at once: another reader sees the line before the log is closed.
    EXPECT_EQ(read_back(path_), expected) << row.line;
  }
}

TEST_F(RecordLine, ALongPathIsNeverCut) {
  std::string path = "C:\\" + std::string(9000, 'd') + "\\f.py";
  write_record_line(log_, LOG_FILE_COPY, path.c_str());
  EXPECT_EQ(read_back(path_), "200 File Copy: " + path + "\n");
}

}  // namespace
