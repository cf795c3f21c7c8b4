#include "archive/install_scheme.h"

#include <cstring>
#include <string_view>

#include "common/fixed_text.h"

const scheme_entry legacy_scheme[] = {
    {"PURELIB", ""}, {"PLATLIB", ""}, {"HEADERS", ""}, {"SCRIPTS", "Scripts\\"}, {"DATA", ""},
    {nullptr, nullptr},
};

const scheme_entry site_packages_scheme[] = {
    {"PURELIB", "Lib\\site-packages\\"},
    {"PLATLIB", "Lib\\site-packages\\"},
    {"HEADERS", ""},
    {"SCRIPTS", "Scripts\\"},
    {"DATA", ""},
    {nullptr, nullptr},
};

static bool key_matches(const char* key, std::string_view name) {
  std::size_t n = std::strlen(key);
  if (name.size() < n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    char a = name[i], b = key[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
    if (a != b) return false;
  }
  return true;
}

mapped_name map_scheme(const scheme_entry* scheme, std::string_view name) {
  for (const scheme_entry* e = scheme; e && e->name; ++e) {
    if (!key_matches(e->name, name)) continue;
    std::string_view rest = name.substr(std::strlen(e->name));
    if (!rest.empty() && (rest[0] == '\\' || rest[0] == '/')) rest.remove_prefix(1);
    return {e->prefix, true, rest};
  }
  return {"", false, name};
}

bool map_member_name(char* path, std::size_t width, const scheme_entry* scheme,
                     const char* name, std::size_t name_length) {
  mapped_name mapped = map_scheme(scheme, {name, name_length});
  bool whole = append_cut(path, width, mapped.prefix);
  if (mapped.matched) {
    std::size_t used = strnlen(path, width);
    if (used == 0 || (path[used - 1] != '\\' && path[used - 1] != '/'))
      whole = append_cut(path, width, "\\") && whole;
  }
  return append_cut(path, width, mapped.rest) && whole;
}
