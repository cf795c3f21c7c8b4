// The launcher's texts, worked out without any Windows call: where its
// arguments start in its command line, which folder holds its Python, and the
// command line that starts that Python. Every function works on wide texts of
// a stated length and writes only inside the buffer it is given.
//
// A launcher is Scripts\NAME.exe of a Python installation with a zip archive
// appended; Python runs the file itself as a zip application:
//
//   C:\Py\Scripts\tool.exe a "b c"        what the user ran
//   "C:\Py\python.exe" "C:\Py\Scripts\tool.exe" a "b c"   what the launcher runs
#pragma once
#include <cstddef>

namespace launcher {

struct wide_text {
  const wchar_t* text;
  std::size_t length;
};

// The part of a NUL-terminated command line after its program name: from the
// first blank (space or tab) outside double quotes to the end, or empty. It is
// passed on as it stands, so quoting, backslashes and empty arguments reach
// the child exactly as the user wrote them.
wide_text arguments_of(const wchar_t* command_line);

// The length of the Python folder of a launcher at module_path: the folder
// above the launcher's own folder ("C:\Py" for "C:\Py\Scripts\tool.exe").
// 0 when the path has no such folder.
std::size_t python_dir_length(wide_text module_path);

// Writes "\"PYTHON\" \"SCRIPT\"" followed by arguments, NUL-terminated, into
// out (capacity characters, NUL included). Returns the length written, or 0
// when it does not fit (out is then left as an empty text when capacity > 0).
std::size_t child_command_line(wide_text python, wide_text script, wide_text arguments, wchar_t* out,
                               std::size_t capacity);

}  // namespace launcher
