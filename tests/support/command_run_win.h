// Runs a console program as a command prompt does, for the tests of the
// command launchers: wide command line, standard handles from and into files,
// a bounded wait. Also the UTF-8 and wide-path helpers those tests share.
#pragma once
#include <windows.h>

#include <string>

std::wstring wide(const std::string& utf8);
std::string utf8(const std::wstring& text);
// The whole file, or "" when it cannot be read.
std::string read_wide_file(const std::wstring& path);
bool write_wide_file(const std::wstring& path, const std::string& data);

// Sets an environment variable, which the programs the test starts inherit,
// for the scope.
class scoped_variable {
 public:
  scoped_variable(const wchar_t* name, const std::wstring& value);
  ~scoped_variable();
  scoped_variable(const scoped_variable&) = delete;
  scoped_variable& operator=(const scoped_variable&) = delete;

 private:
  const wchar_t* name_;
};

struct command_result {
  long exit_code = -1;  // -1: it did not end within the wait
  std::string out, err;
};

// Runs "EXE"ARGUMENTS (arguments as they stand after the quoted name) with
// standard input from a file holding input and standard output and error into
// files, and waits 20 s (scaled) for it to end; ends it when it does not.
command_result run_command(const std::wstring& exe, const std::wstring& arguments, const std::string& input = "");
