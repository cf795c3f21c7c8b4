// The package's settings, read once from the cfgdata text at the start of
// install mode and only read afterwards. Widths count the terminating NUL.
//
//   [Setup]    title (80, escapes expanded), info (4096, escapes expanded),
//              build_info (80), target_compile (int, 1), target_optimize
//              (int, 1), target_version (10), python_requires (256: a
//              version specifier set over the Python's X.Y, ">=3.9,<4"),
//              install_script (260), user_access_control (10: "force",
//              "auto", "none" or empty)
//   [metadata] name (80) -> meta_name
#pragma once
#include <string_view>

struct setup_config_fields {
  char title[80];
  char info[4096];
  char build_info[80];
  int target_compile;
  int target_optimize;
  char target_version[10];
  char python_requires[256];
  char meta_name[80];
  char install_script[260];
  char user_access_control[10];
};

extern setup_config_fields setup_config;

// Empty, "force", "auto" and "none" are known (byte-exact, case-sensitive).
bool is_known_uac_value(std::string_view value);
