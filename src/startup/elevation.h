// When the installer must restart itself as an administrator, decided from the
// package's user_access_control setting:
//
//   value                  test                                         restart
//   "force"                not an administrator                         yes
//   "auto"                 not an administrator, and the target Python  yes
//                          is registered for all users (asked only for
//                          a non-administrator)
//   "none", "", any other  none                                         no
#pragma once
#include <string_view>

// The two tests, asked only when the table needs them.
struct elevation_tests {
  bool (*is_user_admin)();
  bool (*target_python_needs_admin)();
};

bool needs_elevated_restart(std::string_view user_access_control, const elevation_tests& tests);

// Whether the all-users registration of target_version decides anything:
// only from system major version 5 on, and only for a package that names a
// Python version.
bool target_version_check_applies(unsigned system_major_version, std::string_view target_version);
