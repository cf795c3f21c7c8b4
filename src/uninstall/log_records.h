// Reading the record lines of the install log (formats drawn in
// record/log_format.h). A record is recognised the way a scanf pattern such as
// "%d Made Dir: %s" would match it: optional white space, a decimal number
// (optionally signed), then the phrase, where each blank matches any run of
// white space including none, then the colon, then a non-empty word without
// white space. The number is read but never compared: the phrase alone
// decides. The word serves only the root key test; paths are taken whole
// from after the first colon, so they may hold blanks.
#pragma once
#include <cstddef>
#include <string_view>

enum class record_kind {
  none,
  root_key,
  made_dir,
  file_copy,
  file_overwrite,
  reg_key,
  reg_value,
  run_script,
};

struct record_match {
  record_kind kind = record_kind::none;
  std::string_view word;  // the word after the colon
};

// The first record pattern the line matches, tried in the order of
// record_kind (root key first, run script last).
record_match classify_record(std::string_view line);

// The root name that makes the uninstaller work under the current user.
inline constexpr std::string_view CURRENT_USER_ROOT = "HKEY_CURRENT_USER";

// The text after the first colon and the white space behind it; null when
// the line holds no colon.
const char* logged_path(const char* line);

// "[key path]name" of a "Reg DB Key" record, or "[key path]name=value" of a
// "Reg DB Value" record, cut apart.
struct registry_record {
  bool ok = false;
  std::string_view key_path;  // between the first "[" and the first "]" after it
  std::string_view name;      // sub-key or value name after that "]"
};

// Sub-key name: up to a line feed, or to the end.
registry_record parse_key_record(std::string_view line);
// Value name: up to the first "=" after the "]"; without one, not ok.
registry_record parse_value_record(std::string_view line);

// The distribution markers: comment lines, so that an older uninstaller
// passes over them, one for each distribution an installation extracted, the
// package's own first (a log may hold several installations appended):
//
//   *** Package distribution: <full path of the installed .dist-info folder> ***
//   *** Dependency distribution: <full path of the installed .dist-info folder> ***
enum class distribution_mark { none, package, dependency };

struct distribution_marker {
  distribution_mark mark = distribution_mark::none;
  std::string_view folder;
};

// The marker a (trimmed) line is, exactly as written; none for any other line
// and for a marker without a folder.
distribution_marker parse_distribution_marker(std::string_view line);

// "%d files and %d directories removed", with a second line giving the
// failures when there are any; cut to fit width bytes.
void format_summary(char* dst, std::size_t width, int files, int directories, int failures);
