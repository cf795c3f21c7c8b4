#include "driver/driver_win.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

DWORD scaled_timeout(DWORD ms) {
  static const DWORD factor = [] {
    char text[16] = "";
    DWORD n = GetEnvironmentVariableA("KITPACK_TIMEOUT_FACTOR", text, sizeof text);
    long value = n > 0 && n < sizeof text ? std::strtol(text, nullptr, 10) : 1;
    return static_cast<DWORD>(value >= 1 && value <= 100 ? value : 1);
  }();
  return ms > MAXDWORD / factor ? MAXDWORD : ms * factor;
}

driven_process::driven_process(const std::string& exe, const std::string& args,
                               const std::string& cwd) {
  std::string command = "\"" + exe + "\"";
  if (!args.empty()) command += " " + args;
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      cwd.empty() ? nullptr : cwd.c_str(), &startup, &info_))
    info_ = {};
}

driven_process::~driven_process() {
  if (!info_.hProcess) return;
  if (running()) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool driven_process::running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

long driven_process::wait_exit(DWORD ms) {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, scaled_timeout(ms)) != WAIT_OBJECT_0)
    return -1;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return static_cast<long>(code);
}

namespace {
struct window_watch {
  DWORD pid;
  std::vector<HWND> shown;
  std::vector<std::pair<HWND, std::string>> hidden;
  std::vector<std::string>* described;
};

std::string describe(HWND window) {
  char cls[256] = "";
  GetClassNameA(window, cls, sizeof cls);
  return std::string(cls) + " '" + window_text(window) + "'";
}

BOOL CALLBACK note_window(HWND window, LPARAM param) {
  auto* watch = reinterpret_cast<window_watch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != watch->pid) return TRUE;
  for (HWND known : watch->shown)
    if (known == window) return TRUE;
  auto hidden = std::find_if(watch->hidden.begin(), watch->hidden.end(),
                             [window](const auto& known) { return known.first == window; });
  if (!IsWindowVisible(window)) {
    if (hidden == watch->hidden.end()) watch->hidden.emplace_back(window, describe(window));
    return TRUE;
  }
  if (hidden != watch->hidden.end()) watch->hidden.erase(hidden);
  watch->shown.push_back(window);
  watch->described->push_back(describe(window));
  return TRUE;
}
}  // namespace

watched_run run_watching_windows(const std::string& exe, const std::string& args, DWORD ms) {
  watched_run run;
  driven_process process(exe, args);
  if (!process.started()) return run;
  window_watch watch{process.pid(), {}, {}, &run.windows};
  ms = scaled_timeout(ms);
  DWORD start = GetTickCount();
  // Asked before each look, so that the last look comes after the end.
  for (bool ended = false; !ended;) {
    ended = !process.running();
    EnumWindows(note_window, reinterpret_cast<LPARAM>(&watch));
    if (GetTickCount() - start > ms) break;
    if (!ended) Sleep(5);
  }
  for (const auto& hidden : watch.hidden) run.hidden_windows.push_back(hidden.second);
  run.exit_code = process.wait_exit(0);
  return run;
}

std::vector<std::string> unexpected_hidden_windows(const watched_run& run) {
  std::vector<std::string> unexpected;
  for (const std::string& window : run.hidden_windows)
    if (window != "ListBox ''") unexpected.push_back(window);
  return unexpected;
}

namespace {
struct search {
  DWORD pid;
  const char* caption;
  bool want_box;
  HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != s->pid || !IsWindowVisible(window)) return TRUE;
  char cls[64];
  if (!GetClassNameA(window, cls, sizeof cls) || std::string(cls) != "#32770") return TRUE;
  if (s->caption && window_text(window) != s->caption) return TRUE;
  if (s->want_box && !GetDlgItem(window, 0xFFFF)) return TRUE;
  s->found = window;
  return FALSE;
}

HWND find_dialog(const driven_process& process, const char* caption, bool want_box, DWORD ms) {
  ms = scaled_timeout(ms);
  DWORD start = GetTickCount();
  for (;;) {
    search s{process.pid(), caption, want_box, nullptr};
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    if (GetTickCount() - start > ms || (!process.running())) return nullptr;
    Sleep(50);
  }
}
}  // namespace

HWND wait_dialog(const driven_process& process, const char* caption, DWORD ms) {
  return find_dialog(process, caption, false, ms);
}

seen_box wait_box(const driven_process& process, DWORD ms) {
  seen_box box;
  box.window = find_dialog(process, nullptr, true, ms);
  if (box.window) {
    // On a slow machine a box can be found before Wine has set its text: wait
    // for the text (a box with an empty text only costs the wait).
    HWND window = box.window;
    wait_until([&] { return !IsWindow(window) || !item_text(window, 0xFFFF).empty(); }, 2000);
    box.caption = window_text(box.window);
    box.text = item_text(box.window, 0xFFFF);
  }
  return box;
}

