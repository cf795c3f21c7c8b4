#include "archive/member_path.h"

#include <cstring>

#include "common/fixed_text.h"

static bool is_separator(char c) { return c == '\\' || c == '/'; }

// ".." climbs; so do "..." and ".. ", which Windows trims down to "..".
static bool component_climbs(std::string_view component) {
  if (component.find_first_not_of(". ") != std::string_view::npos) return false;
  return component.find("..") != std::string_view::npos;
}

// A colon names a drive ("C:") or a stream of another file ("a:b").
static bool components_are_safe(std::string_view text) {
  while (!text.empty()) {
    std::size_t end = 0;
    while (end < text.size() && !is_separator(text[end])) ++end;
    std::string_view component = text.substr(0, end);
    if (component.find(':') != std::string_view::npos || component_climbs(component))
      return false;
    text.remove_prefix(end < text.size() ? end + 1 : end);
  }
  return true;
}

bool mapped_name_is_safe(const mapped_name& mapped) {
  // The path is a C string: whatever follows a NUL in the name never reaches it.
  std::string_view rest = mapped.rest.substr(0, mapped.rest.find('\0'));
  // The prefix ends in a separator, or one is added behind it, so the two
  // pieces never share a component; an empty prefix leaves the rest first.
  if (mapped.prefix.empty() && !rest.empty() && is_separator(rest[0])) return false;
  return components_are_safe(mapped.prefix) && components_are_safe(rest);
}

member_path build_member_path(char* path, std::size_t width, const char* target_dir,
                              const scheme_entry* scheme, std::string_view name) {
  mapped_name mapped = map_scheme(scheme, name);
  if (!mapped_name_is_safe(mapped)) {
    if (width > 0) path[0] = '\0';
    return {member_path_status::unsafe, 0};
  }
  bool whole = copy_cut(path, width, target_dir);
  std::size_t used = strnlen(path, width);
  if (used == 0 || path[used - 1] != '\\') whole = append_cut(path, width, "\\") && whole;
  std::size_t relative = strnlen(path, width);
  whole = map_member_name(path, width, scheme, name.data(), name.size()) && whole;
  for (char* p = path; *p; ++p)
    if (*p == '/') *p = '\\';
  return {whole ? member_path_status::ok : member_path_status::too_long, relative};
}

bool is_directory_entry(const char* path) {
  std::size_t n = std::strlen(path);
  return n > 0 && path[n - 1] == '\\';
}
