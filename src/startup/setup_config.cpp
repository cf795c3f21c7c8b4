#include "startup/setup_config.h"

setup_config_fields setup_config;

bool is_known_uac_value(std::string_view value) {
  return value.empty() || value == "force" || value == "auto" || value == "none";
}
