#include "archive/member_path.h"
#include "archive/member_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct path_row {
  const scheme_entry* scheme;
  const char* target;
  std::string name;
  const char* expected;  // the whole output path
  std::size_t relative;  // where the member's part begins
};

TEST(MemberPath, MapsEachKeyUnderBothSchemesWithBackslashesOnly) {
  const path_row rows[] = {
      {site_packages_scheme, "C:\\Python25", "PURELIB/pkg/mod.py",
       "C:\\Python25\\Lib\\site-packages\\pkg\\mod.py", 12},
      {legacy_scheme, "C:\\Python25", "PURELIB/pkg/mod.py", "C:\\Python25\\pkg\\mod.py", 12},
      {site_packages_scheme, "C:\\Python25", "purelib/pkg/mod.py",
       "C:\\Python25\\Lib\\site-packages\\pkg\\mod.py", 12},
      {site_packages_scheme, "C:\\Python25", "PLATLIB/x.pyd", "C:\\Python25\\Lib\\site-packages\\x.pyd", 12},
      {legacy_scheme, "C:\\Python25", "PLATLIB/x.pyd", "C:\\Python25\\x.pyd", 12},
      {site_packages_scheme, "C:\\Python25", "SCRIPTS/tool.py", "C:\\Python25\\Scripts\\tool.py", 12},
      {legacy_scheme, "C:\\Python25", "SCRIPTS/tool.py", "C:\\Python25\\Scripts\\tool.py", 12},
      {site_packages_scheme, "C:\\Python25", "DATA/share/x.dat", "C:\\Python25\\share\\x.dat", 12},
      {legacy_scheme, "C:\\Python25", "DATA/share/x.dat", "C:\\Python25\\share\\x.dat", 12},
      {site_packages_scheme, "C:\\Python25", "HEADERS/x.h", "C:\\Python25\\x.h", 12},
      {legacy_scheme, "C:\\Python25", "HEADERS/x.h", "C:\\Python25\\x.h", 12},
      {site_packages_scheme, "C:\\Python25", "PURELIBX/a.py",
       "C:\\Python25\\Lib\\site-packages\\X\\a.py", 12},
      {site_packages_scheme, "C:\\Python25", "other/x.txt", "C:\\Python25\\other\\x.txt", 12},
      {site_packages_scheme, "C:\\Python25", "PURELIB/", "C:\\Python25\\Lib\\site-packages\\", 12},
      {legacy_scheme, "C:\\Python25", "PURELIB/", "C:\\Python25\\", 12},
      {site_packages_scheme, "C:\\Python25", "PURELIB\\pkg\\m.py",
       "C:\\Python25\\Lib\\site-packages\\pkg\\m.py", 12},
      // A target that already ends with a backslash gets no second one.
      {legacy_scheme, "C:\\Python25\\", "other/x.txt", "C:\\Python25\\other\\x.txt", 12},
      {legacy_scheme, "D:/Py", "other/x.txt", "D:\\Py\\other\\x.txt", 6},
      // A scheme without entries leaves the name as it is.
      {nullptr, "C:\\P", "PURELIB/a.py", "C:\\P\\PURELIB\\a.py", 5},
  };
  for (const path_row& row : rows) {
    char path[OUTPUT_PATH_WIDTH];
    member_path where = build_member_path(path, sizeof path, row.target, row.scheme, row.name);
    EXPECT_EQ(where.status, member_path_status::ok) << row.name;
    EXPECT_STREQ(path, row.expected) << row.name;
    EXPECT_EQ(where.relative, row.relative) << row.name;
  }
}

TEST(MemberPath, NamesThatWouldLeaveTheTargetAreRefused) {
  const char* refused[] = {
      "../evil.txt", "PURELIB/../../evil.txt", "other\\..\\..\\x", "a/b/../../../c",
      "/etc/passwd", "\\windows\\x.dll", "DATA//abs", "DATA\\\\abs",
      "C:/x.txt", "DATA/C:/x.txt", "PURELIB/pkg/mod.py:stream", "a/.../b", "a/.. /b", "..",
  };
  for (const char* name : refused) {
    for (const scheme_entry* scheme : {legacy_scheme, site_packages_scheme}) {
      char path[OUTPUT_PATH_WIDTH] = "untouched";
      member_path where = build_member_path(path, sizeof path, "C:\\Python25", scheme, name);
      EXPECT_EQ(where.status, member_path_status::unsafe) << name;
      EXPECT_STREQ(path, "") << name;
    }
  }
}

