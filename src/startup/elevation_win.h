// Restarting the installer as an administrator when the package asks for it.
#pragma once

// Applies the package's user_access_control setting. True when an elevated
// copy was started (or failed to start): this run must then end.
bool apply_user_access_control();

// True when the user is an administrator; false also when the system cannot tell.
bool is_user_admin();

// True when the Python named by target_version is registered for all users.
bool target_python_needs_admin();

// Starts module_path again through the shell's "runas" verb, without
// arguments; shows a box when that fails.
void restart_elevated();
