#include "common/program_win.h"

#include "common/fixed_text.h"
#include "common/message_box_win.h"

char module_path[MAX_PATH];
HWND main_window;

int report_system_error(DWORD error_code, const char* text) {
  char message[1024];
  char* system_text = nullptr;
  if (error_code != 0) {
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error_code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<char*>(&system_text), 0, nullptr);
  }
  compose_error_text(message, sizeof message, system_text ? system_text : "", text);
  if (system_text) LocalFree(system_text);
  show_message_box(main_window, message, "Runtime Error", MB_ICONERROR | MB_OK);
  return 0;
}
