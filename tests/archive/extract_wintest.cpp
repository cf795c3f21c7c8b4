// Extraction onto real files under Wine: the packer's archives under both
// schemes with the program's own notify and log, and hand-built archives with
// a recording notify for the order of every report.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/owner_win.h"
#include "archive/extract_archive_win.h"
#include "record/install_log_win.h"
#include "support/box_recorder_win.h"
#include "support/test_files_win.h"
#include "support/zip_builder.h"
#include "wizard/install_status_win.h"

namespace {

// ---- a recording notify --------------------------------------------------

struct report {
  int code;
  std::string text;  // the path, or for codes 4 and 5 the formatted message
  int total = 0, done = 0;  // code 6
  DWORD last_error = 0;     // code 5
  bool operator==(const report&) const = default;
};
std::vector<report> reports;
int overwrite_answer = 1;

int record_notify(int code, const char* text, ...) {
  DWORD error = GetLastError();
  va_list args;
  va_start(args, text);
  report r{code, text};
  if (code == NOTIFY_ZLIB_ERROR || code == NOTIFY_SYSTEM_ERROR) {
    char message[1024];
    std::vsnprintf(message, sizeof message, text, args);
    r.text = message;
    if (code == NOTIFY_SYSTEM_ERROR) r.last_error = error;
  } else if (code == NOTIFY_PROGRESS) {
    r.total = va_arg(args, int);
    r.done = va_arg(args, int);
  }
  va_end(args);
  reports.push_back(r);
  return code == NOTIFY_CAN_OVERWRITE ? overwrite_answer : 1;
}

std::vector<int> codes_of(const std::vector<report>& list) {
  std::vector<int> codes;
  for (const report& r : list) codes.push_back(r.code);
  return codes;
}

// ---- a recording progress sink -------------------------------------------

std::vector<std::string> progress;
const progress_sink recording_sink = {
    [](const char* t) { progress.push_back(std::string("step ") + t); },
    [](const char* t) { progress.push_back(std::string("item ") + t); },
    [](unsigned n) { progress.push_back("range " + std::to_string(n)); },
    [](unsigned n) { progress.push_back("pos " + std::to_string(n)); },
};

int extract(const std::string& image, const std::string& target, const scheme_entry* scheme,
            notify_fn notify) {
  return extract_archive(scheme, target.c_str(), std::as_bytes(std::span(image)), notify);
}

FILETIME dos_time_of(WORD date, WORD time) {
  FILETIME t{};
  DosDateTimeToFileTime(date, time, &t);
  return t;
}

struct file_times {
  FILETIME created{}, accessed{}, written{};
};
file_times times_of(const std::string& path) {
  file_times t;
  unique_file h(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (h) GetFileTime(h.get(), &t.created, &t.accessed, &t.written);
  return t;
}
bool same(FILETIME a, FILETIME b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

std::vector<std::string> compile_paths() {
  std::vector<std::string> paths;
  for (compile_node* n = compile_list; n; n = n->next) paths.push_back(n->path);
  return paths;
}

// ---- the packer's archives, the program's notify ---------------------------

struct member_row {
  const char* source;  // in tests/archive/tree, or null for the directory entry
  const char* legacy;  // relative path under legacy_scheme
  const char* site;    // under site_packages_scheme
};
// In the packer's order: folders sorted, files sorted within each.
const member_row packer_members[] = {
    {nullptr, "empty_dir\\", "empty_dir\\"},
    {"DATA/share/empty.dat", "share\\empty.dat", "share\\empty.dat"},
    {"HEADERS/pkg.h", "pkg.h", "pkg.h"},
    {"PLATLIB/ext.pyd", "ext.pyd", "Lib\\site-packages\\ext.pyd"},
    {"PURELIB/pkg/__init__.py", "pkg\\__init__.py", "Lib\\site-packages\\pkg\\__init__.py"},
    {"PURELIB/pkg/sub/deep/data.txt", "pkg\\sub\\deep\\data.txt",
     "Lib\\site-packages\\pkg\\sub\\deep\\data.txt"},
    {"SCRIPTS/tool.py", "Scripts\\tool.py", "Scripts\\tool.py"},
};

// The log of a fresh extraction, line by line ("T" stands for the target).
const char* const legacy_log[] = {
    "100 Made Dir: T\\share",
    "200 File Copy: T\\share\\empty.dat",
    "200 File Copy: T\\pkg.h",
    "200 File Copy: T\\ext.pyd",
    "100 Made Dir: T\\pkg",
    "200 File Copy: T\\pkg\\__init__.py",
    "100 Made Dir: T\\pkg\\sub",
    "100 Made Dir: T\\pkg\\sub\\deep",
    "200 File Copy: T\\pkg\\sub\\deep\\data.txt",
    "100 Made Dir: T\\Scripts",
    "200 File Copy: T\\Scripts\\tool.py",
};
const char* const site_log[] = {
    "100 Made Dir: T\\share",
    "200 File Copy: T\\share\\empty.dat",
    "200 File Copy: T\\pkg.h",
    "100 Made Dir: T\\Lib",
    "100 Made Dir: T\\Lib\\site-packages",
    "200 File Copy: T\\Lib\\site-packages\\ext.pyd",
    "100 Made Dir: T\\Lib\\site-packages\\pkg",
    "200 File Copy: T\\Lib\\site-packages\\pkg\\__init__.py",
    "100 Made Dir: T\\Lib\\site-packages\\pkg\\sub",
    "100 Made Dir: T\\Lib\\site-packages\\pkg\\sub\\deep",
    "200 File Copy: T\\Lib\\site-packages\\pkg\\sub\\deep\\data.txt",
    "100 Made Dir: T\\Scripts",
    "200 File Copy: T\\Scripts\\tool.py",
};

std::string replace_target(std::string line, const std::string& target) {
  std::size_t at = line.find("T\\");
  if (at != std::string::npos) line.replace(at, 1, target);
  return line;
}

// The program's log over a temporary file; closed and read back on demand.
class open_log {
 public:
  explicit open_log(const std::string& path) : path_(path) { log_file = std::fopen(path.c_str(), "a"); }
  ~open_log() { close(); }
  std::vector<std::string> lines() {
    close();
    return split_lines(read_file(path_));
  }
  void close() {
    if (log_file) std::fclose(log_file);
    log_file = nullptr;
  }

 private:
  std::string path_;
};

TEST(ExtractPackerArchive, WritesEveryMemberWithItsBytesTimeRecordAndProgress) {
  const struct {
    const char* fixture;
    const scheme_entry* scheme;
    bool site;
  } rows[] = {
      {"fixtures/archive-stored.exe", legacy_scheme, false},
      {"fixtures/archive-stored.exe", site_packages_scheme, true},
      {"fixtures/archive-deflated.exe", legacy_scheme, false},
      {"fixtures/archive-deflated.exe", site_packages_scheme, true},
  };
  // 2008-03-01 10:15:30, as the packer was told.
  FILETIME member_time = dos_time_of((2008 - 1980) << 9 | 3 << 5 | 1, 10 << 11 | 15 << 5 | 15);
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.fixture) + (row.site ? " site-packages" : " legacy"));
    std::string image = read_file(build_file(row.fixture));
    ASSERT_FALSE(image.empty());
    temp_folder dir;
    std::string target = dir / "Python25";
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
    compile_list = nullptr;
    progress.clear();
    install_sink = &recording_sink;
    open_log log(dir / "example-kitpack.log");
    ASSERT_EQ(extract(image, target, row.scheme, notify), 1);
    install_sink = nullptr;

    std::vector<std::string> expected_log;
    for (const char* line : row.site ? std::vector<const char*>(std::begin(site_log), std::end(site_log))
                                     : std::vector<const char*>(std::begin(legacy_log), std::end(legacy_log)))
      expected_log.push_back(replace_target(line, target));
    EXPECT_EQ(log.lines(), expected_log);

    std::vector<std::string> expected_progress;
    unsigned done = 0;
    for (const member_row& m : packer_members) {
      std::string relative = row.site ? m.site : m.legacy;
      expected_progress.push_back("range 7");
      expected_progress.push_back("pos " + std::to_string(++done));
      expected_progress.push_back("item " + relative);
      std::string path = target + "\\" + relative;
      if (!m.source) {
        // A directory entry creates nothing.
        EXPECT_FALSE(directory_exists(path.substr(0, path.size() - 1))) << path;
        continue;
      }
      file_times t = times_of(path);
      EXPECT_EQ(read_file(path), read_file(source_file(std::string("tests/archive/tree/") + m.source))) << path;
      EXPECT_TRUE(same(t.written, member_time)) << path;
      EXPECT_TRUE(same(t.created, member_time)) << path;
      EXPECT_TRUE(same(t.accessed, member_time)) << path;
    }
    EXPECT_EQ(progress, expected_progress);
    std::string site = row.site ? "Lib\\site-packages\\" : "";
    EXPECT_EQ(compile_paths(), (std::vector<std::string>{target + "\\Scripts\\tool.py",
                                                          target + "\\" + site + "pkg\\__init__.py"}));
  }
}

