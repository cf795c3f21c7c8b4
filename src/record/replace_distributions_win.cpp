#include "record/replace_distributions_win.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "archive/member_data.h"
#include "archive/member_path.h"
#include "archive/zip_walk.h"
#include "common/fixed_text.h"
#include "common/install_status.h"
#include "common/owner_crt_win.h"
#include "common/owner_win.h"
#include "common/unattended_win.h"
#include "record/dist_info.h"
#include "record/distributions.h"
#include "record/install_log_win.h"
#include "startup/package_image_win.h"

// An installed .dist-info folder of a distribution: its path and version.
// (Pairs, not structs of two strings: the link-time pass of this compiler
// fails on two such types whose constructors it would fold into one.)
using installed_distribution = std::pair<std::string, std::string>;

namespace {

// A distribution this installation extracts: its installed .dist-info folder
// and the files its RECORD in the archive lists, as installed paths.
struct extracted_distribution {
  bool package;  // the package's own, not a dependency it brings
  std::string dist_info_dir;
  std::string site_packages;
  std::vector<std::string> files;
};

// A file moved aside: where it was, where it is.
using moved_file = std::pair<std::string, std::string>;

// What one installation's step holds from its start to its end.
struct replacement {
  std::string python_dir;
  std::string aside;  // the folder beside the Python's files that holds them
  std::vector<extracted_distribution> extracted;
  std::vector<std::string> kept_files;
  std::vector<moved_file> moved;
  std::vector<std::string> removed_folders;  // in the order they went
  std::string replaced;                      // "demo 1.0, dep 0.9"
} step;

std::string parent_of(const std::string& path) { return path.substr(0, path.rfind('\\')); }

bool is_file(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string read_whole_file(const std::string& path) {
  std::string text;
  unique_stream file(std::fopen(path.c_str(), "rb"));
  if (!file) return text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) text.append(buffer, n);
  return text;
}

// The config's [distributions] section; empty without one.
std::vector<distribution_entry> read_distributions() {
  if (!config_path) return {};
  std::vector<char> section(32768);
  DWORD n = GetPrivateProfileSectionA("distributions", section.data(), static_cast<DWORD>(section.size()),
                                      config_path);
  return parse_distributions_section({section.data(), n});
}

// The text of a distribution's RECORD in the archive and its installed path.
struct archived_record {
  bool ok = false;
  std::string path, text;
};

archived_record find_archived_record(std::span<const std::byte> image, const scheme_entry* scheme,
                                     const std::string& python_dir, const std::string& dist_info) {
  zip_cursor cursor;
  zip_member member;
  if (!open_zip(image, cursor)) return {};
  for (zip_step s; (s = next_member(cursor, member)) == zip_step::member;) {
    if (!is_record_member(member.name, dist_info)) continue;
    char path[OUTPUT_PATH_WIDTH];
    if (build_member_path(path, sizeof path, python_dir.c_str(), scheme, member.name).status !=
        member_path_status::ok)
      return {};
    archived_record record{true, path, std::string(member.uncompressed_size, '\0')};
    std::span<std::byte> out(reinterpret_cast<std::byte*>(record.text.data()), record.text.size());
    if (member.uncompressed_size != 0 && write_member_bytes(member, out).status != member_data_status::written)
      return {};
    return record;
  }
  return {};
}

std::vector<installed_distribution> find_installed(const std::string& site_packages, const std::string& name) {
  std::vector<installed_distribution> found;
  WIN32_FIND_DATAA data;
  unique_find find(FindFirstFileA((site_packages + "\\*.dist-info").c_str(), &data));
  if (!find) return found;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    dist_info_folder folder = parse_dist_info_folder(data.cFileName);
    if (folder.ok && folder.name == name) found.emplace_back(site_packages + "\\" + data.cFileName, folder.version);
  } while (FindNextFileA(find.get(), &data));
  return found;
}

