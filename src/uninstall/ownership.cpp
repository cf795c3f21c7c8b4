#include "uninstall/ownership.h"

#include <algorithm>
#include <utility>

#include "record/dist_info.h"

namespace {

constexpr std::string_view PYCACHE = "__pycache__";

// The form in which two paths that name the same file (same_path) are equal.
std::string path_key(std::string_view path) {
  std::string key(path);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '/') c = '\\';
  }
  return key;
}

std::vector<std::string> sorted_keys(std::vector<std::string> paths) {
  for (std::string& path : paths) path = path_key(path);
  std::sort(paths.begin(), paths.end());
  paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
  return paths;
}

bool holds(const std::vector<std::string>& keys, std::string_view key) {
  return std::binary_search(keys.begin(), keys.end(), key);
}

// Some key begins with prefix.
bool holds_prefix(const std::vector<std::string>& keys, std::string_view prefix) {
  auto at = std::lower_bound(keys.begin(), keys.end(), prefix);
  return at != keys.end() && std::string_view(*at).starts_with(prefix);
}

std::string_view parent_of(std::string_view key) {
  std::size_t slash = key.rfind('\\');
  return slash == std::string_view::npos ? std::string_view() : key.substr(0, slash);
}

std::string_view name_of(std::string_view key) {
  std::size_t slash = key.rfind('\\');
  return slash == std::string_view::npos ? key : key.substr(slash + 1);
}

// The .py a compiled file was made from, as Python 2 and 3.0-3.1 place it
// (a.pyc beside a.py) or as later ones do (__pycache__\a.cpython-312.opt-1.pyc).
std::pair<std::string, std::string> compiled_sources(std::string_view key) {
  if (!key.ends_with(".pyc") && !key.ends_with(".pyo")) return {};
  std::string beside(key.substr(0, key.size() - 1));
  std::string_view folder = parent_of(key);
  if (name_of(folder) != PYCACHE) return {beside, {}};
  std::string_view name = name_of(key);
  std::string cached(parent_of(folder));
  cached += '\\';
  cached += name.substr(0, name.find('.'));
  cached += ".py";
  return {beside, cached};
}

std::string_view folder_name(std::string_view path) {
  std::size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

void append(std::vector<std::string>& to, const std::vector<std::string>& from) {
  to.insert(to.end(), from.begin(), from.end());
}

bool required_by(const std::vector<std::string>& required, const std::string& name) {
  return std::find(required.begin(), required.end(), name) != required.end();
}

}  // namespace

bool installed_by_another(std::string_view installer_text) {
  std::string_view tool = installer_text.substr(0, installer_text.find('\n'));
  while (!tool.empty() && (tool.back() == '\r' || tool.back() == ' ' || tool.back() == '\t'))
    tool.remove_suffix(1);
  return !tool.empty() && tool != OUR_INSTALLER;
}

left_in_place::left_in_place(std::vector<std::string> files, std::vector<std::string> folders)
    : files_(sorted_keys(std::move(files))), folders_(sorted_keys(std::move(folders))) {}

bool left_in_place::keeps_file(std::string_view path) const {
  if (files_.empty()) return false;
  std::string key = path_key(path);
  if (holds(files_, key)) return true;
  auto [beside, cached] = compiled_sources(key);
  return (!beside.empty() && holds(files_, beside)) || (!cached.empty() && holds(files_, cached));
}

bool left_in_place::keeps_folder(std::string_view path) const { return holds(folders_, path_key(path)); }

bool left_in_place::holds_kept(std::string_view folder) const {
  std::string key = path_key(folder);
  // A __pycache__ holds the compiled files of what stays beside it.
  if (name_of(key) == PYCACHE) key.resize(parent_of(key).size());
  key += '\\';
  return holds_prefix(files_, key) || holds_prefix(folders_, key);
}

left_in_place decide_left_in_place(std::span<const installed_distribution> distributions) {
  std::vector<std::string> required;
  for (const installed_distribution& d : distributions)
    if (d.mark == distribution_mark::none)
      append(required, d.required);

  // A kept dependency requires what it always did: keep until nothing changes.
  std::vector<bool> kept(distributions.size(), false);
  for (bool changed = true; changed;) {
    changed = false;
    for (std::size_t i = 0; i < distributions.size(); ++i) {
      const installed_distribution& d = distributions[i];
      if (d.mark != distribution_mark::dependency || kept[i]) continue;
      dist_info_folder parsed = parse_dist_info_folder(folder_name(d.folder));
      if (!parsed.ok || !required_by(required, parsed.name)) continue;
      kept[i] = changed = true;
      append(required, d.required);
    }
  }

  std::vector<std::string> files;
  std::vector<std::string> folders;
  for (std::size_t i = 0; i < distributions.size(); ++i) {
    const installed_distribution& d = distributions[i];
    if (d.mark != distribution_mark::none && !kept[i]) continue;
    append(files, d.files);
    if (kept[i]) folders.push_back(d.folder);
  }
  return left_in_place(std::move(files), std::move(folders));
}
