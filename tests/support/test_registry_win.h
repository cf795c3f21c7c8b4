// Registry fixtures of the Windows tests: registered Pythons, and whether a
// key exists.
#pragma once
#include <windows.h>

#include <string>

#include "support/test_files_win.h"

bool key_exists(HKEY root, const std::string& path);

// Removes PythonCore and Python when a test emptied them (a key with subkeys
// stays): other tests start from a registry without them.
void forget_empty_python_keys(HKEY root);

// A Python version registered under root for a test's lifetime, as Python's
// installers register it ("Software\Python\PythonCore\<version>\InstallPath"),
// installed (as far as the registry says) in a fresh folder.
class registered_python {
 public:
  registered_python(HKEY root, const char* version);
  ~registered_python();
  registered_python(const registered_python&) = delete;
  registered_python& operator=(const registered_python&) = delete;
  const std::string& dir() const { return dir_.path(); }

 private:
  HKEY root_;
  std::string key_;
  temp_folder dir_;
};
