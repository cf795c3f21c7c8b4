#include "record/install_log_win.h"

#include <windows.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>

#include "common/fixed_text.h"
#include "common/install_status.h"
#include "common/message_box_win.h"
#include "common/notify_codes.h"
#include "common/owner_crt_win.h"
#include "common/program_win.h"
#include "record/log_format.h"

FILE* log_file;
compile_node* compile_list;

void write_log_record(const char* format, const char* text) {
  if (log_file) write_record_line(log_file, format, text);
}

static void add_to_compile_list(const char* path) {
  if (!is_python_source(path)) return;
  // Nodes live until the process ends: the owners only cover a failed add.
  unique_heap<compile_node> node = heap_alloc<compile_node>();
  std::size_t n = std::strlen(path) + 1;
  unique_heap_text copy = heap_alloc<char>(n);
  if (!node || !copy) return;
  std::memcpy(copy.get(), path, n);
  node.get()->path = copy.release();
  node.get()->next = compile_list;
  compile_list = node.release();
}

int notify(int code, const char* text, ...) {
  va_list args;
  va_start(args, text);
  char message[1024];
  if (code == NOTIFY_ZLIB_ERROR || code == NOTIFY_SYSTEM_ERROR) {
    // Read the cause before formatting can touch it.
    DWORD error = GetLastError();
    vformat_cut(message, sizeof message, text, args);
    if (code == NOTIFY_ZLIB_ERROR)
      show_message_box(GetFocus(), message, "Error", MB_ICONEXCLAMATION | MB_OK);
    else
      report_system_error(error, message);
  } else if (code == NOTIFY_DIR_CREATED) {
    write_log_record(LOG_MADE_DIR, text);
  } else if (code == NOTIFY_FILE_CREATED) {
    write_log_record(LOG_FILE_COPY, text);
    add_to_compile_list(text);
  } else if (code == NOTIFY_FILE_KEPT) {
    write_log_record(LOG_FILE_OVERWRITE, text);
    add_to_compile_list(text);
  } else if (code == NOTIFY_PROGRESS) {
    int total = va_arg(args, int);
    int done = va_arg(args, int);
    show_member_done(static_cast<unsigned>(total), static_cast<unsigned>(done), text);
  }
  va_end(args);
  return 1;
}

// Writes a header line: strftime of the local time into 261 bytes.
void write_log_time_line(const char* format) {
  if (!log_file) return;
  char line[261];
  // The 64-bit time functions: MSVCR71.dll has no _time32 or _localtime32,
  // which the plain names turn into on 32-bit builds.
  __time64_t now = _time64(nullptr);
  std::tm* local = _localtime64(&now);
  if (!local || std::strftime(line, sizeof line, format, local) == 0) return;
  std::fputs(line, log_file);
  std::fflush(log_file);
}

void close_install_log() {
  if (!log_file) return;
  write_log_time_line(LOG_FINISHED_FORMAT);
  unique_stream closing(std::exchange(log_file, nullptr));
}
