// Text compared and trimmed byte by byte in ASCII, whatever the code page: the
// names, versions and paths that packaging metadata and Windows compare this way.
#pragma once
#include <cstddef>
#include <string_view>

inline char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool is_ascii_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

inline std::string_view trim_ascii_space(std::string_view s) {
  while (!s.empty() && is_ascii_space(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_ascii_space(s.back())) s.remove_suffix(1);
  return s;
}

// Negative, zero or positive as a sorts before, with or after b, ignoring ASCII case.
inline int compare_ignoring_ascii_case(std::string_view a, std::string_view b) {
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return ascii_lower(a[i]) < ascii_lower(b[i]) ? -1 : 1;
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

inline bool equal_ignoring_ascii_case(std::string_view a, std::string_view b) {
  return compare_ignoring_ascii_case(a, b) == 0;
}
