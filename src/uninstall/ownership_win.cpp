#include "uninstall/ownership_win.h"

#include <windows.h>

#include <string>
#include <vector>

#include "common/owner_win.h"
#include "record/dist_info.h"

namespace {

// More than any RECORD or METADATA holds; a bigger file is not read.
constexpr LONGLONG LARGEST_TEXT = 64 << 20;

// A whole text file, or empty when it cannot be read.
std::string read_text(const std::string& path) {
  unique_file file(CreateFileA(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size;
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > LARGEST_TEXT) return {};
  std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) return {};
  text.resize(read);
  return text;
}

std::string parent_folder(std::string_view path) {
  std::size_t slash = path.find_last_of("\\/");
  return std::string(path.substr(0, slash == std::string_view::npos ? 0 : slash));
}

// The log lies in the Python folder.
std::string python_folder(const char* log_path) {
  char full[MAX_PATH];
  char* name = nullptr;
  DWORD length = GetFullPathNameA(log_path, sizeof full, full, &name);
  if (length == 0 || length >= sizeof full || !name) return {};
  return parent_folder(std::string_view(full, static_cast<std::size_t>(name - full)));
}

struct python_paths {
  std::string python_dir;
  std::string site_packages;
};

void read_record_and_metadata(installed_distribution& distribution, const python_paths& where) {
  distribution.files = record_paths(read_text(distribution.folder + "\\RECORD"), where.site_packages,
                                    where.python_dir);
  distribution.required = required_names(read_text(distribution.folder + "\\METADATA"));
}

bool listed(const std::vector<std::string>& paths, std::string_view path) {
  for (const std::string& p : paths)
    if (same_path(p, path)) return true;
  return false;
}

// The union of the markers of every installation the log holds; a folder
// marked as the package's own once is the package's.
std::vector<installed_distribution> marked_distributions(const line_table& table) {
  std::vector<installed_distribution> ours;
  for (int i = 0; i < table.count; ++i) {
    distribution_marker marker = parse_distribution_marker(table.lines[i]);
    if (marker.mark == distribution_mark::none) continue;
    installed_distribution* known = nullptr;
    for (installed_distribution& d : ours)
      if (same_path(d.folder, marker.folder)) known = &d;
    if (!known) {
      known = &ours.emplace_back();
      known->folder = marker.folder;
    }
    if (known->mark != distribution_mark::package) known->mark = marker.mark;
  }
  return ours;
}

// Every .dist-info folder of site_packages that is not ours, read.
void add_others(const python_paths& where, const std::vector<std::string>& ours,
                std::vector<installed_distribution>& distributions) {
  WIN32_FIND_DATAA found;
  unique_find find(FindFirstFileA((where.site_packages + "\\*.dist-info").c_str(), &found));
  if (!find) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    installed_distribution other;
    other.folder = where.site_packages + '\\' + found.cFileName;
    if (listed(ours, other.folder)) continue;
    read_record_and_metadata(other, where);
    distributions.push_back(std::move(other));
  } while (FindNextFileA(find.get(), &found));
}

}  // namespace

left_in_place read_left_in_place(const line_table& table, const char* log_path) {
  std::vector<installed_distribution> distributions = marked_distributions(table);
  if (distributions.empty()) return {};

  std::string python_dir = python_folder(log_path);
  std::vector<std::string> ours;
  std::vector<std::string> site_packages_folders;
  for (installed_distribution& d : distributions) {
    ours.push_back(d.folder);
    python_paths where{python_dir, parent_folder(d.folder)};
    if (installed_by_another(read_text(d.folder + "\\INSTALLER"))) d.mark = distribution_mark::none;
    // The package's own goes whatever it says; a dependency may have to stay.
    if (d.mark != distribution_mark::package) read_record_and_metadata(d, where);
    if (!listed(site_packages_folders, where.site_packages))
      site_packages_folders.push_back(where.site_packages);
  }
  for (const std::string& site_packages : site_packages_folders)
    add_others({python_dir, site_packages}, ours, distributions);
  return decide_left_in_place(distributions);
}
