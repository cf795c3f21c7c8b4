// Install mode, from the opened package to the end of the wizard.
#pragma once
#include <windows.h>

#include <cstddef>
#include <span>

#include "common/mapped_file_win.h"

// Install mode, after the package was opened; the run owns the image's view
// and unmaps it when the wizard has ended. installer_image is the installer
// image inside that view, handed to the install sequence. python_version is
// the value of /PYTHON= in an unattended run, or none. Returns the exit code:
// 0 after the wizard, the install_exit code of an unattended run.
int run_installer(mapped_file image, std::span<const std::byte> installer_image,
                  const char* python_version);
