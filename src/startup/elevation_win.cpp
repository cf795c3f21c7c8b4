#include "startup/elevation_win.h"

#include <windows.h>
#include <shellapi.h>

#include "common/fixed_text.h"
#include "common/message_box_win.h"
#include "common/owner_win.h"
#include "common/program_win.h"
#include "common/python_registry_win.h"
#include "common/unattended_report.h"
#include "common/unattended_win.h"
#include "startup/command_line.h"
#include "startup/elevation.h"
#include "startup/setup_config.h"

bool is_user_admin() {
  // Looked up at run time: older shell32 versions lack the export. The
  // library stays loaded.
  HMODULE shell = LoadLibraryA("shell32.dll");
  if (!shell) return false;
  using is_admin_fn = BOOL(WINAPI*)();
  auto is_admin = reinterpret_cast<is_admin_fn>(
      reinterpret_cast<void*>(GetProcAddress(shell, "IsUserAnAdmin")));
  return is_admin && is_admin();
}

namespace {
// Visits with a flag as context: an all-users registration of the target
// with an InstallPath key was found.
void note_install_path(const python_registration& found, void* context) {
  unique_hkey install_path;
  if (RegOpenKeyExA(found.tag_key, INSTALL_PATH_SUBKEY, 0, KEY_READ, install_path.put()) == ERROR_SUCCESS)
    *static_cast<bool*>(context) = true;
}
}  // namespace

bool target_python_needs_admin() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return false;
  if (!target_version_check_applies(version.dwMajorVersion, setup_config.target_version))
    return false;
  bool registered = false;
  walk_python_registrations(HKEY_LOCAL_MACHINE, setup_config.target_version, note_install_path, &registered);
  return registered;
}

namespace {
void report_failed_start(INT_PTR result) {
  char text[128];
  format_cut(text, sizeof text, "Failed to start elevated process (ShellExecute returned %d)",
             static_cast<int>(result));
  show_message_box(nullptr, text, "Setup", MB_ICONERROR | MB_OK);
}
}  // namespace

void restart_elevated() {
  auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, "runas", module_path, "", nullptr, SW_SHOWNORMAL));
  if (result <= 32) report_failed_start(result);
}

elevated_copy restart_elevated_and_wait(const char* parameters) {
  // The copy starts in this run's directory, so that a relative /REPORT= path
  // names the same file for it.
  char directory[MAX_PATH];
  DWORD length = GetCurrentDirectoryA(sizeof directory, directory);
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = "runas";
  info.lpFile = module_path;
  info.lpParameters = parameters;
  info.lpDirectory = length > 0 && length < sizeof directory ? directory : nullptr;
  info.nShow = SW_SHOWNORMAL;
  bool started = ShellExecuteExA(&info) != FALSE;
  unique_handle process(info.hProcess);
  if (!started || !process) {
    report_failed_start(reinterpret_cast<INT_PTR>(info.hInstApp));
    return {};
  }
  DWORD exit_code = 0;
  if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process.get(), &exit_code))
    return {};
  return {true, exit_code};
}

elevation_outcome apply_user_access_control() {
  if (!needs_elevated_restart(setup_config.user_access_control,
                              {is_user_admin, target_python_needs_admin}))
    return {};
  if (!unattended_run) {
    restart_elevated();
    return {true, 0, false};
  }
  elevated_copy copy = restart_elevated_and_wait(arguments_after_program(GetCommandLineA()));
  if (!copy.ran) return {true, static_cast<int>(install_exit::not_elevated), false};
  return {true, static_cast<int>(copy.exit_code), true};
}