// Calls each(path) for the files a folder's search pattern finds.
template <typename Each>
void for_each_found(const std::string& folder, const char* pattern, Each each) {
  WIN32_FIND_DATAA data;
  unique_find find(FindFirstFileA((folder + "\\" + pattern).c_str(), &data));
  if (!find) return;
  do {
    std::string path = folder + "\\" + data.cFileName;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (data.cFileName[0] != '.') each(path, true);
    } else {
      each(path, false);
    }
  } while (FindNextFileA(find.get(), &data));
}

// The compiled files of a source that exist: mod.pyc and mod.pyo beside it,
// __pycache__\mod.*.pyc and .pyo.
std::vector<std::string> compiled_files_of(const std::string& source) {
  std::vector<std::string> files;
  if (source.size() < 3 || source.compare(source.size() - 3, 3, ".py") != 0) return files;
  for (const char* letter : {"c", "o"})
    if (is_file(source + letter)) files.push_back(source + letter);
  std::string folder = parent_of(source);
  std::string stem = source.substr(folder.size() + 1, source.size() - folder.size() - 4);
  for_each_found(folder + "\\__pycache__", (stem + ".*.py?").c_str(), [&](const std::string& path, bool dir) {
    if (!dir && source_of_compiled(path) == source) files.push_back(path);
  });
  return files;
}

void all_files_below(const std::string& folder, std::vector<std::string>& files) {
  for_each_found(folder, "*", [&](const std::string& path, bool dir) {
    if (dir) all_files_below(path, files);
    else files.push_back(path);
  });
}

bool move_aside(const std::string& path) {
  if (!is_file(path)) return true;
  char name[32];
  format_cut(name, sizeof name, "\\%u", static_cast<unsigned>(step.moved.size()));
  std::string to = step.aside + name;
  if (!MoveFileExA(path.c_str(), to.c_str(), MOVEFILE_COPY_ALLOWED)) return false;
  step.moved.emplace_back(path, to);
  return true;
}

// Takes away the folders that moving left empty, from each file's folder up.
void remove_empty_folders(const std::vector<std::string>& files, const std::string& site_packages,
                          std::vector<std::string>* removed) {
  for (const std::string& file : files)
    for (std::string folder = parent_of(file);
         may_remove_empty_folder(folder, step.python_dir, site_packages) && RemoveDirectoryA(folder.c_str());
         folder = parent_of(folder))
      if (removed) removed->push_back(folder);
}

// Moves an installed distribution aside; false at the first file that would not go.
bool take_away(const installed_distribution& installed, const std::string& site_packages) {
  std::vector<std::string> files =
      record_paths(read_whole_file(installed.first + "\\RECORD"), site_packages, step.python_dir);
  std::size_t listed = files.size();
  for (std::size_t i = 0; i < listed; ++i)
    for (std::string& compiled : compiled_files_of(files[i])) files.push_back(std::move(compiled));
  all_files_below(installed.first, files);
  for (const std::string& file : files)
    if (!move_aside(file)) {
      set_failure(("Could not move aside " + file).c_str());
      return false;
    }
  files.push_back(installed.first + "\\RECORD");  // the .dist-info itself goes last
  remove_empty_folders(files, site_packages, &step.removed_folders);
  return true;
}

