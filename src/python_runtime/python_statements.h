// The statements the installer runs in an interpreter, and the names under
// sys that they read their paths from. No path ever becomes Python source:
// the installer binds each as a str under an attribute of sys for the one
// statement and removes it afterwards, so no character of it (a quote, a
// last backslash, a line break) can change what the statement says.
#pragma once
#include <cstddef>

// One compile run per module, next to the source, as Py_OptimizeFlag says.
inline constexpr char SOURCE_VALUE[] = "_kitpack_source";
inline constexpr char COMPILE_STATEMENT[] = "import sys, py_compile; py_compile.compile(sys._kitpack_source)";
// The longest source path a compile run takes, in the bytes the interpreter
// reads; a longer one fails like a file that does not compile.
inline constexpr std::size_t COMPILE_SOURCE_LIMIT = 280;

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
