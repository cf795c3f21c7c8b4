// The Windows side of the whole-process install benchmark (bench/install_bench.py):
//   install_bench ours SETUP PYTHON_DIR   installs through the wizard, driven
//                                         as a user would, into a Python
//                                         registered for the run at PYTHON_DIR
//   install_bench run EXE [ARGS]          starts a program and waits for it
//   install_bench floor mapping|write LIST SOURCE TARGET
//                                         the floors: read every file of LIST
//                                         (paths below TARGET; the bytes come
//                                         from SOURCE\<path>) into memory,
//                                         then create them through a mapping
//                                         of their final size, or WriteFile
// "ours" and "run" print the whole process's seconds, from the start of the
// program to its exit, on one line.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "common/owner_win.h"
#include "driver/driver_win.h"

namespace {

constexpr int intro = 0, select_python = 1, install = 2, finish = 3;
constexpr char python_key[] = "Software\\Python\\PythonCore\\9.8";
constexpr char package_key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\bench-py9.8";
constexpr DWORD patience_ms = 300000;

double seconds_since(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Polls every millisecond: the wait itself is part of what is timed, so the
// wizard's own steps, not the driver's polling, should set the figure.
template <class Condition>
bool poll(Condition condition) {
  DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > patience_ms) return false;
    Sleep(1);
  }
  return true;
}

struct sheet_search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK match_sheet(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<sheet_search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char cls[16];
  if (pid == s->pid && IsWindowVisible(window) && GetClassNameA(window, cls, sizeof cls) &&
      std::strcmp(cls, "#32770") == 0 && window_text(window) == "Setup") {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND find_sheet(const driven_process& process) {
  sheet_search s{process.pid(), nullptr};
  poll([&] {
    EnumWindows(match_sheet, reinterpret_cast<LPARAM>(&s));
    return s.found || !process.running();
  });
  return s.found;
}

HWND page_when_shown(HWND sheet, int index) {
  if (!poll([&] { return current_page_index(sheet) == index; })) return nullptr;
  return current_page(sheet);
}

// Presses the button once the sheet offers it.
bool press_when_offered(HWND sheet, int psbtn) {
  if (!poll([&] { return wizard_button_enabled(sheet, psbtn); })) return false;
  press_wizard_button(sheet, psbtn);
  return true;
}

// Presses Next once the sheet offers it, and waits for the page after.
HWND next_to(HWND sheet, int index) {
  return press_when_offered(sheet, PSBTN_NEXT) ? page_when_shown(sheet, index) : nullptr;
}

bool choose_python(HWND page, const std::string& dir) {
  if (!poll([&] { return list_count(page, 1022) > 0; })) return false;
  for (int row = 0; row < list_count(page, 1022); ++row) {
    select_list_row(page, 1022, row);
    if (poll([&] { return list_selection(page, 1022) == row && !item_text(page, 1007).empty(); }) &&
        item_text(page, 1007) == dir)
      return true;
  }
  return false;
}

bool drive_wizard(const driven_process& process, const std::string& dir) {
  HWND sheet = find_sheet(process);
  if (!sheet || !page_when_shown(sheet, intro)) return false;
  HWND page = next_to(sheet, select_python);
  if (!page || !choose_python(page, dir) || !next_to(sheet, install)) return false;
  // Only the finish page shows Finish. Asking the sheet for its page would
  // send it a message every poll, which the wizard would have to answer
  // between its members, a cost no user's installation pays.
  return press_when_offered(sheet, PSBTN_NEXT) && press_when_offered(sheet, PSBTN_FINISH);
}

int run_ours(const std::string& setup, const std::string& dir) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(python_key) + "\\InstallPath").c_str(), 0,
                      nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return 1;
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(dir.c_str()),
                 static_cast<DWORD>(dir.size() + 1));
  RegCloseKey(key);
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  long code = -1;
  {
    driven_process process(setup, "");
    if (drive_wizard(process, dir)) code = process.wait_exit(patience_ms);
  }
  double seconds = seconds_since(start);
  RegDeleteTreeA(HKEY_CURRENT_USER, python_key);
  RegDeleteTreeA(HKEY_CURRENT_USER, package_key);
  if (code != 0) {
    std::fputs("install bench: the wizard did not install\n", stderr);
    return 1;
  }
  std::printf("%.3f\n", seconds);
  return 0;
}

