// Restarting the installer as an administrator when the package asks for it.
#pragma once
#include <windows.h>

// What apply_user_access_control leaves to this run.
struct elevation_outcome {
  bool restarted = false;  // an elevated copy was started, or failed to start: this run ends
  int exit_code = 0;       // this run's exit code then
  bool copy_ran = false;   // unattended: the copy ran to its end and wrote the report
};

// Applies the package's user_access_control setting. Attended, the elevated
// copy is left to itself and this run ends with 0. Unattended, it gets this
// run's arguments, is waited for, and its exit code is this run's; one that
// cannot be started ends this run with install_exit::not_elevated.
elevation_outcome apply_user_access_control();

// True when the user is an administrator; false also when the system cannot tell.
bool is_user_admin();

// True when the Python named by target_version is registered for all users.
bool target_python_needs_admin();

// Starts module_path again through the shell's "runas" verb, without
// arguments; shows a box when that fails.
void restart_elevated();

// Starts module_path through "runas" with these parameters, in the current
// directory, and waits for it to end. Not ran when it could not be started
// (the same box as restart_elevated's) or waited for.
struct elevated_copy {
  bool ran = false;
  DWORD exit_code = 0;
};
elevated_copy restart_elevated_and_wait(const char* parameters);
