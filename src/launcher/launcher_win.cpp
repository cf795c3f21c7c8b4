// The launcher's entry: Scripts\NAME.exe of a Python installation runs that
// installation's python.exe (pythonw.exe for the GUI kind, built with
// LAUNCHER_GUI) on its own file, which carries the command's zip application,
// waits for it and ends with its exit code.
//
// It starts at launcher_entry instead of the C runtime's start-up and links
// nothing but kernel32 (and user32 for the GUI kind's message box): a wheel
// brings one copy per command.
#include <windows.h>

#include "common/owner_win.h"
#include "launcher/command_line.h"

namespace {

using launcher::wide_text;

// Paths and the child's command line may be as long as Windows allows (32767
// characters); the buffers are zero-initialised, so they take no file bytes.
constexpr DWORD max_text = 32768;
wchar_t module_path[max_text];
wchar_t python_path[max_text + 16];
wchar_t command_line[max_text];
wchar_t message[3 * max_text];

constexpr UINT failure_exit_code = 1;

#ifdef LAUNCHER_GUI
const wchar_t python_name[] = L"\\pythonw.exe";
#else
const wchar_t python_name[] = L"\\python.exe";
#endif

std::size_t length_of(const wchar_t* text) {
  std::size_t n = 0;
  while (text[n]) ++n;
  return n;
}

// Appends a NUL-terminated text to message, cut to fit.
void add(std::size_t* at, const wchar_t* text) {
  for (; *text && *at + 1 < sizeof message / sizeof message[0]; ++text) message[(*at)++] = *text;
  message[*at] = L'\0';
}

// The console kind writes to its standard error (the console itself, or UTF-8
// into a file or pipe); the GUI kind shows a box captioned with its file name.
void show_message([[maybe_unused]] std::size_t length) {
#ifdef LAUNCHER_GUI
  const wchar_t* name = module_path + length_of(module_path);
  while (name > module_path && name[-1] != L'\\') --name;
  MessageBoxW(nullptr, message, *name ? name : L"Launcher", MB_OK | MB_ICONERROR);
#else
  std::size_t at = length;
  add(&at, L"\r\n");
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (err == nullptr || err == INVALID_HANDLE_VALUE) return;
  DWORD mode, written;
  if (GetConsoleMode(err, &mode)) {
    WriteConsoleW(err, message, static_cast<DWORD>(at), &written, nullptr);
    return;
  }
  // Reuses the tail of the message buffer: the UTF-8 text of at characters
  // takes at most 3 * at bytes, and the text itself at most at characters.
  char* bytes = reinterpret_cast<char*>(message + at + 1);
  int size = static_cast<int>((sizeof message - (at + 1) * sizeof(wchar_t)));
  int n = WideCharToMultiByte(CP_UTF8, 0, message, static_cast<int>(at), bytes, size, nullptr, nullptr);
  if (n > 0) WriteFile(err, bytes, static_cast<DWORD>(n), &written, nullptr);
#endif
}

// "No Python to run this command: PATH does not exist." or "Could not start
// PATH: system text"; error is read before anything else runs.
UINT fail(DWORD error) {
  std::size_t at = 0;
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
    add(&at, L"No Python to run this command: ");
    add(&at, python_path);
    add(&at, L" does not exist.");
  } else {
    add(&at, L"Could not start ");
    add(&at, python_path);
    add(&at, L": ");
    wchar_t* text = message + at;
    DWORD room = static_cast<DWORD>(sizeof message / sizeof message[0] - at);
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                             text, room, nullptr);
    while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' || text[n - 1] == L' ')) --n;
    at += n;
    message[at] = L'\0';
    if (n == 0) add(&at, L"error starting the program.");
  }
  show_message(at);
  return failure_exit_code;
}

// Ctrl+C and Ctrl+Break reach every process of the console: the child decides
// what they mean, the launcher only waits for it to end.
BOOL WINAPI ignore_ctrl(DWORD event) { return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT; }

// The standard handle as an inheritable duplicate for the child, or null.
HANDLE inheritable(DWORD which) {
  HANDLE own = GetStdHandle(which);
  HANDLE copy = nullptr;
  if (own == nullptr || own == INVALID_HANDLE_VALUE) return nullptr;
  HANDLE self = GetCurrentProcess();
  if (!DuplicateHandle(self, own, self, &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) return nullptr;
  return copy;
}

// A job that ends the child when the launcher ends, however it ends; the
// child's own children break away from it, so that a command may leave a
// program running. None when the system refuses (an outer job that allows no
// nesting): the child then runs without it.
unique_handle kill_on_close_job() {
  unique_handle job(CreateJobObjectW(nullptr, nullptr));
  if (!job) return job;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
  if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) job.reset();
  return job;
}

UINT run() {
  DWORD module_length = GetModuleFileNameW(nullptr, module_path, max_text);
  if (module_length == 0 || module_length >= max_text) {
    DWORD error = GetLastError();
    python_path[0] = L'\0';
    return fail(error ? error : ERROR_INSUFFICIENT_BUFFER);
  }
  const wide_text module = {module_path, module_length};
  std::size_t dir = launcher::python_dir_length(module);
  for (std::size_t i = 0; i < dir; ++i) python_path[i] = module_path[i];
  for (std::size_t i = 0; i < sizeof python_name / sizeof python_name[0]; ++i) python_path[dir + i] = python_name[i];
  const wide_text python = {python_path, length_of(python_path)};
  if (dir == 0) return fail(ERROR_PATH_NOT_FOUND);

  if (!launcher::child_command_line(python, module, launcher::arguments_of(GetCommandLineW()), command_line,
                                    max_text))
    return fail(ERROR_FILENAME_EXCED_RANGE);

  SetConsoleCtrlHandler(ignore_ctrl, TRUE);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  unique_handle in(inheritable(STD_INPUT_HANDLE));
  unique_handle out(inheritable(STD_OUTPUT_HANDLE));
  unique_handle err(inheritable(STD_ERROR_HANDLE));
  startup.dwFlags |= STARTF_USESTDHANDLES;
  startup.hStdInput = in.get();
  startup.hStdOutput = out.get();
  startup.hStdError = err.get();

  // Started suspended, so that it runs no code before it is in the job.
  PROCESS_INFORMATION child = {};
  if (!CreateProcessW(python_path, command_line, nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr,
                      &startup, &child))
    return fail(GetLastError());
  unique_handle process(child.hProcess);
  unique_handle thread(child.hThread);
  unique_handle job = kill_on_close_job();
  if (job) AssignProcessToJobObject(job.get(), process.get());
  ResumeThread(thread.get());
  thread.reset();
  in.reset();
  out.reset();
  err.reset();

  DWORD code = failure_exit_code;
  if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 || !GetExitCodeProcess(process.get(), &code))
    code = failure_exit_code;
  return code;
}

}  // namespace

extern "C" {

// The compiler may turn a zeroing loop or a structure's initialiser into a
// call; without the C runtime these are ours. Built without loop-to-call
// rewriting, so that they do not call themselves.
void* memset(void* to, int value, std::size_t n) {
  auto* p = static_cast<unsigned char*>(to);
  while (n--) *p++ = static_cast<unsigned char>(value);
  return to;
}
void* memcpy(void* to, const void* from, std::size_t n) {
  auto* p = static_cast<unsigned char*>(to);
  const auto* q = static_cast<const unsigned char*>(from);
  while (n--) *p++ = *q++;
  return to;
}

[[noreturn]] __attribute__((force_align_arg_pointer)) void launcher_entry() { ExitProcess(run()); }
}
