// What differs for an interpreter of major version 3 and above, free of
// system calls: the version a recorded DLL name stands for, where each
// compile pass puts the compiled file, the statements that compile into
// the cache and point the interpreter's output at the capture file, and the processor a DLL is for.
//
// Compiled file of <dir>\<stem>.py (XY = major and minor, as in python312.dll):
//
//   before 3.0, 3.0 and 3.1   <dir>\<stem>.pyc   or .pyo when optimizing
//   3.2 to 3.4                <dir>\__pycache__\<stem>.cpython-XY.pyc   or .pyo
//   3.5 and later             <dir>\__pycache__\<stem>.cpython-XY.pyc   or .opt-1.pyc
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

inline constexpr char PYCACHE_DIR[] = "__pycache__";

// The major version of a DLL name "python<major><minor>.dll" (the case of
// "python" aside): python312.dll is 3, python27.dll 2; 0 when no digit follows.
int python_major_of_dll(std::string_view dll_name);

// Where one compile pass writes the compiled file of source.
struct compiled_file {
  bool ok;             // false when a path does not fit its buffer
  bool in_cache;       // the file lies in <dir>\__pycache__
  char cache_dir[260]; // that folder, when in_cache
  char path[324];      // the compiled file's full path
};
compiled_file plan_compiled_file(const char* source, int major, int minor, int optimize);

// Whether this interpreter writes the compiled file where the installer asks
// (py_compile's cfile and optimize arguments, 3.2 and later) rather than next
// to the source, as Py_OptimizeFlag says.
bool compiles_into_cache(int major, int minor);

// The compile statement that names the compiled file too: the installer
// binds both paths under sys (the source as SOURCE_VALUE) for the one run.
// Level 0 or 1; any non-zero optimize is 1.
inline constexpr char COMPILED_VALUE[] = "_kitpack_compiled";
const char* cache_compile_statement(int optimize);
// The longest source and compiled path together that a cache compile run
// takes, in the bytes the interpreter reads.
inline constexpr std::size_t CACHE_COMPILE_PATHS_LIMIT = 1686;

// Points sys.stdout and sys.stderr at one stream appending to the capture
// file, which the installer binds under sys as OUTPUT_VALUE (in the ANSI
// code page, its characters that the code page lacks replaced).
inline constexpr char OUTPUT_VALUE[] = "_kitpack_output";
inline constexpr char OUTPUT_REDIRECT_STATEMENT[] =
    "import sys\n"
    "sys.stdout = open(sys._kitpack_output, 'a', 1, 'mbcs', 'replace')\n"
    "sys.stderr = sys.stdout\n";
// The longest capture file path the redirection takes, as the interpreter reads it.
inline constexpr std::size_t OUTPUT_PATH_LIMIT = 822;

// Flushes and closes what the script's output went to, so that the capture
// file is complete and free to be read and deleted once the run ends.
inline constexpr char OUTPUT_CLOSE_STATEMENT[] =
    "import sys\n"
    "try:\n"
    "    sys.stdout.flush()\n"
    "    sys.stderr.flush()\n"
    "    sys.stdout.close()\n"
    "    sys.stderr.close()\n"
    "except Exception:\n"
    "    pass\n";

// The machine field of a Windows executable's header (0x14C i386, 0x8664
// x64, 0xAA64 arm64); 0 when bytes do not hold one.
std::uint16_t pe_machine(std::span<const std::byte> bytes);
