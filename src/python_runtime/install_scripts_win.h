// The package's scripts, each one interpreter run.
#pragma once
#include <windows.h>

#include <cstddef>

#include "common/chosen_python_win.h"
#include "python_runtime/python_bind_win.h"

// Runs the pre-install script text; 0 on success, else set_failure was called.
int run_preinstall_script(const chosen_python& target, const char* script);

// What a post-install or uninstall run wrote that is shown: its first 4096 bytes.
inline constexpr std::size_t SHOWN_OUTPUT = 4096;

// The post-install step, when install_ok is 1 and the package names a script:
// records and runs target's python_dir\Scripts\<install_script> with "-install", puts
// the start of what it printed into output (empty when nothing ran) and
// closes the install log. Failed when the script could not be run or ended
// with an exception.
enum class postinstall_result { not_run, succeeded, failed };
postinstall_result run_postinstall(const chosen_python& target, char (&output)[SHOWN_OUTPUT + 1]);

// The finish page's handling of its self-posted WM_USER: run_postinstall,
// with the page's heading and output box showing it.
void run_postinstall_script(HWND finish_page, const chosen_python& target);

// Runs the uninstall script named by a "Run Script" record line (modified in
// place), its get_root_hkey() giving root_hkey. 0 when the line names no
// script, else 1.
int run_uninstall_script(char* record, HKEY root_hkey);
