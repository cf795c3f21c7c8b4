#include "wizard/install_status_win.h"

#include <commctrl.h>

#include "common/fixed_text.h"
#include "resources/resource_ids.h"

HWND progress_page;

void drain_messages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

namespace {
// Members can arrive far faster than a screen shows frames, and every repaint
// of the bar and the item line costs more than writing a small file (the bar
// paints at once, and the dispatching after each member then pushes the
// painted pixels out). So the page shows a position at most once per frame
// and keeps the latest one pending in between; the last member (the bar's
// end) is always shown at once. The page's two controls and the bar's range
// are kept here too: looking a control up, or asking the bar for its range,
// is a round trip to the window system for every member.
struct progress_frame {
  HWND page = nullptr;  // the page whose controls these are
  HWND bar = nullptr;
  HWND item_line = nullptr;
  bool range_set = false;
  LPARAM range = 0;     // as last set on the bar here, once range_set
  LONGLONG shown_at = 0;  // performance counter of the last shown position
  bool pending = false;
  WPARAM pos = 0;
  char text[1024] = {};  // as long as a refused member's path can be shown
};
progress_frame frame;

LONGLONG ticks_now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

LONGLONG ticks_per_frame() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart / 60;
}

void find_controls(HWND page) {
  if (frame.page == page) return;
  frame.page = page;
  frame.bar = GetDlgItem(page, IDC_PROGRESS_BAR);
  frame.item_line = GetDlgItem(page, IDC_ITEM_LINE);
  frame.range_set = false;
}

void show_frame() {
  SendMessageA(frame.bar, PBM_SETPOS, frame.pos, 0);
  SetWindowTextA(frame.item_line, frame.text);
  frame.pending = false;
  frame.shown_at = ticks_now();
}

// The range is the same for every member: setting it again would only repaint.
void set_range(HWND page, LPARAM range) {
  find_controls(page);
  if (frame.range_set && frame.range == range) return;
  SendMessageA(frame.bar, PBM_SETRANGE, 0, range);
  frame.range = range;
  frame.range_set = true;
}

void set_pos(HWND page, WPARAM pos, const char* text) {
  find_controls(page);
  frame.pos = pos;
  copy_cut(frame.text, sizeof frame.text, text);
  frame.pending = true;
  WPARAM end = frame.range_set ? HIWORD(frame.range)
                                 : static_cast<WPARAM>(SendMessageA(frame.bar, PBM_GETRANGE, FALSE, 0));
  if (pos >= end || ticks_now() - frame.shown_at >= ticks_per_frame()) show_frame();
}

void page_step_text(const char* text) { SetDlgItemTextA(progress_page, IDC_HEADING, text); }

void page_item_text(const char* text) { SetDlgItemTextA(progress_page, IDC_ITEM_LINE, text); }

void page_range(unsigned count) { set_range(progress_page, MAKELPARAM(0, count)); }

void page_pos(unsigned done) { SendDlgItemMessageA(progress_page, IDC_PROGRESS_BAR, PBM_SETPOS, done, 0); }

void page_member_done(unsigned count, unsigned done, const char* path) {
  SendMessageA(progress_page, WM_PROGRESS_RANGE, 0, static_cast<LPARAM>(static_cast<DWORD>(count) << 16));
  SendMessageA(progress_page, WM_PROGRESS_POS, static_cast<WPARAM>(done), reinterpret_cast<LPARAM>(path));
}
}  // namespace

const progress_sink install_page_sink = {page_step_text, page_item_text, page_range, page_pos,
                                         page_member_done};

bool handle_progress_message(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PROGRESS_RANGE)
    set_range(page, lparam);
  else if (message == WM_PROGRESS_POS)
    set_pos(page, wparam, reinterpret_cast<const char*>(lparam));
  else
    return false;
  drain_messages();
  return true;
}

void show_pending_progress(HWND page) {
  find_controls(page);
  if (frame.pending) show_frame();
}
