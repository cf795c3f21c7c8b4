#include "startup/run_mode.h"

run_mode choose_run_mode(bool package_opened, bool config_made, int argc, bool silent_install) {
  if (package_opened) return run_mode::install;
  if (!config_made && argc > 1 && !silent_install) return run_mode::uninstall;
  return run_mode::refuse;
}

const char* refusal_text(std::string_view module_path) {
  std::size_t slash = module_path.rfind('\\');
  if (slash != std::string_view::npos && module_path.substr(slash + 1).starts_with("Remove"))
    return "This program is normally started by windows";
  return "Setup program invalid or damaged";
}

