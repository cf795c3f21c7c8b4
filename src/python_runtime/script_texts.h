// Texts of the script steps that need no system: the compile command, the
// compiled file's name, the post-install script's path, and the parse of a
// "Run Script" record ("300 Run Script: [python27.dll]C:\Python27\Scripts\x.py").
#pragma once
#include <cstddef>
#include <string_view>

// One compile run per module; a quote in the path makes it invalid Python,
// which then fails and is counted like any other failure.
inline constexpr char COMPILE_COMMAND[] = "import py_compile; py_compile.compile (r'%s')";
inline constexpr std::size_t COMPILE_COMMAND_WIDTH = 260 + 64;

inline constexpr char PREINSTALL_FAILED_HEADER[] = "Running the pre-installation script failed\r\n";

// The compile command for path, cut to COMPILE_COMMAND_WIDTH.
void format_compile_command(char (&command)[COMPILE_COMMAND_WIDTH], const char* path);

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