void put_back() {
  for (auto folder = step.removed_folders.rbegin(); folder != step.removed_folders.rend(); ++folder)
    CreateDirectoryA(folder->c_str(), nullptr);
  std::string failed;
  for (const auto& [from, to] : step.moved)
    if (!MoveFileExA(to.c_str(), from.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
      failed += "\r\nCould not put back " + from;
  step.moved.clear();
  step.removed_folders.clear();
  if (!step.replaced.empty()) {
    std::string text = failure_text ? failure_text : "Installation failed.";
    text += "\r\n" + step.replaced + " put back as installed before." + failed;
    set_failure(text.c_str());
  }
}

void make_aside_folder() {
  char name[64];
  for (unsigned n = 0; n < 100; ++n) {
    format_cut(name, sizeof name, "\\kitpack-aside-%lu-%u", GetCurrentProcessId(), n);
    step.aside = step.python_dir + name;
    if (CreateDirectoryA(step.aside.c_str(), nullptr)) return;
  }
  step.aside.clear();
}

// Takes away the other versions of one distribution; false on failure.
bool settle(const distribution_entry& entry, bool package, const archived_record& record) {
  extracted_distribution dist{package, parent_of(record.path), parent_of(parent_of(record.path)), {}};
  dist.files = record_paths(record.text, dist.site_packages, step.python_dir);
  std::vector<installed_distribution> installed = find_installed(dist.site_packages, canonical_name(entry.name));
  std::vector<std::string> versions;
  for (const installed_distribution& i : installed) versions.push_back(i.second);
  switch (decide_distribution(package, entry.specifier, versions)) {
    case distribution_action::keep: {
      std::string text = entry.name + " " + versions.front() + " is already installed";
      show_item_text(text.c_str());
      add_to_report(text.c_str());
      step.kept_files.insert(step.kept_files.end(), dist.files.begin(), dist.files.end());
      return true;
    }
    case distribution_action::replace:
      if (step.aside.empty()) make_aside_folder();
      for (const installed_distribution& i : installed) {
        if (step.aside.empty() || !take_away(i, dist.site_packages)) {
          if (step.aside.empty()) set_failure(("Could not replace " + entry.name + " " + i.second).c_str());
          return false;
        }
        step.replaced += (step.replaced.empty() ? "" : ", ") + entry.name + " " + i.second;
      }
      break;
    case distribution_action::install:
      break;
  }
  step.extracted.push_back(std::move(dist));
  return true;
}

// Deletes what this installation wrote of its distributions and the folders
// that leaves empty, so that what was moved aside comes back alone.
void remove_extracted() {
  for (const extracted_distribution& dist : step.extracted) {
    for (const std::string& file : dist.files) DeleteFileA(file.c_str());
    remove_empty_folders(dist.files, dist.site_packages, nullptr);
  }
}

// Adds the compiled files of each listed source to the RECORD, as pip lists
// them: the path and two empty fields, in the RECORD's own line ends.
void record_compiled_files(const extracted_distribution& dist) {
  std::string record_path = dist.dist_info_dir + "\\RECORD";
  std::string text = read_whole_file(record_path);
  const char* line_end = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::string rows = !text.empty() && text.back() != '\n' ? line_end : "";
  for (const std::string& source : dist.files)
    for (const std::string& compiled : compiled_files_of(source)) {
      bool listed = false;
      for (const std::string& file : dist.files) listed = listed || same_path(file, compiled);
      if (!listed) rows += record_row(compiled, dist.site_packages, line_end);
    }
  if (rows.empty()) return;
  unique_stream record(std::fopen(record_path.c_str(), "ab"));
  if (record) std::fwrite(rows.data(), 1, rows.size(), record.get());
}

}  // namespace

bool replace_installed_distributions(const chosen_python& target, const scheme_entry* scheme,
                                     std::span<const std::byte> image) {
  step = {};
  step.python_dir = target.python_dir;
  std::vector<distribution_entry> entries = read_distributions();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    archived_record record = find_archived_record(image, scheme, step.python_dir, entries[i].dist_info);
    if (!record.ok) continue;  // not in the archive: nothing of it is installed
    if (!settle(entries[i], i == 0, record)) {
      put_back();
      return false;
    }
  }
  for (const extracted_distribution& dist : step.extracted)
    log_distribution(dist.package, dist.dist_info_dir.c_str());
  return true;
}

bool is_kept_member(const char* path) {
  for (const std::string& file : step.kept_files)
    if (same_path(file, path)) return true;
  return false;
}

void finish_replacement(bool installed) {
  if (installed) {
    for (const extracted_distribution& dist : step.extracted) record_compiled_files(dist);
    for (const auto& [from, to] : step.moved) DeleteFileA(to.c_str());
  } else if (!step.moved.empty() || !step.removed_folders.empty()) {
    remove_extracted();
    put_back();
  }
  if (!step.aside.empty()) RemoveDirectoryA(step.aside.c_str());
  step = {};
}
