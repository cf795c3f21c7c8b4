#include "record/dist_info.h"

#include <cstddef>

#include "common/ascii_text.h"

namespace {

// A full path taken apart: its root ("C:" or "\\server\share") and its names,
// "." and ".." folded away. Not ok when ".." climbs above the root, or a name
// is made of dots and spaces only: Windows drops trailing dots and spaces, so
// ".. " would climb where the fold saw a name.
struct split_path {
  bool ok = false;
  std::string_view root;
  std::vector<std::string_view> names;
};

split_path split(std::string_view path) {
  split_path out;
  auto is_slash = [](char c) { return c == '\\' || c == '/'; };
  std::size_t pos = 0;
  if (path.size() >= 2 && is_slash(path[0]) && is_slash(path[1])) {
    // \\server\share: both names belong to the root.
    pos = 2;
    for (int part = 0; part < 2; ++part) {
      while (pos < path.size() && !is_slash(path[pos])) ++pos;
      if (part == 0 && pos < path.size()) ++pos;
    }
    out.root = path.substr(0, pos);
  } else if (path.size() >= 2 && path[1] == ':') {
    pos = 2;
    out.root = path.substr(0, 2);
  }
  while (pos < path.size()) {
    while (pos < path.size() && is_slash(path[pos])) ++pos;
    std::size_t end = pos;
    while (end < path.size() && !is_slash(path[end])) ++end;
    std::string_view name = path.substr(pos, end - pos);
    pos = end;
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (out.names.empty()) return out;
      out.names.pop_back();
      continue;
    }
    if (name.find_first_not_of(". ") == std::string_view::npos) return out;
    out.names.push_back(name);
  }
  out.ok = true;
  return out;
}

std::string join(const split_path& path) {
  std::string out(path.root);
  for (std::string_view name : path.names) {
    out += '\\';
    out += name;
  }
  return out;
}

// The root and the first count names of both are the same, ignoring case.
bool same_start(const split_path& a, const split_path& b, std::size_t count) {
  if (!equal_ignoring_ascii_case(a.root, b.root) || a.names.size() < count || b.names.size() < count)
    return false;
  for (std::size_t i = 0; i < count; ++i)
    if (!equal_ignoring_ascii_case(a.names[i], b.names[i])) return false;
  return true;
}

// Reads one CSV row from text at pos, as Python's csv module reads it, and
// returns its first field; pos moves past the row's line end.
std::string first_csv_field(std::string_view text, std::size_t& pos) {
  enum class state { field_start, plain, quoted, after_quote } at = state::field_start;
  std::string field;
  bool first = true;
  while (pos < text.size()) {
    char c = text[pos++];
    if (at == state::quoted) {
      if (c != '"') {
        if (first) field += c;
      } else if (pos < text.size() && text[pos] == '"') {
        ++pos;
        if (first) field += '"';
      } else {
        at = state::after_quote;
      }
      continue;
    }
    if (c == '\r' || c == '\n') {
      if (c == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
      break;
    }
    if (c == ',') {
      first = false;
      at = state::field_start;
    } else if (c == '"' && at == state::field_start) {
      at = state::quoted;
    } else {
      if (first) field += c;
      at = state::plain;
    }
  }
  return field;
}

}  // namespace

std::string canonical_name(std::string_view name) {
  std::string out;
  bool in_run = false;
  for (char c : name) {
    if (c == '-' || c == '_' || c == '.') {
      if (!in_run) out += '-';
      in_run = true;
    } else {
      out += ascii_lower(c);
      in_run = false;
    }
  }
  return out;
}

dist_info_folder parse_dist_info_folder(std::string_view folder_name) {
  constexpr std::string_view suffix = ".dist-info";
  dist_info_folder out;
  if (folder_name.size() < suffix.size() ||
      !equal_ignoring_ascii_case(folder_name.substr(folder_name.size() - suffix.size()), suffix))
    return out;
  std::string_view stem = folder_name.substr(0, folder_name.size() - suffix.size());
  std::size_t dash = stem.find('-');
  if (dash == std::string_view::npos || dash == 0 || dash + 1 == stem.size()) return out;
  out.name = canonical_name(stem.substr(0, dash));
  out.version = std::string(stem.substr(dash + 1));
  out.ok = true;
  return out;
}

