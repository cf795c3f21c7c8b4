// Where each compile pass puts the compiled file of a module, for every
// interpreter version (python_traits.h says which layout a version has).
// The name in __pycache__ carries the interpreter's cache tag, "cpython-XY"
// (its name and version); a free-threaded build (pythonXYt.dll) is the same
// implementation and version, so its files take the same names: the "t"
// marks only its DLL and its extension modules' ABI.
#pragma once
#include <cstddef>

inline constexpr char PYCACHE_DIR[] = "__pycache__";

// The compiled name's buffer: 260 for the path plus 64.
inline constexpr std::size_t COMPILE_COMMAND_WIDTH = 260 + 64;

// path with 'c' (optimize 0) or 'o' appended; false (and empty) when that
// does not fit width.
bool format_compiled_name(char* name, std::size_t width, const char* path, int optimize);

// Where one compile pass writes the compiled file of source.
struct compiled_file {
  bool ok;             // false when a path does not fit its buffer
  bool in_cache;       // the file lies in <dir>\__pycache__
  char cache_dir[260]; // that folder, when in_cache
  char path[COMPILE_COMMAND_WIDTH];  // the compiled file's full path
};
compiled_file plan_compiled_file(const char* source, int major, int minor, int optimize);

// Whether this interpreter writes the compiled file where the installer asks
// (py_compile's cfile and optimize arguments, 3.2 and later) rather than next
// to the source, as Py_OptimizeFlag says.
bool compiles_into_cache(int major, int minor);
