#include "uninstall/self_removal_win.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/fixed_text.h"
#include "common/owner_crt_win.h"

#ifndef _WIN64
static_assert(sizeof(STARTUPINFOA) == 68);
#endif

namespace {

// Twenty tries a second apart: an ended uninstaller lets go of its file at
// once, and a copy that can never be deleted still ends the batch.
constexpr char BATCH_HEAD[] =
    "set tries=0\n"
    ":Repeat\n"
    "del \"%~n0\"\n"
    "if not exist \"%~n0\" goto Done\n"
    "set /a tries+=1\n"
    "if %tries% geq 20 goto Done\n";
constexpr char BATCH_TAIL[] =
    "goto Repeat\n"
    ":Done\n"
    "del \"%~nx0\"\n";

// Read the same in every code page, with nothing for cmd to expand or end a
// quoted name early.
bool plain_batch_text(const char* text) {
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c)
    if (*c < 0x20 || *c > 0x7E || *c == '%' || *c == '"') return false;
  return true;
}

}  // namespace

bool write_removal_batch(const char* batch_path, const char* system_dir) {
  char wait[MAX_PATH + 48];
  if (!plain_batch_text(system_dir) ||
      !format_whole(wait, sizeof wait, "\"%s\\ping.exe\" -n 2 127.0.0.1 >nul\n", system_dir))
    return false;
  unique_stream batch(std::fopen(batch_path, "w"));
  if (!batch) return false;
  bool written = std::fputs(BATCH_HEAD, batch.get()) >= 0 && std::fputs(wait, batch.get()) >= 0 &&
                 std::fputs(BATCH_TAIL, batch.get()) >= 0;
  // Closed here, not by the owner: a failed close means the lines never arrived.
  return std::fclose(batch.release()) == 0 && written;
}

bool start_self_removal(const char* exe_path) {
  char batch_path[MAX_PATH];
  // Cutting the path would have the batch delete some other file: skip instead.
  if (!format_whole(batch_path, sizeof batch_path, "%s.bat", exe_path)) return false;
  const char* bare_name = std::strrchr(exe_path, '\\');
  // cmd expands a % on its command line and, on some hosts, once more in %0:
  // no escape holds such a name.
  if (bare_name == nullptr || std::strchr(bare_name, '%') != nullptr) return false;
  ++bare_name;
  // The folder keeps its backslash: "C:" alone would be that drive's current folder.
  char folder[MAX_PATH];
  copy_cut(folder, sizeof folder, std::string_view(exe_path, bare_name - exe_path));

  char system_dir[MAX_PATH];
  char interpreter[MAX_PATH];
  char command_line[2 * MAX_PATH + 48];
  UINT length = GetSystemDirectoryA(system_dir, sizeof system_dir);
  // /d: no AutoRun commands; /v:off: a ! stays a !; /s: the outer quotes go, the
  // name's own stay, whatever it holds. ".\" keeps cmd from searching PATH for
  // it, as it does when NoDefaultCurrentDirectoryInExePath is set.
  if (length == 0 || length >= sizeof system_dir ||
      !format_whole(interpreter, sizeof interpreter, "%s\\cmd.exe", system_dir) ||
      !format_whole(command_line, sizeof command_line, "\"%s\" /d /q /v:off /s /c \"\".\\%s.bat\"\"",
                    interpreter, bare_name) ||
      !write_removal_batch(batch_path, system_dir))
    return false;

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(interpreter, command_line, nullptr, nullptr, FALSE,
                      CREATE_SUSPENDED | IDLE_PRIORITY_CLASS, nullptr, folder, &startup, &started))
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
