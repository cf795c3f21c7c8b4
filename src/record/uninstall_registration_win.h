// Everything the uninstaller will need, made before the first file is written.
#pragma once

// Opens the install log with its header, creates the package's Uninstall
// entry and writes the uninstaller copy. 1 when the installation may go on,
// 0 when the user lacks the rights to register it (a box was shown).
int open_install_record(const char* python_dir);
