#include "support/command_run_win.h"

#include "common/owner_win.h"
#include "driver/driver_win.h"
#include "support/test_files_win.h"

std::wstring wide(const std::string& utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string utf8(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::string read_wide_file(const std::wstring& path) {
  unique_file f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr));
  std::string data;
  char buffer[65536];
  DWORD got;
  while (f && ReadFile(f.get(), buffer, sizeof buffer, &got, nullptr) && got) data.append(buffer, got);
  return data;
}

bool write_wide_file(const std::wstring& path, const std::string& data) {
  unique_file f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return f && WriteFile(f.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
         written == data.size();
}

scoped_variable::scoped_variable(const wchar_t* name, const std::wstring& value) : name_(name) {
  SetEnvironmentVariableW(name, value.c_str());
}
scoped_variable::~scoped_variable() { SetEnvironmentVariableW(name_, nullptr); }

namespace {
unique_file inheritable_file(const std::string& path, bool write) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return unique_file(CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, write ? CREATE_ALWAYS : OPEN_EXISTING,
                                 0, nullptr));
}
}  // namespace

command_result run_command(const std::wstring& exe, const std::wstring& arguments, const std::string& input) {
  temp_folder files;
  write_file(files / "in", input);
  command_result result;
  {
    unique_file in = inheritable_file(files / "in", false), out = inheritable_file(files / "out", true),
                err = inheritable_file(files / "err", true);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.get();
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    std::wstring line = L"\"" + exe + L"\"" + arguments;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
      return result;
    unique_handle process(info.hProcess), thread(info.hThread);
    DWORD code = 0;
    if (WaitForSingleObject(process.get(), scaled_timeout(20000)) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(process.get(), &code))
      result.exit_code = static_cast<long>(code);
    else
      TerminateProcess(process.get(), 99);
  }
  result.out = read_file(files / "out");
  result.err = read_file(files / "err");
  return result;
}
