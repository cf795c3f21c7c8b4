// A stand-in for python.exe and pythonw.exe (test code, never shipped): what
// a command launcher starts. It writes a report to the file that
// KITPACK_STANDIN_REPORT names, UTF-8, one item a line:
//
//   its own path
//   its command line, as it received it
//   its process id
//   the __main__.py that the zip archive at argv[1] holds (the rest of the file)
//
// then "stdout of python" to its standard output (followed by what it reads
// from its standard input when KITPACK_STANDIN_ECHO is set), "stderr of
// python" to its standard error, waits up to a minute when KITPACK_STANDIN_WAIT
// is set (the launcher's job is to end it first; Ctrl+C ends the wait with
// exit code 42), and exits with KITPACK_STANDIN_EXIT (0 when unset).
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string utf8(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring variable(const wchar_t* name) {
  wchar_t value[1024];
  DWORD n = GetEnvironmentVariableW(name, value, 1024);
  return n && n < 1024 ? std::wstring(value, n) : std::wstring();
}

bool read_whole(const std::wstring& path, std::string& data) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  bool ok = GetFileSizeEx(f, &size) && size.QuadPart < (64 << 20);
  DWORD got = 0;
  if (ok) {
    data.assign(static_cast<size_t>(size.QuadPart), '\0');
    ok = ReadFile(f, data.data(), static_cast<DWORD>(data.size()), &got, nullptr) && got == data.size();
  }
  CloseHandle(f);
  return ok;
}

uint32_t u16(const std::string& d, size_t at) {
  return static_cast<uint8_t>(d[at]) | static_cast<uint8_t>(d[at + 1]) << 8;
}
uint32_t u32(const std::string& d, size_t at) { return u16(d, at) | u16(d, at + 2) << 16; }

// __main__.py of the zip archive at the end of data (a stored member), or why not.
std::string main_py(const std::string& d) {
  size_t end = d.rfind(std::string("PK\x05\x06", 4));
  if (end == std::string::npos || end + 22 > d.size()) return "no zip archive";
  // Offsets may count from the file's start or from the archive's.
  size_t directory = end - u32(d, end + 12);
  size_t shift = directory - u32(d, end + 16);
  for (size_t at = directory, i = 0; i < u16(d, end + 10) && at + 46 <= end; ++i) {
    size_t name_length = u16(d, at + 28);
    if (d.compare(at + 46, name_length, "__main__.py") == 0 && name_length == 11) {
      if (u16(d, at + 10) != 0) return "__main__.py is not stored";
      size_t local = shift + u32(d, at + 42);
      size_t data = local + 30 + u16(d, local + 26) + u16(d, local + 28);
      return d.substr(data, u32(d, at + 20));
    }
    at += 46 + name_length + u16(d, at + 30) + u16(d, at + 32);
  }
  return "no __main__.py";
}

BOOL WINAPI end_on_ctrl_c(DWORD event) {
  if (event == CTRL_C_EVENT) ExitProcess(42);
  return FALSE;
}

void write(DWORD which, const std::string& text) {
  DWORD written;
  WriteFile(GetStdHandle(which), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

int run() {
  const bool wait = !variable(L"KITPACK_STANDIN_WAIT").empty();
  if (wait) SetConsoleCtrlHandler(end_on_ctrl_c, TRUE);
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const wchar_t* line = GetCommandLineW();
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(line, &argc);
  std::string archive;
  std::string script = argc > 1 && read_whole(argv[1], archive) ? main_py(archive) : "no file at argv[1]";
  std::string report = utf8(self) + "\n" + utf8(line) + "\n" + std::to_string(GetCurrentProcessId()) + "\n" + script;
  std::wstring report_path = variable(L"KITPACK_STANDIN_REPORT");
  if (!report_path.empty()) {
    // Written under another name first, so that a reader never sees half of it.
    std::wstring partial = report_path + L".part";
    HANDLE f = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(f, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
    CloseHandle(f);
    MoveFileExW(partial.c_str(), report_path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  write(STD_OUTPUT_HANDLE, "stdout of python\n");
  if (!variable(L"KITPACK_STANDIN_ECHO").empty()) {
    char buffer[4096];
    DWORD got;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) && got)
      write(STD_OUTPUT_HANDLE, std::string(buffer, got));
  }
  write(STD_ERROR_HANDLE, "stderr of python\n");
  if (wait) Sleep(60000);
  return static_cast<int>(std::wcstoul(variable(L"KITPACK_STANDIN_EXIT").c_str(), nullptr, 10));
}

}  // namespace

int main() { ExitProcess(static_cast<UINT>(run())); }
