#include "record/uninstall_registration.h"

#include "common/fixed_text.h"

bool format_package_key_name(char* dst, std::size_t width, const char* meta_name, int major, int minor) {
  return format_whole(dst, width, PACKAGE_KEY_FORMAT, meta_name, major, minor);
}

bool format_display_name(char* dst, std::size_t width, int major, int minor, const char* title) {
  return format_whole(dst, width, DISPLAY_NAME_FORMAT, major, minor, title);
}

bool format_uninstall_string(char* dst, std::size_t width, const char* python_dir, const char* meta_name) {
  return format_whole(dst, width, UNINSTALL_STRING_FORMAT, python_dir, meta_name, python_dir, meta_name);
}

bool format_quiet_uninstall_string(char* dst, std::size_t width, const char* python_dir,
                                   const char* meta_name) {
  if (format_uninstall_string(dst, width, python_dir, meta_name) && append_cut(dst, width, QUIET_SWITCH))
    return true;
  if (width) dst[0] = '\0';
  return false;
}

bool format_uninstaller_path(char* dst, std::size_t width, const char* python_dir, const char* meta_name) {
  return format_whole(dst, width, UNINSTALLER_PATH_FORMAT, python_dir, meta_name);
}

bool format_install_log_path(char* dst, std::size_t width, const char* python_dir, const char* meta_name) {
  return format_whole(dst, width, INSTALL_LOG_PATH_FORMAT, python_dir, meta_name);
}

const char* root_key_log_name(bool local_machine) {
  return local_machine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

uninstall_key_action decide_uninstall_key(long open_result) {
  constexpr long access_denied = 5;  // ERROR_ACCESS_DENIED
  if (open_result == 0) return uninstall_key_action::go_on;
  if (open_result == access_denied) return uninstall_key_action::refuse;
  return uninstall_key_action::report_and_go_on;
}
