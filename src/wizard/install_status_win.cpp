#include "wizard/install_status_win.h"

#include <cstdlib>
#include <cstring>

int install_ok;
char* failure_text;
HWND progress_page;

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
