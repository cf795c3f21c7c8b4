#include "support/test_files_win.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "common/owner_win.h"
#include "driver/driver_win.h"

temp_folder::temp_folder() {
  char base[MAX_PATH];
  GetTempPathA(sizeof base, base);
  static unsigned counter;
  for (;;) {
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%skt%lu_%u", base, GetCurrentProcessId(), ++counter);
    if (CreateDirectoryA(name, nullptr)) {
      path_ = name;
      return;
    }
  }
}

temp_folder::~temp_folder() { remove_tree(path_); }

std::string windows_path(const std::string& unix_path) {
  std::string p = "Z:" + unix_path;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

std::string build_file(const std::string& relative) {
  return windows_path(std::string(KITPACK_BINARY_DIR) + "/" + relative);
}

std::string source_file(const std::string& relative) {
  return windows_path(std::string(KITPACK_SOURCE_DIR) + "/" + relative);
}

std::string stub_path() { return windows_path(KITPACK_STUB); }

bool read_file(const std::string& path, std::string& content) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  content.clear();
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) content.append(buf, n);
  std::fclose(f);
  return true;
}

std::string read_file(const std::string& path) {
  std::string content;
  read_file(path, content);
  return content;
}

bool write_file(const std::string& path, const std::string& content) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(content.data(), 1, content.size(), f) == content.size();
  return std::fclose(f) == 0 && ok;
}

bool file_exists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool directory_exists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void remove_tree(const std::string& path) {
  WIN32_FIND_DATAA data;
  unique_find find(FindFirstFileA((path + "\\*").c_str(), &data));
  if (find) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = path + "\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        remove_tree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(find.get(), &data));
  }
  find.reset();  // a folder being searched cannot be removed
  RemoveDirectoryA(path.c_str());
}

namespace {
void collect_tree(const std::string& dir, const std::string& prefix, std::vector<std::string>& found) {
  WIN32_FIND_DATAA data;
  unique_find find(FindFirstFileA((dir + "\\*").c_str(), &data));
  if (!find) return;
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      found.push_back(prefix + name + "\\");
      collect_tree(dir + "\\" + name, prefix + name + "\\", found);
    } else {
      found.push_back(prefix + name);
    }
  } while (FindNextFileA(find.get(), &data));
}
}  // namespace

std::vector<std::string> folder_tree(const std::string& dir) {
  std::vector<std::string> found;
  collect_tree(dir, "", found);
  std::sort(found.begin(), found.end());
  return found;
}

bool gone_within(const std::string& path, DWORD ms) {
  return wait_until([&] { return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; }, ms);
}

scoped_environment::scoped_environment(const char* name, const std::string& value) : name_(name) {
  if (const char* old = std::getenv(name)) previous_ = old;
  _putenv((name_ + "=" + value).c_str());
}

// "NAME=" removes the variable.
scoped_environment::~scoped_environment() { _putenv((name_ + "=" + previous_).c_str()); }

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string dll_header(WORD machine) {
  std::string bytes(512, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  bytes[0x3C] = static_cast<char>(0x80);
  bytes.replace(0x80, 4, std::string("PE\0\0", 4));
  bytes[0x84] = static_cast<char>(machine & 0xFF);
  bytes[0x85] = static_cast<char>(machine >> 8);
  return bytes;
}

std::string ansi_text(const std::string& utf8) {
  wchar_t wide[512];
  char ansi[1024];
  BOOL lossy = FALSE;
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide, 512);
  int m = n > 0 ? WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, n, ansi, sizeof ansi, nullptr, &lossy)
                : 0;
  return m > 0 && !lossy ? std::string(ansi, static_cast<std::size_t>(m)) : "";
}
