#include "python_runtime/install_scripts_win.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/fixed_text.h"
#include "common/install_status.h"
#include "common/message_box_win.h"
#include "python_runtime/interpreter_win.h"
#include "python_runtime/output_capture_win.h"
#include "python_runtime/python_discovery.h"
#include "python_runtime/script_texts.h"
#include "record/install_log_win.h"
#include "resources/resource_ids.h"
#include "startup/setup_config.h"

static char last_uninstall_script[MAX_PATH];

int run_preinstall_script(const chosen_python& target, const char* script) {
  output_capture capture(false);
  int rc;
  {
    loaded_python python = load_python_dll(target);
    if (!python) {
      char reason[128];
      format_cut(reason, sizeof reason, "Can't load Python for pre-install script (%d)",
                 static_cast<int>(GetLastError()));
      capture.end();
      set_failure(reason);
      return -1;
    }
    python.output_path = capture.name();
    rc = run_simple_string(python, script);
  }
  capture.end();
  if (rc != 0) {
    unique_heap_text reason = capture.read_all_after(PREINSTALL_FAILED_HEADER);
    set_failure(reason ? reason.get() : "Out of memory!");
  }
  return rc;
}

// Runs the script under the wait cursor and puts what it printed into output;
// false when it did not run to its end without an exception.
static bool run_postinstall_file(const chosen_python& target, char* path,
                                 char (&output)[SHOWN_OUTPUT + 1]) {
  output_capture capture(true);
  HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  char install_argument[] = "-install";
  char* argv[] = {path, install_argument, nullptr};
  int rc = -1;
  if (loaded_python python = load_python_dll(target)) {
    python.output_path = capture.name();
    rc = run_installscript(python, path, 2, argv);
    if (rc == -1) {
      char line[64];
      format_cut(line, sizeof line, "*** run_installscript: internal error 0x%X ***\n",
                 static_cast<unsigned>(rc));
      std::fputs(line, stderr);
    }
  } else {
    std::fputs("*** Could not load Python ***", stderr);
  }
  capture.end();
  capture.read_start(output, sizeof output);
  SetCursor(previous);
  return rc == 0;
}

postinstall_result run_postinstall(const chosen_python& target, char (&output)[SHOWN_OUTPUT + 1]) {
  output[0] = '\0';
  if (!install_ok || setup_config.install_script[0] == '\0') return postinstall_result::not_run;
  bool succeeded = false;
  char path[MAX_PATH];
  if (format_postinstall_path(path, sizeof path, target.python_dir, setup_config.install_script)) {
    log_run_script(target.python_dll, path);
    succeeded = run_postinstall_file(target, path, output);
  } else {
    // Too long for a path: neither recorded nor run, since a cut path would
    // name another file for this run and for the uninstaller.
    format_cut(output, sizeof output, "Could not open postinstall-script %s\\Scripts\\%s\r\n",
               target.python_dir, setup_config.install_script);
  }
  close_install_log();
  return succeeded ? postinstall_result::succeeded : postinstall_result::failed;
}

void run_postinstall_script(HWND finish_page, const chosen_python& target) {
  if (!install_ok || setup_config.install_script[0] == '\0') return;
  SetDlgItemTextA(finish_page, IDC_HEADING, "Please wait while running postinstall script...");
  char output[SHOWN_OUTPUT + 1];
  run_postinstall(target, output);
  SetDlgItemTextA(finish_page, IDC_OUTPUT_BOX, output);
  SetDlgItemTextA(finish_page, IDC_HEADING,
                  "Postinstall script finished.\nClick the Finish button to exit the Setup wizard.");
}

int run_uninstall_script(char* record, HKEY root_hkey) {
  run_script_record where = parse_run_script_record(record);
  if (!where.found) return 0;
  record[where.dll_end] = '\0';
  const char* dll_name = record + where.dll_begin;
  char* path = record + where.path_begin;
  if (std::strcmp(path, last_uninstall_script) == 0) return 1;
  char remove_argument[] = "-remove";
  char* argv[] = {path, remove_argument, nullptr};
  char output[SHOWN_OUTPUT + 1];
  {
    output_capture capture(true);
    // The recorded name as it is: the uninstaller runs from python_dir itself.
    chosen_python recorded;
    copy_cut(recorded.python_dll, sizeof recorded.python_dll, dll_name);
    recorded.py_major = python_major_of_dll(dll_name);
    recorded.root_hkey = root_hkey;
    if (loaded_python python = bind_python_dll(unique_module(LoadLibraryA(dll_name)), recorded)) {
      python.output_path = capture.name();
      run_installscript(python, path, 2, argv);
    }
    capture.end();
    capture.read_start(output, sizeof output);
  }
  if (output[0] != '\0') show_message_box(GetFocus(), output, "uninstall-script", MB_OK);
  copy_cut(last_uninstall_script, sizeof last_uninstall_script, path);
  return 1;
}
