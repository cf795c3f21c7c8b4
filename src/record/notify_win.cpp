#include "record/notify_win.h"

#include <windows.h>

#include <cstdarg>

#include "common/fixed_text.h"
#include "common/install_status.h"
#include "common/message_box_win.h"
#include "common/notify_codes.h"
#include "common/program_win.h"
#include "record/install_log_win.h"

namespace {
// Codes 4 and 5 carry a printf format and its values; a longer message is
// cut to the buffer.
void show_error(int code, const char* format, va_list args) {
  // Read the cause before formatting can touch it.
  DWORD error = GetLastError();
  char message[1024];
  vformat_cut(message, sizeof message, format, args);
  if (code == NOTIFY_ZLIB_ERROR)
    show_message_box(GetFocus(), message, "Error", MB_ICONEXCLAMATION | MB_OK);
  else
    report_system_error(error, message);
}
}  // namespace

int notify(int code, const char* text, ...) {
  va_list args;
  va_start(args, text);
  switch (code) {
    case NOTIFY_DIR_CREATED: record_directory_created(text); break;
    case NOTIFY_FILE_CREATED: record_file_created(text); break;
    case NOTIFY_FILE_KEPT: record_file_kept(text); break;
    case NOTIFY_ZLIB_ERROR:
    case NOTIFY_SYSTEM_ERROR: show_error(code, text, args); break;
    case NOTIFY_PROGRESS: {
      int total = va_arg(args, int);
      int done = va_arg(args, int);
      show_member_done(static_cast<unsigned>(total), static_cast<unsigned>(done), text);
      break;
    }
    default: break;
  }
  va_end(args);
  return 1;
}
