#include "uninstall/self_removal_win.h"

#include <windows.h>

#include <cstdio>

#include "common/fixed_text.h"
#include "common/owner_crt_win.h"

#ifndef _WIN64
static_assert(sizeof(STARTUPINFOA) == 68);
#endif

namespace {

bool write_batch_line(std::FILE* batch, const char* format, const char* path) {
  char line[MAX_PATH + 32];
  return format_whole(line, sizeof line, format, path) && std::fputs(line, batch) >= 0;
}

}  // namespace

bool write_removal_batch(const char* exe_path, const char* batch_path) {
  unique_stream batch(std::fopen(batch_path, "w"));
  if (!batch) return false;
  bool written = std::fputs(":Repeat\n", batch.get()) >= 0 &&
                 write_batch_line(batch.get(), "del \"%s\"\n", exe_path) &&
                 write_batch_line(batch.get(), "if exist \"%s\" goto Repeat\n", exe_path) &&
                 write_batch_line(batch.get(), "del \"%s\"\n", batch_path);
  // Closed here, not by the owner: a failed close means the lines never arrived.
  return std::fclose(batch.release()) == 0 && written;
}

bool start_self_removal(const char* exe_path) {
  char batch_path[MAX_PATH];
  // Cutting the path would have the batch delete some other file: skip instead.
  if (!format_whole(batch_path, sizeof batch_path, "%s.bat", exe_path)) return false;
  if (!write_removal_batch(exe_path, batch_path)) return false;

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, batch_path, nullptr, nullptr, FALSE,
                      CREATE_SUSPENDED | IDLE_PRIORITY_CLASS, nullptr, "\\", &startup, &started))
    return false;
  unique_handle process(started.hProcess);
  unique_handle thread(started.hThread);

  // The batch must not run an instruction before this process is on its way
  // out: it waits suspended, then runs at the lowest priority while this
  // process finishes at the highest.
  SetThreadPriority(thread.get(), THREAD_PRIORITY_IDLE);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
  process.reset();
  ResumeThread(thread.get());
  return true;
}

void delete_self() {
  char exe_path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, exe_path, sizeof exe_path);
  if (length == 0 || length >= sizeof exe_path) return;
  start_self_removal(exe_path);
}
