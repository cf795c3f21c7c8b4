// Registry fixtures of the Windows tests: registered Pythons, and whether a
// key exists.
#pragma once
#include <windows.h>

#include <string>

#include "support/test_files_win.h"

bool key_exists(HKEY root, const std::string& path);

// "Software\Python\PythonCore\<version>", where Python's installers register a version.
std::string python_core_key(const std::string& version);

// Removes PythonCore and Python when a test emptied them (a key with subkeys
// stays): other tests start from a registry without them.
void forget_empty_python_keys(HKEY root);

// A registered Python's folder as an installation has it: the folders Lib,
// Lib\site-packages and Scripts, and a copy of a DLL.
struct python_folder {
  std::string dll;       // copied into the folder as dll_name; empty: no DLL
  std::string dll_name;
  std::string folder;    // the Python's folder, inside the fresh one; empty: the fresh one itself
};

// Where a distributor registers a Python: Software\Python\<company>\<tag>,
// with a SysVersion value when one is given.
struct python_tag {
  const char* company;
  const char* tag;
  const char* sys_version;  // none: no value
};

// A Python version registered under root for a test's lifetime, as Python's
// installers register it (the default value of the version's InstallPath, a
// version of PythonCore unless a company's tag is given), installed (as far
// as the registry says) in a fresh folder.
class registered_python {
 public:
  // An empty folder, written with a trailing backslash as installers write it.
  registered_python(HKEY root, const char* version);
  // An installation in the folder, written as it is.
  registered_python(HKEY root, const char* version, const python_folder& install);
  registered_python(HKEY root, const python_tag& tag, const python_folder& install);
  ~registered_python();
  registered_python(const registered_python&) = delete;
  registered_python& operator=(const registered_python&) = delete;
  const std::string& dir() const { return dir_; }

 private:
  void write_install_path(const std::string& value);

  HKEY root_;
  std::string company_key_;
  std::string key_;
  temp_folder top_;
  std::string dir_;
};