TEST(ExtractPackerArchive, AnExistingFileIsReplacedAndRecordedAsACopy) {
  std::string image = read_file(build_file("fixtures/archive-deflated.exe"));
  temp_folder dir;
  std::string target = dir / "Python25";
  ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
  ASSERT_TRUE(write_file(target + "\\pkg.h", "an older header, longer than the new one\n"));
  open_log log(dir / "x.log");
  ASSERT_EQ(extract(image, target, legacy_scheme, notify), 1);
  EXPECT_EQ(read_file(target + "\\pkg.h"), "#define PKG 1\n");
  std::vector<std::string> lines = log.lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "200 File Copy: " + target + "\\pkg.h"), 1);
}

TEST(ExtractPackerArchive, ASecondInstallationAppendsToTheLog) {
  std::string image = read_file(build_file("fixtures/archive-stored.exe"));
  temp_folder dir;
  std::string target = dir / "Python25";
  ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
  std::string log_path = dir / "x.log";
  std::size_t first_size;
  {
    open_log log(log_path);
    ASSERT_EQ(extract(image, target, site_packages_scheme, notify), 1);
    first_size = log.lines().size();
  }
  open_log log(log_path);
  ASSERT_EQ(extract(image, target, site_packages_scheme, notify), 1);
  std::vector<std::string> lines = log.lines();
  // The second run makes no directories and replaces the six files.
  ASSERT_EQ(lines.size(), first_size + 6);
  EXPECT_EQ(lines.back(), "200 File Copy: " + target + "\\Scripts\\tool.py");
}