// Behind a non-empty prefix a doubled slash is an empty component, which
// Windows folds away: still below the target.
TEST(MemberPath, NamesThatOnlyLookOddAreKept) {
  const char* kept[] = {"a/./b.txt", "a..b/c", "pkg/..x", "...txt.x/y", ".hidden", "a//b.txt",
                        "PURELIB//x.py"};
  for (const char* name : kept) {
    char path[OUTPUT_PATH_WIDTH];
    member_path where = build_member_path(path, sizeof path, "C:\\Python25", site_packages_scheme, name);
    EXPECT_EQ(where.status, member_path_status::ok) << name;
  }
}

TEST(MemberPath, WhatFollowsANulInTheNameNeverCounts) {
  std::string name("PURELIB/x.py\0/../../evil", 24);
  char path[OUTPUT_PATH_WIDTH];
  member_path where = build_member_path(path, sizeof path, "C:\\P", site_packages_scheme, name);
  EXPECT_EQ(where.status, member_path_status::ok);
  EXPECT_STREQ(path, "C:\\P\\Lib\\site-packages\\x.py");
}

TEST(MemberPath, APathOf259CharactersFitsAndOneMoreIsTooLong) {
  std::string target = "C:\\T";  // 4 characters, then the backslash
  struct row {
    std::size_t name_length;
    member_path_status status;
  } rows[] = {{254, member_path_status::ok}, {255, member_path_status::too_long},
              {2000, member_path_status::too_long}};
  for (const row& r : rows) {
    std::string name(r.name_length, 'n');
    char path[OUTPUT_PATH_WIDTH + 8];
    std::memset(path, '#', sizeof path);
    member_path where = build_member_path(path, OUTPUT_PATH_WIDTH, target.c_str(), nullptr, name);
    EXPECT_EQ(where.status, r.status) << r.name_length;
    EXPECT_LE(std::strlen(path), OUTPUT_PATH_WIDTH - 1);
    // Nothing behind the buffer's width was touched.
    for (std::size_t i = OUTPUT_PATH_WIDTH; i < sizeof path; ++i) EXPECT_EQ(path[i], '#');
  }
}

TEST(MemberPath, DirectoryEntriesEndWithABackslash) {
  const struct {
    const char* path;
    bool directory;
  } rows[] = {{"C:\\P\\a\\", true}, {"C:\\P\\a", false}, {"", false}, {"C:\\P\\a\\b.txt", false}};
  for (const auto& row : rows) EXPECT_EQ(is_directory_entry(row.path), row.directory) << row.path;
}

TEST(MemberName, OnlyAUtf8NameOutsideAsciiIsConvertedAndNotForAUtf8CodePage) {
  const struct {
    bool utf8_flag;
    const char* name;
    unsigned code_page;
    name_reading reading;
  } rows[] = {
      {true, "PURELIB/caf\xC3\xA9.py", 1252, name_reading::from_utf8},
      {false, "PURELIB/caf\xE9.py", 1252, name_reading::as_stored},  // the code page's bytes
      {true, "PURELIB/plain.py", 1252, name_reading::as_stored},
      {true, "PURELIB/caf\xC3\xA9.py", CODE_PAGE_UTF8, name_reading::as_stored},
  };
  for (const auto& row : rows)
    EXPECT_EQ(member_name_reading(row.utf8_flag, row.name, row.code_page), row.reading) << row.name;
}

TEST(MapMemberName, AppendsWithinTheWidthAndSaysWhenItCut) {
  struct row {
    std::size_t width;
    const char* expected;
    bool whole;
  } rows[] = {{64, "C:\\P\\Lib\\site-packages\\pkg/a.py", true},
              {10, "C:\\P\\Lib\\", false},
              {6, "C:\\P\\", false}};
  for (const row& r : rows) {
    char path[64] = "C:\\P\\";
    bool whole = map_member_name(path, r.width, site_packages_scheme, "PURELIB/pkg/a.py", 16);
    EXPECT_EQ(whole, r.whole) << r.width;
    EXPECT_STREQ(path, r.expected) << r.width;
  }
}

}  // namespace
