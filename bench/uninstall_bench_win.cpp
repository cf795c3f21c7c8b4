// Times one uninstall run: starts the uninstaller copy as Windows would
//   uninstall_bench UNINSTALLER LOG
// answers its confirmation with Yes and its summary with OK, and prints
//   <seconds to the confirmation> <seconds from Yes to the summary> <summary>
// on one line. The first figure holds the process start, the reading and the
// sorting of the log; the second the undoing of every record and the
// deletion of the log.
#include <windows.h>

#include <cstdio>
#include <string>

#include "driver/driver_win.h"

namespace {

struct search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK match_box(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char cls[16];
  if (pid == s->pid && IsWindowVisible(window) && GetClassNameA(window, cls, sizeof cls) &&
      std::string(cls) == "#32770" && GetDlgItem(window, 0xFFFF)) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

// Polls more finely than the test driver, since its wait is what is timed.
HWND wait_for_box(const driven_process& process) {
  for (;;) {
    search s{process.pid(), nullptr};
    EnumWindows(match_box, reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    if (!process.running()) return nullptr;
    Sleep(2);
  }
}

double seconds_since(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: uninstall_bench UNINSTALLER LOG\n", stderr);
    return 2;
  }
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  driven_process process(argv[1], std::string("-u \"") + argv[2] + "\"");
  HWND confirm = wait_for_box(process);
  double to_confirm = seconds_since(start);
  if (!confirm) return 1;
  QueryPerformanceCounter(&start);
  press(confirm, IDYES);
  // The confirmation may still be on screen for a moment after the press.
  while (IsWindow(confirm) && IsWindowVisible(confirm)) Sleep(1);
  HWND summary = wait_for_box(process);
  double undo = seconds_since(start);
  if (!summary) return 1;
  std::string text;
  for (int i = 0; i < 100 && text.empty(); ++i, Sleep(10)) text = item_text(summary, 0xFFFF);
  press(summary, IDOK);
  if (process.wait_exit() != 0) return 1;
  for (char& c : text)
    if (c == '\n') c = '|';
  std::printf("%.3f %.3f %s\n", to_confirm, undo, text.c_str());
  return 0;
}
