// Texts of the script steps that need no system: the compile statement, the
// compiled file's name, the post-install script's path, and the parse of a
// "Run Script" record ("300 Run Script: [python27.dll]C:\Python27\Scripts\x.py").
#pragma once
#include <cstddef>
#include <string_view>

// One compile run per module. The path never becomes Python source: the
// installer binds it as a str under this attribute of sys for the one
// statement and removes it afterwards, so no character of it (a quote, a
// last backslash, a line break) can change what the statement says.
inline constexpr char SOURCE_VALUE[] = "_kitpack_source";
inline constexpr char COMPILE_STATEMENT[] = "import sys, py_compile; py_compile.compile(sys._kitpack_source)";
// The compiled name's buffer: 260 for the path plus 64.
inline constexpr std::size_t COMPILE_COMMAND_WIDTH = 260 + 64;
// The longest source path a compile run takes, in the bytes the interpreter
// reads; a longer one fails like a file that does not compile.
inline constexpr std::size_t COMPILE_SOURCE_LIMIT = 280;

inline constexpr char PREINSTALL_FAILED_HEADER[] = "Running the pre-installation script failed\r\n";

// path with 'c' (optimize 0) or 'o' appended; false (and empty) when that
// does not fit width.
bool format_compiled_name(char* name, std::size_t width, const char* path, int optimize);

// python_dir "\Scripts\" script into a 260-byte path; false (and empty) when
// the whole path does not fit: a cut path would name another file.
bool format_postinstall_path(char* path, std::size_t width, const char* python_dir,
                             const char* script);

// Where the DLL name and the script path lie in a "Run Script" record: the
// name runs from after the first '[' to the first ']' after it, the path is
// the rest of the line.
struct run_script_record {
  bool found;
  std::size_t dll_begin;
  std::size_t dll_end;  // the ']'
  std::size_t path_begin;
};
run_script_record parse_run_script_record(std::string_view line);