std::string window_text(HWND window) {
  char buf[8192];
  int n = GetWindowTextA(window, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

std::string item_text(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) return "";
  LRESULT len = SendMessageA(item, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<size_t>(len) + 1, '\0');
  LRESULT got = SendMessageA(item, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(got));
  return text;
}

bool item_enabled(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  return item && IsWindowEnabled(item);
}

void press(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

seen_box answer_box(const driven_process& process, int button, DWORD ms) {
  seen_box box = wait_box(process, ms);
  if (box) {
    HWND window = box.window;
    press(window, button);
    // Wait until this box is gone, so the next wait finds the next box.
    wait_until([&] { return !IsWindow(window) || !IsWindowVisible(window); }, 5000);
  }
  return box;
}

bool wait_until(const std::function<bool()>& condition, DWORD ms) {
  ms = scaled_timeout(ms);
  DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > ms) return false;
    Sleep(20);
  }
}

namespace {
struct window_search {
  DWORD pid;
  const char* class_name;
  const char* caption;
  HWND found;
};

BOOL CALLBACK match_class(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<window_search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != s->pid || !IsWindowVisible(window)) return TRUE;
  char cls[256];
  if (!GetClassNameA(window, cls, sizeof cls) || std::string(cls) != s->class_name) return TRUE;
  if (s->caption && window_text(window) != s->caption) return TRUE;
  s->found = window;
  return FALSE;
}

// The sheet's own ids of its wizard buttons.
int wizard_button_id(int psbtn) {
  switch (psbtn) {
    case PSBTN_BACK: return 0x3023;
    case PSBTN_NEXT: return 0x3024;
    case PSBTN_FINISH: return 0x3025;
    default: return IDCANCEL;
  }
}
}  // namespace

HWND wait_window(const driven_process& process, const char* class_name, const char* caption,
                 DWORD ms) {
  window_search s{process.pid(), class_name, caption, nullptr};
  wait_until([&] {
    EnumWindows(match_class, reinterpret_cast<LPARAM>(&s));
    return s.found != nullptr || !process.running();
  }, ms);
  return s.found;
}

namespace {
BOOL CALLBACK find_unpainted(HWND window, LPARAM param) {
  if (!IsWindowVisible(window) || !GetUpdateRect(window, nullptr, FALSE)) return TRUE;
  *reinterpret_cast<bool*>(param) = true;
  return FALSE;
}

BOOL CALLBACK find_unpainted_tree(HWND window, LPARAM param) {
  find_unpainted(window, param);
  if (!*reinterpret_cast<bool*>(param)) EnumChildWindows(window, find_unpainted, param);
  return *reinterpret_cast<bool*>(param) ? FALSE : TRUE;
}
}  // namespace

bool painting_done(DWORD ms) {
  return wait_until([] {
    bool unpainted = false;
    EnumWindows(find_unpainted_tree, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
  }, ms);
}

HWND current_page(HWND sheet) {
  return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

int current_page_index(HWND sheet) {
  HWND page = current_page(sheet);
  if (!page) return -1;
  return static_cast<int>(SendMessageA(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0));
}

HWND wait_page(HWND sheet, int index, DWORD ms) {
  if (!wait_until([&] { return !IsWindow(sheet) || current_page_index(sheet) == index; }, ms))
    return nullptr;
  return IsWindow(sheet) ? current_page(sheet) : nullptr;
}

void press_wizard_button(HWND sheet, int psbtn) {
  PostMessageA(sheet, PSM_PRESSBUTTON, psbtn, 0);
}

bool wizard_button_enabled(HWND sheet, int psbtn) {
  HWND button = GetDlgItem(sheet, wizard_button_id(psbtn));
  return button && IsWindowVisible(button) && IsWindowEnabled(button);
}

int list_count(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(dialog, id, LB_GETCOUNT, 0, 0));
}

std::string list_text(HWND dialog, int id, int row) {
  // Wine hands list texts across processes as UTF-16 whichever call asked,
  // so ask for UTF-16 and convert.
  LRESULT len = SendDlgItemMessageW(dialog, id, LB_GETTEXTLEN, row, 0);
  if (len == LB_ERR) return "";
  std::vector<wchar_t> wide(static_cast<size_t>(len) + 1, L'\0');
  if (SendDlgItemMessageW(dialog, id, LB_GETTEXT, row, reinterpret_cast<LPARAM>(wide.data())) == LB_ERR)
    return "";
  char text[1024];
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text, sizeof text, nullptr, nullptr);
  return n > 0 ? std::string(text) : "";
}

int list_selection(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(dialog, id, LB_GETCURSEL, 0, 0));
}

void select_list_row(HWND dialog, int id, int row) {
  SendDlgItemMessageA(dialog, id, LB_SETCURSEL, row, 0);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