// ---- hand-built archives, the recording notify -----------------------------

class ExtractArchive : public ::testing::Test {
 protected:
  void SetUp() override {
    reports.clear();
    overwrite_answer = 1;
    target_ = dir_ / "T";
    ASSERT_TRUE(CreateDirectoryA(target_.c_str(), nullptr));
  }
  int run(const std::vector<zip_entry>& entries, const scheme_entry* scheme = legacy_scheme) {
    image_ = build_zip(entries, "MZ a stub before the archive");
    return extract(image_, target_, scheme, record_notify);
  }
  std::string at(const std::string& relative) const { return target_ + "\\" + relative; }
  temp_folder dir_;
  std::string target_;
  std::string image_;
};

TEST_F(ExtractArchive, MissingDirectoriesAreMadeOuterFirstBeforeTheFileIsReported) {
  ASSERT_EQ(run({entry("a/b/file.txt", "data", 0)}), 1);
  std::vector<report> expected = {
      {NOTIFY_DIR_CREATED, at("a")},
      {NOTIFY_DIR_CREATED, at("a\\b")},
      {NOTIFY_FILE_CREATED, at("a\\b\\file.txt")},
      {NOTIFY_PROGRESS, "a\\b\\file.txt", 1, 1},
  };
  EXPECT_EQ(reports, expected);
  EXPECT_EQ(read_file(at("a\\b\\file.txt")), "data");
}

