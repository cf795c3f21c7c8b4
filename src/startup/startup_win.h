// Install mode, from the opened package to the end of the wizard.
#pragma once
#include <windows.h>

#include "common/mapped_file_win.h"

// Install mode, after the package was opened; the run owns the image's view
// and unmaps it when the wizard has ended. Returns 0.
int run_installer(mapped_file image);
