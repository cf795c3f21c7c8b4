#include "uninstall/log_records.h"

#include "common/fixed_text.h"

namespace {

struct record_pattern {
  record_kind kind;
  std::string_view between;  // the pattern between "%d" and "%s"
};

constexpr record_pattern RECORD_PATTERNS[] = {
    {record_kind::root_key, " Root Key: "},
    {record_kind::made_dir, " Made Dir: "},
    {record_kind::file_copy, " File Copy: "},
    {record_kind::file_overwrite, " File Overwrite: "},
    {record_kind::reg_key, " Reg DB Key: "},
    {record_kind::reg_value, " Reg DB Value: "},
    {record_kind::run_script, " Run Script: "},
};

bool is_scan_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::size_t skip_space(std::string_view text, std::size_t at) {
  while (at < text.size() && is_scan_space(text[at])) ++at;
  return at;
}

// "%d": white space, an optional sign, at least one digit. Returns the
// position behind it, or npos when no number was read.
std::size_t scan_number(std::string_view text, std::size_t at) {
  at = skip_space(text, at);
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  std::size_t digits = at;
  while (at < text.size() && is_digit(text[at])) ++at;
  return at > digits ? at : std::string_view::npos;
}

// The literal part: each blank of the pattern takes any run of white space,
// every other character must be there as it is.
std::size_t scan_literal(std::string_view text, std::size_t at, std::string_view pattern) {
  for (char c : pattern) {
    if (is_scan_space(c)) {
      at = skip_space(text, at);
    } else if (at < text.size() && text[at] == c) {
      ++at;
    } else {
      return std::string_view::npos;
    }
  }
  return at;
}

// "%s": white space, then a non-empty run without white space.
std::string_view scan_word(std::string_view text, std::size_t at) {
  at = skip_space(text, at);
  std::size_t end = at;
  while (end < text.size() && !is_scan_space(text[end])) ++end;
  return text.substr(at, end - at);
}

bool matches(std::string_view line, std::string_view between, std::string_view& word) {
  std::size_t at = scan_number(line, 0);
  if (at == std::string_view::npos) return false;
  at = scan_literal(line, at, between);
  if (at == std::string_view::npos) return false;
  word = scan_word(line, at);
  return !word.empty();
}

}  // namespace

record_match classify_record(std::string_view line) {
  for (const record_pattern& pattern : RECORD_PATTERNS) {
    std::string_view word;
    if (matches(line, pattern.between, word)) return {pattern.kind, word};
  }
  return {};
}

const char* logged_path(const char* line) {
  while (*line && *line != ':') ++line;
  if (!*line) return nullptr;
  ++line;
  while (is_scan_space(*line)) ++line;
  return line;
}

namespace {
// The bracketed key path and the text behind the "]".
registry_record split_brackets(std::string_view line, std::string_view& rest) {
  std::size_t open = line.find('[');
  if (open == std::string_view::npos) return {};
  std::size_t close = line.find(']', open + 1);
  if (close == std::string_view::npos) return {};
  rest = line.substr(close + 1);
  return {true, line.substr(open + 1, close - open - 1), {}};
}
}  // namespace

registry_record parse_key_record(std::string_view line) {
  std::string_view rest;
  registry_record record = split_brackets(line, rest);
  if (record.ok) record.name = rest.substr(0, rest.find('\n'));
  return record;
}

registry_record parse_value_record(std::string_view line) {
  std::string_view rest;
  registry_record record = split_brackets(line, rest);
  if (!record.ok) return record;
  std::size_t equals = rest.find('=');
  if (equals == std::string_view::npos) return {};
  record.name = rest.substr(0, equals);
  return record;
}

distribution_marker parse_distribution_marker(std::string_view line) {
  struct marker_prefix {
    distribution_mark mark;
    std::string_view text;
  };
  constexpr marker_prefix MARKERS[] = {
      {distribution_mark::package, "*** Package distribution: "},
      {distribution_mark::dependency, "*** Dependency distribution: "},
  };
  constexpr std::string_view MARKER_END = " ***";
  for (const marker_prefix& marker : MARKERS) {
    if (!line.starts_with(marker.text) || !line.ends_with(MARKER_END)) continue;
    if (line.size() <= marker.text.size() + MARKER_END.size()) return {};
    return {marker.mark, line.substr(marker.text.size(),
                                     line.size() - marker.text.size() - MARKER_END.size())};
  }
  return {};
}

void format_summary(char* dst, std::size_t width, int files, int directories, int failures) {
  if (failures == 0)
    format_cut(dst, width, "%d files and %d directories removed", files, directories);
  else
    format_cut(dst, width,
               "%d files and %d directories removed\n%d files or directories could not be removed",
               files, directories, failures);
}
