// Stand-ins that let the uninstaller link until the Python runtime's own
// definitions are part of the build; this file goes when they arrive (the
// link then reports both, so it cannot be forgotten). Weak definitions would
// not do: the linker does not take them out of the object archives.
#include "common/owner_win.h"
#include "python_runtime/install_scripts_win.h"
#include "python_runtime/python_discovery_win.h"

bool hklm_uninstall_writable() {
  unique_hkey key;
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                       0, KEY_CREATE_SUB_KEY, key.put()) == ERROR_SUCCESS;
}

int run_uninstall_script(char*) { return 0; }