int run_program(int argc, char** argv) {
  std::string args;
  for (int i = 3; i < argc; ++i) args += (i > 3 ? " " : "") + std::string(argv[i]);
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  driven_process process(argv[2], args);
  long code = process.wait_exit(patience_ms);
  double seconds = seconds_since(start);
  if (code != 0) {
    std::fprintf(stderr, "install bench: %s ended with %ld\n", argv[2], code);
    return 1;
  }
  std::printf("%.3f\n", seconds);
  return 0;
}

struct floor_file {
  std::string path;
  std::string bytes;
};

bool read_whole(const std::string& path, std::string& bytes) {
  unique_file file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  bytes.resize(GetFileSize(file.get(), nullptr));
  DWORD got = 0;
  return ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
         got == bytes.size();
}

// The list names paths below the target; the source tree holds the same
// files below their package folder, so the first two components go.
std::vector<floor_file> load_floor_files(const char* list, const std::string& source,
                                         const std::string& target) {
  std::string text;
  std::vector<floor_file> files;
  if (!read_whole(list, text)) return files;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::size_t below = line.find('\\', line.find('\\') + 1) + 1;
    floor_file f{target + "\\" + line, {}};
    if (!read_whole(source + "\\" + line.substr(below), f.bytes)) return {};
    files.push_back(std::move(f));
  }
  return files;
}

// Makes the folders of a file's path that no earlier file made.
void make_parents(const std::string& path, std::size_t from, std::set<std::string>& made) {
  for (std::size_t at = from; (at = path.find('\\', at)) != std::string::npos; ++at) {
    std::string folder = path.substr(0, at);
    if (made.insert(folder).second) CreateDirectoryA(folder.c_str(), nullptr);
  }
}

bool write_mapped(const floor_file& f) {
  DWORD size = static_cast<DWORD>(f.bytes.size());
  unique_file file(CreateFileA(f.path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  if (size == 0) return true;
  unique_handle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READWRITE, 0, size, nullptr));
  file.reset();
  unique_view view(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, size));
  mapping.reset();
  if (!view) return false;
  std::memcpy(view.get(), f.bytes.data(), size);
  return true;
}

bool write_plain(const floor_file& f) {
  unique_file file(CreateFileA(f.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), f.bytes.data(), static_cast<DWORD>(f.bytes.size()), &written,
                           nullptr) && written == f.bytes.size();
}

int run_floor(const std::string& mode, const char* list, const std::string& source,
              const std::string& target) {
  std::vector<floor_file> files = load_floor_files(list, source, target);
  if (files.empty() || (mode != "mapping" && mode != "write")) {
    std::fputs("install bench: the floor found no files\n", stderr);
    return 1;
  }
  std::set<std::string> made;
  for (const floor_file& f : files) {
    make_parents(f.path, target.size() + 1, made);
    if (!(mode == "mapping" ? write_mapped(f) : write_plain(f))) {
      std::fprintf(stderr, "install bench: the floor could not write %s\n", f.path.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "ours" && argc == 4) return run_ours(argv[2], argv[3]);
  if (mode == "run" && argc >= 3) return run_program(argc, argv);
  if (mode == "floor" && argc == 6) return run_floor(argv[2], argv[3], argv[4], argv[5]);
  std::fputs("usage: install_bench ours SETUP PYTHON_DIR | run EXE [ARGS] |"
             " floor mapping|write LIST SOURCE TARGET\n", stderr);
  return 2;
}
