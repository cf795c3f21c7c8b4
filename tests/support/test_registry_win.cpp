#include "support/test_registry_win.h"

#include <gtest/gtest.h>

#include "common/owner_win.h"

bool key_exists(HKEY root, const std::string& path) {
  unique_hkey key;
  return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::string python_core_key(const std::string& version) { return "Software\\Python\\PythonCore\\" + version; }

void forget_empty_python_keys(HKEY root) {
  RegDeleteKeyA(root, "Software\\Python\\PythonCore");
  RegDeleteKeyA(root, "Software\\Python");
}

registered_python::registered_python(HKEY root, const char* version)
    : root_(root),
      company_key_("Software\\Python\\PythonCore"),
      key_(python_core_key(version)),
      dir_(top_.path()) {
  write_install_path(dir_ + "\\");
}

registered_python::registered_python(HKEY root, const char* version, const python_folder& install)
    : registered_python(root, {"PythonCore", version, nullptr}, install) {}

registered_python::registered_python(HKEY root, const python_tag& tag, const python_folder& install)
    : root_(root),
      company_key_(std::string("Software\\Python\\") + tag.company),
      key_(company_key_ + "\\" + tag.tag),
      dir_(install.folder.empty() ? top_.path() : top_ / install.folder) {
  CreateDirectoryA(dir_.c_str(), nullptr);
  for (const char* sub : {"\\Lib", "\\Lib\\site-packages", "\\Scripts"})
    CreateDirectoryA((dir_ + sub).c_str(), nullptr);
  if (!install.dll.empty()) CopyFileA(install.dll.c_str(), (dir_ + "\\" + install.dll_name).c_str(), FALSE);
  write_install_path(dir_);
  if (tag.sys_version)
    RegSetKeyValueA(root_, key_.c_str(), "SysVersion", REG_SZ, tag.sys_version,
                    static_cast<DWORD>(std::string(tag.sys_version).size() + 1));
}

void registered_python::write_install_path(const std::string& value) {
  unique_hkey key;
  EXPECT_EQ(RegCreateKeyExA(root_, (key_ + "\\InstallPath").c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            key.put(), nullptr),
            ERROR_SUCCESS)
      << key_;
  RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}

registered_python::~registered_python() {
  RegDeleteTreeA(root_, key_.c_str());
  RegDeleteKeyA(root_, company_key_.c_str());
  forget_empty_python_keys(root_);
}
