#include "common/python_registry.h"

#include <cstddef>

#include "common/fixed_text.h"

namespace {

bool is_blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

struct text_cursor {
  std::string_view text;
  std::size_t at = 0;

  bool done() const { return at >= text.size(); }
  char peek() const { return text[at]; }
  void skip_blanks() {
    while (!done() && is_blank(peek())) ++at;
  }
};

// A decimal number as %d reads it: blanks, an optional sign, at least one
// digit. Overlong numbers wrap around instead of overflowing.
bool scan_int(text_cursor& in, int& value) {
  in.skip_blanks();
  std::size_t start = in.at;
  bool negative = false;
  if (!in.done() && (in.peek() == '+' || in.peek() == '-')) {
    negative = in.peek() == '-';
    ++in.at;
  }
  unsigned magnitude = 0;
  std::size_t digits = 0;
  while (!in.done() && in.peek() >= '0' && in.peek() <= '9') {
    magnitude = magnitude * 10u + static_cast<unsigned>(in.peek() - '0');
    ++in.at;
    ++digits;
  }
  if (digits == 0) {
    in.at = start;
    return false;
  }
  value = static_cast<int>(negative ? 0u - magnitude : magnitude);
  return true;
}

// Reads text against a format of literal characters, blanks (any run of
// blanks, none included) and %d, as scanf does; stops at the first mismatch.
// Returns how many numbers were stored into values.
int scan_numbers(std::string_view text, const char* format, int* values, int capacity) {
  text_cursor in{text};
  int count = 0;
  for (const char* f = format; *f; ++f) {
    if (is_blank(*f)) {
      in.skip_blanks();
    } else if (f[0] == '%' && f[1] == 'd') {
      if (count == capacity || !scan_int(in, values[count])) break;
      ++count;
      ++f;
    } else {
      if (in.done() || in.peek() != *f) break;
      ++in.at;
    }
  }
  return count;
}

// A plain version "X.Y" at the start of text (digits, a dot, digits; at most
// four digits each, so nothing overflows). Returns how many characters it
// takes, 0 when there is none.
std::size_t leading_version(std::string_view text, int& major, int& minor) {
  auto digits = [&](std::size_t at, int& value) -> std::size_t {
    std::size_t n = 0;
    value = 0;
    while (at + n < text.size() && n < 5 && text[at + n] >= '0' && text[at + n] <= '9')
      value = value * 10 + (text[at + (n++)] - '0');
    return n >= 1 && n <= 4 ? n : 0;
  };
  std::size_t first = digits(0, major);
  if (first == 0 || first >= text.size() || text[first] != '.') return 0;
  std::size_t second = digits(first + 1, minor);
  return second == 0 ? 0 : first + 1 + second;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Whether the first version in the tag (digits with at least one dot between
// them, as in 3.13 or 3.13.1) has a "t" right behind it.
bool free_threaded_tag(std::string_view tag) {
  std::size_t at = 0;
  while (at < tag.size()) {
    if (!is_digit(tag[at])) {
      ++at;
      continue;
    }
    bool dotted = false;
    while (at < tag.size() && is_digit(tag[at])) {
      ++at;
      if (at + 1 < tag.size() && tag[at] == '.' && is_digit(tag[at + 1])) {
        dotted = true;
        ++at;
      }
    }
    if (dotted) return at < tag.size() && tag[at] == 't';
  }
  return false;
}

}  // namespace

registered_version registration_version(bool python_core, std::string_view tag,
                                         std::string_view sys_version) {
  registered_version version{0, 0, 0, free_threaded_tag(tag)};
  if (python_core) {
    int numbers[2] = {0, 0};
    version.numbers = scan_numbers(tag, "%d.%d", numbers, 2);
    version.major = numbers[0];
    version.minor = numbers[1];
    return version;
  }
  // SysVersion is "X.Y"; one that goes on to a micro version says as much.
  int major = 0, minor = 0;
  std::size_t stated = leading_version(sys_version, major, minor);
  if ((stated != 0 && (stated == sys_version.size() || sys_version[stated] == '.')) ||
      leading_version(tag, major, minor) != 0)
    version = {2, major, minor, version.free_threaded};
  return version;
}

bool version_accepted(std::string_view target_version, std::string_view tag,
                      const registered_version& version) {
  if (target_version.empty() || target_version == tag) return true;
  char x_y[2 * 11 + 2];
  return version.numbers == 2 && format_whole(x_y, sizeof x_y, "%d.%d", version.major, version.minor) &&
         target_version == x_y;
}

