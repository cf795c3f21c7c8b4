// Texts of the script steps that need no system: the post-install script's
// path, and the parse of a "Run Script" record ("300 Run Script: [python27.dll]C:\Python27\Scripts\x.py").
#pragma once
#include <cstddef>
#include <string_view>

inline constexpr char PREINSTALL_FAILED_HEADER[] = "Running the pre-installation script failed\r\n";

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
