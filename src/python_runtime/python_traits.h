// Everything that differs between the interpreter versions the installer
// runs, free of system calls. The shell reads these fields; no other code
// compares version numbers.
//
//   version      setters  builtins      text   output  compiled file        DLL search           scheme
//   before 2.2   narrow   __builtin__   ANSI   stream  beside, .pyc/.pyo    system, InstallPath  legacy
//   2.2 to 2.7   narrow   __builtin__   ANSI   stream  beside, .pyc/.pyo    system, InstallPath  site-packages
//   3.0, 3.1     wide     builtins      UTF-8  inside  beside, .pyc/.pyo    own dir, system      site-packages
//   3.2 to 3.4   wide     builtins      UTF-8  inside  cache, .pyc/.pyo     own dir, system      site-packages
//   3.5 on       wide     builtins      UTF-8  inside  cache, .opt-1.pyc    own dir, system      site-packages
#pragma once
#include "archive/install_scheme.h"

// Where a compile pass puts the compiled file of <dir>\<stem>.py (XY = major
// and minor, as in python312.dll).
enum class compiled_layout {
  beside_source,  // <dir>\<stem>.pyc, or .pyo when optimizing
  cache_pyo,      // <dir>\__pycache__\<stem>.cpython-XY.pyc, or .pyo
  cache_opt_pyc,  // <dir>\__pycache__\<stem>.cpython-XY.pyc, or .opt-1.pyc
};

// Where the interpreter DLL is looked for, in order. Never the plain search
// order: it starts in the installer's own directory.
enum class dll_search {
  system_then_install_path,  // the system directory, then the InstallPath key's directory
  own_dir_then_system,       // the chosen installation's directory, then the system directory
};

struct python_traits {
  // Py_SetProgramName and PySys_SetArgv take wide strings.
  bool wide_setters;
  // The runs need Py_SetProgramName, PySys_SetArgv and Py_OptimizeFlag; a
  // later interpreter may lack them (deprecated) and gets what they set
  // another way: the level with each compiled file, sys.argv through sys.
  bool needs_legacy_setters;
  // The module whose attributes are global names in every script.
  const char* builtins_module;
  // char strings across the boundary are UTF-8, not the ANSI code page.
  bool utf8_text;
  // The interpreter writes through a runtime library of its own, which the
  // capture of the installer's streams does not reach: its sys.stdout and
  // sys.stderr are pointed at the capture file from inside.
  bool redirects_output_inside;
  compiled_layout compiled;
  dll_search search;
  const scheme_entry* scheme;
};

// The traits of an interpreter of version major.minor; versions beyond the
// last known one behave like it.
python_traits python_traits_for(int major, int minor);
