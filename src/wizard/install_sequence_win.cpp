#include "wizard/install_sequence_win.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstring>

#include "archive/extract_archive_win.h"
#include "python_runtime/compile_pass_win.h"
#include "python_runtime/install_scripts_win.h"
#include "python_runtime/python_discovery.h"
#include "python_runtime/python_discovery_win.h"
#include "record/notify_win.h"
#include "record/replace_distributions_win.h"
#include "record/uninstall_registration_win.h"
#include "startup/package_image_win.h"
#include "startup/setup_config.h"
#include "wizard/install_status_win.h"

const install_steps program_install_steps = {
    check_root_key,   open_install_record, select_scheme,
    run_preinstall_script, extract_archive, run_compile_pass,
    replace_installed_distributions, is_kept_member, finish_replacement,
};

namespace {
chosen_python chosen;
}  // namespace

chosen_python& install_target() { return chosen; }

void strip_trailing_backslash(char* dir) {
  std::size_t n = std::strlen(dir);
  if (n > 0 && dir[n - 1] == '\\') dir[n - 1] = '\0';
}

namespace {
// Nothing may start another page change or a second sequence from now on:
// the messages dispatched while files are written can only repaint.
void lock_wizard(HWND install_page) {
  if (!install_page) return;
  HWND sheet = GetParent(install_page);
  PostMessageA(sheet, PSM_SETWIZBUTTONS, 0, 0);
  SendMessageA(sheet, PSM_CANCELTOCLOSE, 0, 0);
}

void compile_pass(const install_steps& steps, const chosen_python& target, const char* step_line,
                  int optimize) {
  show_step_text(step_line);
  steps.run_compile_pass(target, optimize);
}

// Ends the replacement of installed distributions, whose outcome follows
// the installation's: kept for good, or put back.
sequence_outcome end_replacement(const install_steps& steps, sequence_outcome outcome) {
  if (steps.finish_replacement) steps.finish_replacement(install_ok != 0);
  return outcome;
}
}  // namespace

sequence_outcome run_install_sequence(HWND install_page, const progress_sink& sink,
                                      std::span<const std::byte> installer_image,
                                      const install_steps& steps) {
  // The log and the sink meet here: the records go to the log through
  // notify, which hands the progress on to the sink.
  progress_page = install_page;
  install_sink = &sink;
  install_ok = 1;
  lock_wizard(install_page);
  chosen_python& target = chosen;
  strip_trailing_backslash(target.python_dir);
  target.root_hkey = steps.check_root_key(install_page, target.root_hkey);
  if (!steps.open_install_record(target, installer_image)) {
    // Nothing was registered, so nothing may be installed either: the finish
    // page shows "Installation failed." and runs no script.
    install_ok = 0;
    return sequence_outcome::not_registered;
  }
  const scheme_entry* scheme = steps.select_scheme(target.py_major, target.py_minor);
  if (preinstall_script && preinstall_script[0]) {
    show_step_text("Running pre-installation script");
    steps.run_preinstall_script(target, preinstall_script);
    if (!install_ok) return sequence_outcome::preinstall_failed;
  }
  show_step_text("Installing files...");
  if (steps.replace_installed_distributions &&
      !steps.replace_installed_distributions(target, scheme, installer_image))
    return end_replacement(steps, sequence_outcome::extraction_failed);
  int extracted =
      steps.extract_archive(scheme, target.python_dir, installer_image, notify, steps.is_kept_member);
  if (install_page) show_pending_progress(install_page);
  if (!extracted) {
    set_failure("Failed to unzip installation files");
    return end_replacement(steps, sequence_outcome::extraction_failed);
  }
  if (setup_config.target_compile) compile_pass(steps, target, "Compiling files to .pyc...", 0);
  if (install_ok && setup_config.target_optimize) compile_pass(steps, target, "Compiling files to .pyo...", 1);
  return end_replacement(steps, sequence_outcome::done);
}