distribution_entry parse_distribution_line(std::string_view line) {
  distribution_entry out;
  std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return out;
  std::string_view rest = line.substr(equals + 1);
  std::size_t first = rest.find(';');
  if (first == std::string_view::npos) return out;
  std::size_t second = rest.find(';', first + 1);
  if (second == std::string_view::npos) return out;
  std::string_view name = trim_ascii_space(line.substr(0, equals));
  std::string_view version = trim_ascii_space(rest.substr(0, first));
  std::string_view dist_info = trim_ascii_space(rest.substr(first + 1, second - first - 1));
  if (name.empty() || version.empty() || dist_info.empty()) return out;
  out.name = canonical_name(name);
  out.version = std::string(version);
  out.dist_info = std::string(dist_info);
  out.specifier = std::string(trim_ascii_space(rest.substr(second + 1)));
  out.ok = true;
  return out;
}

std::vector<std::string> record_paths(std::string_view record_text,
                                      std::string_view site_packages,
                                      std::string_view python_dir) {
  std::vector<std::string> out;
  split_path top = split(python_dir);
  if (!top.ok) return out;
  split_path base = split(site_packages);
  std::size_t pos = 0;
  while (pos < record_text.size()) {
    std::string field = first_csv_field(record_text, pos);
    if (field.empty() || field[0] == '/' || field[0] == '\\' ||
        field.find(':') != std::string::npos)
      continue;
    std::string joined = std::string(site_packages) + '\\' + field;
    split_path file = split(joined);
    if (!file.ok || file.names.size() <= top.names.size() ||
        !same_start(file, top, top.names.size()))
      continue;
    // "." or ".." would name site-packages or a folder above it: never a file.
    if (file.names.size() <= base.names.size() && same_start(file, base, file.names.size()))
      continue;
    out.push_back(join(file));
  }
  return out;
}

std::vector<std::string> required_names(std::string_view metadata_text) {
  constexpr std::string_view header = "Requires-Dist";
  std::vector<std::string> out;
  while (!metadata_text.empty()) {
    std::size_t end = metadata_text.find('\n');
    std::string_view line = metadata_text.substr(0, end);
    metadata_text = end == std::string_view::npos ? std::string_view() : metadata_text.substr(end + 1);
    if (trim_ascii_space(line).empty()) break;
    if (is_ascii_space(line[0])) continue;  // a folded header's next line
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || !equal_ignoring_ascii_case(trim_ascii_space(line.substr(0, colon)), header))
      continue;
    std::string_view value = trim_ascii_space(line.substr(colon + 1));
    std::size_t length = 0;
    while (length < value.size()) {
      char c = value[length];
      bool name_char = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.';
      if (!name_char) break;
      ++length;
    }
    if (length == 0) continue;
    std::string name = canonical_name(value.substr(0, length));
    bool known = false;
    for (const std::string& seen : out) known = known || seen == name;
    if (!known) out.push_back(std::move(name));
  }
  return out;
}

std::string record_row(std::string_view full_path, std::string_view site_packages,
                       std::string_view line_end) {
  split_path file = split(full_path);
  split_path base = split(site_packages);
  if (!file.ok || !base.ok || !same_start(file, base, 0)) return {};
  std::size_t common = 0;
  while (common < file.names.size() && common < base.names.size() &&
         equal_ignoring_ascii_case(file.names[common], base.names[common]))
    ++common;
  if (common == file.names.size()) return {};
  std::string relative;
  for (std::size_t i = common; i < base.names.size(); ++i) relative += "../";
  for (std::size_t i = common; i < file.names.size(); ++i) {
    if (i > common) relative += '/';
    relative += file.names[i];
  }
  std::string row;
  if (relative.find_first_of(",\"\r\n") == std::string::npos) {
    row = relative;
  } else {
    row = '"';
    for (char c : relative) {
      if (c == '"') row += '"';
      row += c;
    }
    row += '"';
  }
  row += ",,";
  row += line_end;
  return row;
}

bool same_path(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i] == '/' ? '\\' : ascii_lower(a[i]);
    char y = b[i] == '/' ? '\\' : ascii_lower(b[i]);
    if (x != y) return false;
  }
  return true;
}
