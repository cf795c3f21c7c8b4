#include "wizard/install_status_win.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "resources/resource_ids.h"

int install_ok;
char* failure_text;
HWND progress_page;
const progress_sink* install_sink;

void show_step_text(const char* text) {
  if (install_sink) return install_sink->step_text(text);
  SetDlgItemTextA(progress_page, IDC_HEADING, text);
}

void show_item_text(const char* text) {
  if (install_sink) return install_sink->item_text(text);
  SetDlgItemTextA(progress_page, IDC_ITEM_LINE, text);
}

void show_progress_range(unsigned count) {
  if (install_sink) return install_sink->set_range(count & 0xFFFF);
  SendDlgItemMessageA(progress_page, IDC_PROGRESS_BAR, PBM_SETRANGE, 0,
                      MAKELPARAM(0, count & 0xFFFF));
}

void show_progress_pos(unsigned done) {
  if (install_sink) return install_sink->set_pos(done);
  SendDlgItemMessageA(progress_page, IDC_PROGRESS_BAR, PBM_SETPOS, done, 0);
}

void set_failure(const char* text) {
  std::free(failure_text);
  std::size_t n = std::strlen(text) + 1;
  failure_text = static_cast<char*>(std::malloc(n));
  if (failure_text) std::memcpy(failure_text, text, n);
  install_ok = 0;
}

void drain_messages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool handle_progress_message(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PROGRESS_RANGE) {
    SendDlgItemMessageA(page, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, lparam);
  } else if (message == WM_PROGRESS_POS) {
    SendDlgItemMessageA(page, IDC_PROGRESS_BAR, PBM_SETPOS, wparam, 0);
    SetDlgItemTextA(page, IDC_ITEM_LINE, reinterpret_cast<const char*>(lparam));
  } else {
    return false;
  }
  drain_messages();
  return true;
}
