// Extraction under Wine: our extraction code against two floors over the same
// files and bytes (already inflated, in memory): the mapping floor (what a
// mapped output file costs at least) and the write floor (plain WriteFile).
// The machine is shared, so the runs take turns (floors and ours, round after
// round) and the best of five of each counts; every run writes into a fresh
// folder. The floors find their folders made; ours makes them as it goes.
#include <windows.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "archive/extract_archive_win.h"
#include "archive/member_data.h"
#include "bench_data.h"
#include "common/owner_win.h"
#include "support/zip_builder.h"

namespace {

using clock_type = std::chrono::steady_clock;
constexpr int rounds = 5;

std::string base_dir;
int folder_counter;

void remove_tree(const std::string& path) {
  WIN32_FIND_DATAA found;
  unique_find find(FindFirstFileA((path + "\\*").c_str(), &found));
  if (find) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = path + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        remove_tree(child);
      else
        DeleteFileA(child.c_str());
    } while (FindNextFileA(find.get(), &found));
  }
  find.reset();
  RemoveDirectoryA(path.c_str());
}

// The folder of the previous run goes before the next one is made, so the
// disk holds one run's files at a time.
std::string fresh_folder() {
  if (folder_counter > 0) remove_tree(base_dir + "\\run" + std::to_string(folder_counter));
  std::string path = base_dir + "\\run" + std::to_string(++folder_counter);
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

// Folders of a set, made before a floor is timed: the floors measure files only.
void make_folders(const std::string& root, const std::vector<bench_file>& files) {
  for (const bench_file& f : files) {
    std::string path = root + "\\" + f.name;
    for (char& c : path)
      if (c == '/') c = '\\';
    for (std::size_t at = root.size() + 1; (at = path.find('\\', at)) != std::string::npos; ++at)
      CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  }
}

std::string output_path(const std::string& root, const bench_file& f) {
  std::string path = root + "\\" + f.name;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

int quiet_notify(int, const char*, ...) { return 1; }

double seconds_since(clock_type::time_point start) {
  return std::chrono::duration<double>(clock_type::now() - start).count();
}

double time_extract(const std::string& archive) {
  std::string root = fresh_folder();
  auto start = clock_type::now();
  int ok = extract_archive(legacy_scheme, root.c_str(), reinterpret_cast<const std::byte*>(archive.data()),
                           static_cast<std::uint32_t>(archive.size()), quiet_notify);
  double s = seconds_since(start);
  if (!ok) std::fputs("extraction failed\n", stderr);
  return s;
}

double time_mapping_floor(const std::vector<bench_file>& files) {
  std::string root = fresh_folder();
  make_folders(root, files);
  auto start = clock_type::now();
  for (const bench_file& f : files) {
    DWORD size = static_cast<DWORD>(f.content.size());
    unique_file file(CreateFileA(output_path(root, f).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    unique_handle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READWRITE, 0, size, nullptr));
    file.reset();
    unique_view view(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, size));
    mapping.reset();
    if (!view) {
      std::fputs("mapping floor failed\n", stderr);
      continue;
    }
    std::memcpy(view.get(), f.content.data(), size);
  }
  return seconds_since(start);
}

double time_write_floor(const std::vector<bench_file>& files) {
  std::string root = fresh_folder();
  make_folders(root, files);
  auto start = clock_type::now();
  for (const bench_file& f : files) {
    unique_file file(CreateFileA(output_path(root, f).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), f.content.data(), static_cast<DWORD>(f.content.size()), &written, nullptr);
  }
  return seconds_since(start);
}

double time_crc(const std::vector<bench_file>& files) {
  auto start = clock_type::now();
  uLong sum = 0;
  for (const bench_file& f : files)
    sum ^= crc32(0, reinterpret_cast<const Bytef*>(f.content.data()), static_cast<uInt>(f.content.size()));
  double s = seconds_since(start);
  if (sum == 0x12345678) std::fputs("", stdout);  // keeps the sums alive
  return s;
}

// The one-call inflate of every member into memory: the decoding share of a
// deflated extraction.
double time_inflate(const std::string& archive, std::size_t largest) {
  std::vector<std::byte> out(largest);
  zip_cursor cursor;
  open_zip({reinterpret_cast<const std::byte*>(archive.data()), archive.size()}, cursor);
  auto start = clock_type::now();
  zip_member m;
  while (next_member(cursor, m) == zip_step::member)
    decode_member(m, {out.data(), m.uncompressed_size});
  return seconds_since(start);
}


void print(const char* format, double a, double b = 0, double c = 0, double d = 0) {
  char line[256];
  _snprintf(line, sizeof line, format, a, b, c, d);
  line[sizeof line - 1] = '\0';
  std::fputs(line, stdout);
}

void measure(const char* label, const std::vector<bench_file>& files) {
  std::vector<zip_entry> stored, deflated;
  std::size_t largest = 0;
  for (const bench_file& f : files) {
    stored.push_back(entry(f.name, f.content, 0));
    deflated.push_back(entry(f.name, f.content, 8));
    largest = std::max(largest, f.content.size());
  }
  std::string stored_zip = build_zip(stored, "MZ");
  std::string deflated_zip = build_zip(deflated, "MZ");

  double mapping = 1e9, write = 1e9, ours_stored = 1e9, ours_deflated = 1e9, crc = 1e9, inflate = 1e9;
  for (int round = 0; round < rounds; ++round) {
    mapping = std::min(mapping, time_mapping_floor(files));
    write = std::min(write, time_write_floor(files));
    ours_stored = std::min(ours_stored, time_extract(stored_zip));
    ours_deflated = std::min(ours_deflated, time_extract(deflated_zip));
    crc = std::min(crc, time_crc(files));
    inflate = std::min(inflate, time_inflate(deflated_zip, largest));
  }

  std::fputs(label, stdout);
  std::fputs("\n", stdout);
  print("  mapping floor          %8.3f s\n", mapping);
  print("  write floor            %8.3f s   (mapping floor / write floor %.2f)\n", write, mapping / write);
  print("  ours, stored           %8.3f s   %.2f x mapping floor, %.2f x write floor\n", ours_stored,
        ours_stored / mapping, ours_stored / write);
  print("  ours, deflated         %8.3f s   %.2f x mapping floor, %.2f x write floor\n", ours_deflated,
        ours_deflated / mapping, ours_deflated / write);
  print("  inflate alone          %8.3f s   deflated vs (mapping floor + inflate) %.2f\n", inflate,
        ours_deflated / (mapping + inflate));
  print("  CRC-32 check           %8.3f s   %.1f %% of stored, %.1f %% of deflated\n", crc,
        100 * crc / ours_stored, 100 * crc / ours_deflated);
}

}  // namespace

int main(int argc, char** argv) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  base_dir = argc > 1 ? argv[1] : std::string(temp) + "kitpack-bench-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(base_dir.c_str(), nullptr);
  std::fputs("extraction under Wine (best of 5 runs taking turns, seconds)\n", stdout);
  measure("2000 files of 4 KiB (8.2 MB)", small_files());
  measure("20 files of 5 MiB (104.9 MB)", large_files());
  remove_tree(base_dir + "\\run" + std::to_string(folder_counter));
  return 0;
}
