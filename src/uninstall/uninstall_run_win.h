#pragma once

// The uninstaller: undoes what the install log names. argv is the vector the
// runtime library split from the command line. Returns the exit status.
int run_uninstall(int argc, char** argv);