TEST_F(ExtractArchive, AnArchiveOfOnlyADirectoryEntryCreatesNothing) {
  ASSERT_EQ(run({entry("PURELIB/pkg/", "", 0)}), 1);
  EXPECT_EQ(reports, (std::vector<report>{{NOTIFY_PROGRESS, "pkg\\", 1, 1}}));
  EXPECT_FALSE(directory_exists(at("pkg")));
}

TEST_F(ExtractArchive, AnEmptyMemberIsAnEmptyFileWithTheMembersTime) {
  zip_entry empty = entry("empty.txt", "", 8);
  empty.dos_date = (1999 - 1980) << 9 | 12 << 5 | 31;
  empty.dos_time = 23 << 11 | 59 << 5 | 58 / 2;
  ASSERT_EQ(run({empty}), 1);
  EXPECT_EQ(codes_of(reports), (std::vector<int>{NOTIFY_FILE_CREATED, NOTIFY_PROGRESS}));
  ASSERT_TRUE(file_exists(at("empty.txt")));
  EXPECT_EQ(read_file(at("empty.txt")), "");
  EXPECT_TRUE(same(times_of(at("empty.txt")).written, dos_time_of(empty.dos_date, empty.dos_time)));
}

TEST_F(ExtractArchive, AnExistingFileIsReplacedOrKeptByTheAnswer) {
  const struct {
    int answer;
    std::vector<int> codes;
    const char* content;
  } rows[] = {
      {1, {NOTIFY_CAN_OVERWRITE, NOTIFY_FILE_CREATED, NOTIFY_PROGRESS}, "new"},
      {0, {NOTIFY_CAN_OVERWRITE, NOTIFY_FILE_KEPT, NOTIFY_PROGRESS}, "old content"},
  };
  for (const auto& row : rows) {
    ASSERT_TRUE(write_file(at("f.txt"), "old content"));
    reports.clear();
    overwrite_answer = row.answer;
    ASSERT_EQ(run({entry("f.txt", "new", 0)}), 1);
    EXPECT_EQ(codes_of(reports), row.codes) << row.answer;
    EXPECT_EQ(reports[0].text, at("f.txt"));
    EXPECT_EQ(reports[1].text, at("f.txt"));
    EXPECT_EQ(read_file(at("f.txt")), row.content) << row.answer;
  }
}

TEST_F(ExtractArchive, WithoutNotifyAnExistingFileIsLeftAlone) {
  ASSERT_TRUE(write_file(at("f.txt"), "old"));
  image_ = build_zip({entry("f.txt", "new", 0), entry("g.txt", "g", 8)});
  EXPECT_EQ(extract(image_, target_, legacy_scheme, nullptr), 1);
  EXPECT_EQ(read_file(at("f.txt")), "old");
  EXPECT_EQ(read_file(at("g.txt")), "g");
}

zip_entry sized(zip_entry e, std::int64_t central_size) {
  e.central_size = central_size;
  return e;
}

