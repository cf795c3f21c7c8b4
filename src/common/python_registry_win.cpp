#include "common/python_registry_win.h"

#include "common/fixed_text.h"
#include "common/owner_win.h"

namespace {

// The tag's SysVersion as a string; empty when it is missing, no string, or
// too long to be "X.Y".
void read_sys_version(HKEY tag_key, char (&text)[SYS_VERSION_WIDTH]) {
  DWORD type = 0;
  DWORD size = sizeof text - 1;
  if (RegQueryValueExA(tag_key, SYS_VERSION_VALUE, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    size = 0;
  text[size] = '\0';
}

// The name of key's subkey number index, enumerated into the name width;
// false from the first index that cannot be read on.
bool subkey_name(HKEY key, DWORD index, char (&name)[REGISTRY_NAME_WIDTH]) {
  DWORD length = sizeof name;
  return RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

struct walk {
  HKEY root;
  std::string_view target_version;
  registration_visit visit;
  void* context;
};

void visit_tag(const walk& w, const char* company, bool python_core, const char* tag) {
  char key_path[TAG_KEY_WIDTH];
  if (!format_whole(key_path, sizeof key_path, TAG_KEY_FORMAT, company, tag)) return;
  unique_hkey tag_key;
  if (RegOpenKeyExA(w.root, key_path, 0, KEY_READ, tag_key.put()) != ERROR_SUCCESS) return;
  char sys_version[SYS_VERSION_WIDTH];
  read_sys_version(tag_key.get(), sys_version);
  registered_version version = registration_version(python_core, tag, sys_version);
  if ((!python_core && version.numbers < 2) || !version_accepted(w.target_version, tag, version)) return;
  w.visit({w.root, company, tag, python_core, tag_key.get(), version}, w.context);
}

void walk_company(const walk& w, HKEY python, const char* company) {
  bool python_core = lstrcmpiA(company, PYTHON_CORE_COMPANY) == 0;
  unique_hkey company_key;
  if (RegOpenKeyExA(python, company, 0, KEY_READ, company_key.put()) != ERROR_SUCCESS) return;
  char tag[REGISTRY_NAME_WIDTH];
  for (DWORD index = 0; subkey_name(company_key.get(), index, tag); ++index)
    visit_tag(w, company, python_core, tag);
}

}  // namespace

bool walk_python_registrations(HKEY root, std::string_view target_version, registration_visit visit,
                               void* context) {
  unique_hkey python;
  if (RegOpenKeyExA(root, PYTHON_KEY, 0, KEY_READ, python.put()) != ERROR_SUCCESS) return false;
  const walk w{root, target_version, visit, context};
  walk_company(w, python.get(), PYTHON_CORE_COMPANY);
  char company[REGISTRY_NAME_WIDTH];
  for (DWORD index = 0; subkey_name(python.get(), index, company); ++index)
    if (lstrcmpiA(company, PYTHON_CORE_COMPANY) != 0) walk_company(w, python.get(), company);
  return true;
}
