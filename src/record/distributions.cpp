#include "record/distributions.h"

#include "common/pep440.h"

std::vector<distribution_entry> parse_distributions_section(std::span<const char> section) {
  std::vector<distribution_entry> entries;
  std::string_view rest(section.data(), section.size());
  while (!rest.empty() && rest.front() != '\0') {
    std::size_t end = rest.find('\0');
    std::string_view line = rest.substr(0, end);
    distribution_entry entry = parse_distribution_line(line);
    if (entry.ok) entries.push_back(std::move(entry));
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return entries;
}

distribution_action decide_distribution(bool package, std::string_view specifier,
                                        std::span<const std::string> installed) {
  if (installed.empty()) return distribution_action::install;
  if (package) return distribution_action::replace;
  for (const std::string& version : installed)
    if (!version_satisfies(version, specifier)) return distribution_action::replace;
  return distribution_action::keep;
}

bool is_record_member(std::string_view member_name, std::string_view dist_info) {
  std::size_t key_end = member_name.find('/');
  if (key_end == 0 || key_end == std::string_view::npos) return false;
  std::string_view rest = member_name.substr(key_end + 1);
  return rest.size() == dist_info.size() + 7 && rest.substr(0, dist_info.size()) == dist_info &&
         rest.substr(dist_info.size()) == "/RECORD";
}

namespace {
bool ends_with(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}
}  // namespace

std::string source_of_compiled(std::string_view path) {
  if (!ends_with(path, ".pyc") && !ends_with(path, ".pyo")) return {};
  std::size_t name_at = path.rfind('\\') + 1;  // npos + 1 is 0
  std::string_view folder = path.substr(0, name_at);
  std::string_view name = path.substr(name_at);
  if (!ends_with(folder, "\\__pycache__\\")) return std::string(path.substr(0, path.size() - 1));
  std::size_t stem_end = name.find('.');
  if (stem_end == 0) return {};
  std::string source(folder.substr(0, folder.size() - 12));
  source.append(name.substr(0, stem_end)).append(".py");
  return source;
}

bool may_remove_empty_folder(std::string_view folder, std::string_view python_dir,
                             std::string_view site_packages) {
  if (folder.size() <= python_dir.size() + 1 || !same_path(folder.substr(0, python_dir.size()), python_dir) ||
      folder[python_dir.size()] != '\\')
    return false;
  std::string_view inside = folder.substr(python_dir.size() + 1);
  for (std::string_view kept : {"Lib", "Scripts", "Include"})
    if (same_path(inside, kept)) return false;
  return !same_path(folder, site_packages);
}
