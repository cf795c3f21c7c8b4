#include "wizard/unattended_install_win.h"

#include <windows.h>

#include "archive/extract_archive_win.h"
#include "common/install_status.h"
#include "common/unattended_win.h"
#include "python_runtime/install_scripts_win.h"
#include "python_runtime/python_discovery.h"
#include "python_runtime/python_discovery_win.h"
#include "startup/setup_config.h"
#include "wizard/install_sequence_win.h"

namespace {
void show_nothing(const char*) {}
void show_no_count(unsigned) {}
const progress_sink no_page = {show_nothing, show_nothing, show_no_count, show_no_count};

// The rows are put into a list box of the same kind as the select page's, so
// that they sort exactly as there and the same row is preselected. It is a
// message-only window: never shown, and no top-level window of the process.
// It lives to the end of the run, since the rows own the installations.
bool choose_python(const char* version) {
  HWND list = CreateWindowExA(0, "LISTBOX", nullptr, LBS_SORT, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  const char* target = setup_config.target_version;
  int row = LB_ERR;
  if (list) {
    list_all_python_installs(list, target);
    row = preselected_python_row(list, version);
  }
  if (row == LB_ERR) {
    char text[512];
    format_no_python_text(text, sizeof text, target, setup_config.python_requires, version);
    add_to_report(text);
    return false;
  }
  char install_dir[MAX_PATH * 2];
  apply_python_selection(list, row, install_target(), install_dir, sizeof install_dir);
  return true;
}

install_exit exit_for(sequence_outcome outcome) {
  switch (outcome) {
    case sequence_outcome::done: return install_exit::installed;
    // The Uninstall key refused access: the rights of an administrator are missing.
    case sequence_outcome::not_registered: return install_exit::not_elevated;
    case sequence_outcome::preinstall_failed: return install_exit::preinstall_failed;
    case sequence_outcome::extraction_failed: return install_exit::extraction_failed;
  }
  return install_exit::extraction_failed;
}
}  // namespace

install_exit run_unattended_install(const char* python_version, std::span<const std::byte> installer_image) {
  if (!choose_python(python_version)) return install_exit::no_python;
  install_exit code = exit_for(run_install_sequence(nullptr, no_page, installer_image));
  if (!install_ok) {
    add_to_report(failure_text ? failure_text : "Installation failed.");
    return code;
  }
  char output[SHOWN_OUTPUT + 1];
  postinstall_result script = run_postinstall(install_target(), output);
  add_to_report(output);
  // The wizard goes on past a member it could not write, as the finish page
  // shows; software management must learn that files are missing.
  if (members_not_written > 0) return install_exit::extraction_failed;
  return script == postinstall_result::failed ? install_exit::postinstall_failed : code;
}
