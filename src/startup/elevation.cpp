#include "startup/elevation.h"

bool needs_elevated_restart(std::string_view user_access_control, const elevation_tests& tests) {
  if (user_access_control == "force") return !tests.is_user_admin();
  if (user_access_control == "auto")
    return !tests.is_user_admin() && tests.target_python_needs_admin();
  return false;
}

bool target_version_check_applies(unsigned system_major_version, std::string_view target_version) {
  return system_major_version >= 5 && !target_version.empty();
}
