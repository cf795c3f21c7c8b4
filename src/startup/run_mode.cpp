#include "startup/run_mode.h"

#include "common/fixed_text.h"

run_mode choose_run_mode(bool package_opened, bool config_made, int argc) {
  if (package_opened) return run_mode::install;
  if (!config_made && argc > 1) return run_mode::uninstall;
  return run_mode::refuse;
}

const char* refusal_text(std::string_view module_path) {
  std::size_t slash = module_path.rfind('\\');
  if (slash != std::string_view::npos && module_path.substr(slash + 1).starts_with("Remove"))
    return "This program is normally started by windows";
  return "Setup program invalid or damaged";
}

void compose_error_text(char* dst, std::size_t width, std::string_view system_text,
                        std::string_view text) {
  copy_cut(dst, width, system_text);
  append_cut(dst, width, text);
}
