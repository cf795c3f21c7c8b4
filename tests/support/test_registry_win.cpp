#include "support/test_registry_win.h"

#include <gtest/gtest.h>

#include "common/owner_win.h"

bool key_exists(HKEY root, const std::string& path) {
  unique_hkey key;
  return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void forget_empty_python_keys(HKEY root) {
  RegDeleteKeyA(root, "Software\\Python\\PythonCore");
  RegDeleteKeyA(root, "Software\\Python");
}

registered_python::registered_python(HKEY root, const char* version)
    : root_(root), key_(std::string("Software\\Python\\PythonCore\\") + version) {
  unique_hkey key;
  EXPECT_EQ(RegCreateKeyExA(root, (key_ + "\\InstallPath").c_str(), 0, nullptr, 0, KEY_WRITE,
                            nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  std::string value = dir_.path() + "\\";  // as installers register it
  RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}

registered_python::~registered_python() {
  RegDeleteTreeA(root_, key_.c_str());
  forget_empty_python_keys(root_);
}