// Each row: what stops the walk; the members before it stay written, the one
// that stops it gets no progress report, and nothing after it is written.
TEST_F(ExtractArchive, ADamagedMemberStopsTheWalkAndEarlierMembersStay) {
  const struct {
    const char* what;
    zip_entry bad;
    bool bad_file_created;  // the file was created before the damage showed
  } rows[] = {
      {"unknown method", entry("bad.txt", "abc", 12), true},
      {"stored, wrong CRC", entry("bad.txt", "abc", 0, true), true},
      {"deflated, wrong CRC", entry("bad.txt", std::string(5000, 'z'), 8, true), true},
      {"stored, central size damaged to 0", sized(entry("bad.txt", "abc", 0), 0), false},
      {"deflated, central size damaged to 0", sized(entry("bad.txt", std::string(5000, 'z'), 8), 0),
       false},
      {"stored, central size one short", sized(entry("bad.txt", "abc", 0), 2), true},
      {"deflated, central size one more", sized(entry("bad.txt", std::string(5000, 'z'), 8), 5001),
       true},
      {"climbs out", entry("../bad.txt", "abc", 0), false},
      {"rooted", entry("/bad.txt", "abc", 0), false},
      {"drive letter", entry("C:/bad.txt", "abc", 0), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    reports.clear();
    temp_folder fresh;
    target_ = fresh / "T";
    ASSERT_TRUE(CreateDirectoryA(target_.c_str(), nullptr));
    EXPECT_EQ(run({entry("one.txt", "one", 0), entry("two.txt", "two two two", 8), row.bad,
                   entry("after.txt", "after", 0)}),
              0);
    EXPECT_EQ(read_file(at("one.txt")), "one");
    EXPECT_EQ(read_file(at("two.txt")), "two two two");
    EXPECT_FALSE(file_exists(at("after.txt")));
    EXPECT_FALSE(file_exists(fresh / "bad.txt"));
    std::vector<int> expected = {NOTIFY_FILE_CREATED, NOTIFY_PROGRESS, NOTIFY_FILE_CREATED,
                                 NOTIFY_PROGRESS};
    if (row.bad_file_created) expected.push_back(NOTIFY_FILE_CREATED);
    EXPECT_EQ(codes_of(reports), expected);
    EXPECT_EQ(file_exists(at("bad.txt")), row.bad_file_created);
  }
}

TEST_F(ExtractArchive, AFailedInflateIsReportedWithZlibsResult) {
  zip_entry junk = entry("bad.txt", "\xff\xff\xff", 8);
  junk.raw = true;  // these bytes are no deflate stream
  ASSERT_EQ(run({junk}), 0);
  ASSERT_EQ(codes_of(reports), (std::vector<int>{NOTIFY_FILE_CREATED, NOTIFY_ZLIB_ERROR}));
  EXPECT_EQ(reports[1].text, "inflate returns -3");
}

TEST_F(ExtractArchive, ATruncatedImageStopsBeforeWritingAnything) {
  image_ = build_zip({entry("one.txt", "one", 0), entry("two.txt", "two", 0)}, "stub");
  for (std::size_t cut : {std::size_t{1}, std::size_t{10}, std::size_t{30}, image_.size() / 2}) {
    reports.clear();
    std::string cut_image = image_.substr(0, image_.size() - cut);
    EXPECT_EQ(extract(cut_image, target_, legacy_scheme, record_notify), 0) << cut;
    EXPECT_TRUE(reports.empty()) << cut;
  }
  EXPECT_FALSE(file_exists(at("one.txt")));
}

TEST_F(ExtractArchive, APathTooLongIsRefusedAsTheSystemWouldAndTheWalkGoesOn) {
  // The target plus a backslash plus the name: 260 characters do not fit, 259 do.
  std::size_t room = 259 - target_.size() - 1;
  std::string fits(room, 'f');
  std::string too_long(room + 1, 'l');
  ASSERT_EQ(run({entry(too_long, "x", 0), entry(fits, "y", 0)}), 1);
  ASSERT_EQ(codes_of(reports), (std::vector<int>{NOTIFY_SYSTEM_ERROR, NOTIFY_PROGRESS,
                                                 NOTIFY_FILE_CREATED, NOTIFY_PROGRESS}));
  EXPECT_EQ(reports[0].text, "CreateFile (" + at(too_long) + ")");
  EXPECT_EQ(reports[0].last_error, static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
  EXPECT_EQ(reports[1].text, too_long);
  EXPECT_EQ(reports[2].text, at(fits));
  EXPECT_EQ(read_file(at(fits)), "y");
  EXPECT_EQ(members_not_written, 1u);
}

// A name stored in UTF-8 is written in the ANSI code page; one that the code
// page cannot hold is refused as a file that cannot be created is, and counted.
TEST_F(ExtractArchive, AUtf8NameIsWrittenInTheCodePageOrRefused) {
  const std::string e_acute = ansi_text("\xC3\xA9");
  ASSERT_TRUE(!e_acute.empty() && ansi_text("\xCE\xA9").empty()) << "the code page is not 1252's kind";
  const struct {
    std::string name;
    bool utf8;
    std::string shown;  // the relative path reported
    DWORD refusal;      // 0: written (or, for a directory entry, nothing to write)
  } rows[] = {
      {"PURELIB/caf\xC3\xA9.py", true, "caf" + e_acute + ".py", 0},
      {"caf" + e_acute + "2.py", false, "caf" + e_acute + "2.py", 0},
      {"pkg/\xCE\xA9.txt", true, "pkg\\?.txt", ERROR_NO_UNICODE_TRANSLATION},
      {"bad\xC3(.txt", true, "bad?(.txt", ERROR_NO_UNICODE_TRANSLATION},  // no UTF-8
      {"\xCE\xA9/", true, "?\\", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.shown);
    reports.clear();
    zip_entry member = entry(row.name, "data", 8);
    member.flags = row.utf8 ? 0x0800 : 0;
    ASSERT_EQ(run({member}), 1);
    std::vector<report> expected;
    if (row.refusal)
      expected.push_back({NOTIFY_SYSTEM_ERROR, "CreateFile (" + at(row.shown) + ")", 0, 0, row.refusal});
    else if (row.shown.back() != '\\')
      expected.push_back({NOTIFY_FILE_CREATED, at(row.shown)});
    expected.push_back({NOTIFY_PROGRESS, row.shown, 1, 1});
    EXPECT_EQ(reports, expected);
    EXPECT_EQ(members_not_written, row.refusal ? 1u : 0u);
  }
}

TEST_F(ExtractArchive, AFileInTheWayOfADirectoryIsReportedAndTheWalkGoesOn) {
  ASSERT_TRUE(write_file(at("a"), "a file, not a folder"));
  ASSERT_EQ(run({entry("a/b/c.txt", "c", 0), entry("d.txt", "d", 0)}), 1);
  std::vector<report> expected = {
      {NOTIFY_SYSTEM_ERROR, "CreateDirectory (" + at("a") + ")", 0, 0, ERROR_ALREADY_EXISTS},
      {NOTIFY_SYSTEM_ERROR, "CreateDirectory (" + at("a\\b") + ")", 0, 0, ERROR_PATH_NOT_FOUND},
      {NOTIFY_PROGRESS, "a\\b\\c.txt", 2, 1},
      {NOTIFY_FILE_CREATED, at("d.txt")},
      {NOTIFY_PROGRESS, "d.txt", 2, 2},
  };
  EXPECT_EQ(reports, expected);
  EXPECT_EQ(members_not_written, 1u);
}

TEST_F(ExtractArchive, ProgressCountsEveryMemberFromOne) {
  ASSERT_TRUE(write_file(at("kept.txt"), "old"));
  overwrite_answer = 0;
  ASSERT_EQ(run({entry("SCRIPTS/", "", 0), entry("kept.txt", "new", 0), entry("SCRIPTS/s.py", "s", 8)}),
            1);
  std::vector<report> progress_reports;
  for (const report& r : reports)
    if (r.code == NOTIFY_PROGRESS) progress_reports.push_back(r);
  EXPECT_EQ(progress_reports, (std::vector<report>{{NOTIFY_PROGRESS, "Scripts\\", 3, 1},
                                                   {NOTIFY_PROGRESS, "kept.txt", 3, 2},
                                                   {NOTIFY_PROGRESS, "Scripts\\s.py", 3, 3}}));
  EXPECT_EQ(members_not_written, 0u);  // a kept file is no failure
}

}  // namespace
