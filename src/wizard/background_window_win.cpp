// The backdrop: a maximised dark-blue window behind the wizard with the
// package title written large in its top-left corner.
#include <cstring>

#include "common/fixed_text.h"
#include "common/message_box_win.h"
#include "common/owner_win.h"
#include "startup/setup_config.h"
#include "startup/startup_win.h"
#include "wizard/wizard_layout.h"
#include "wizard/wizard_win.h"

namespace {
constexpr char class_name[] = "SetupWindowClass";

void paint_title(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  unique_gdi_object font(CreateFontA(title_font_height(GetSystemMetrics(SM_CYSCREEN)), 0, 0, 0, 700, TRUE,
                           FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH, "Times Roman"));
  HGDIOBJ previous = SelectObject(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  const char* title = setup_config.title;
  int length = static_cast<int>(std::strlen(title));
  TextOutA(dc, 15, 15, title, length);  // the shadow, in the default black
  SetTextColor(dc, RGB(255, 255, 255));
  TextOutA(dc, 10, 10, title, length);
  SelectObject(dc, previous);  // the font is deleted once it is no longer selected
  EndPaint(window, &paint);
}

LRESULT CALLBACK background_proc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_PAINT) {
    paint_title(window);
    return 0;
  }
  return DefWindowProcA(window, msg, wparam, lparam);
}

void register_background_class(HINSTANCE module) {
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = background_proc;
  wc.hInstance = module;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  // Made once and kept for the whole run: the class paints with it.
  wc.hbrBackground = CreateSolidBrush(RGB(0, 0, 128));
  wc.lpszClassName = class_name;
  if (!RegisterClassA(&wc))
    show_message_box(main_window, "Could not register window class", "Setup.exe", MB_OK);
}
}  // namespace

HWND create_background_window(const char* title) {
  HINSTANCE module = GetModuleHandleA(nullptr);
  register_background_class(module);
  static char caption[4096];
  format_cut(caption, sizeof caption, "Setup %s", title);
  HWND window = CreateWindowExA(0, class_name, caption, WS_OVERLAPPED, 0, 0,
                                GetSystemMetrics(SM_CXFULLSCREEN),
                                GetSystemMetrics(SM_CYFULLSCREEN), nullptr, nullptr, module,
                                nullptr);
  if (!window) return nullptr;
  ShowWindow(window, SW_SHOWMAXIMIZED);
  UpdateWindow(window);
  return window;
}
