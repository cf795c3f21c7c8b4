// The installation without a window (/S): the Python the select page would
// preselect, or the one /PYTHON= names, then the same install sequence that
// Next on the install page runs and the finish page's post-install step.
#pragma once
#include <cstddef>
#include <span>

#include "common/unattended_report.h"

// python_version: the value of /PYTHON=, or none. What the select page's box
// and the finish page would show goes to the report; the result is the run's
// exit code. installer_image is handed to the install sequence.
install_exit run_unattended_install(const char* python_version, std::span<const std::byte> installer_image);
