// Everything the uninstaller will need, made before the first file is written.
#pragma once
#include <windows.h>

#include <cstddef>
#include <span>

#include "common/chosen_python_win.h"

// Opens the install log with its header, creates the package's Uninstall
// entry and writes the uninstaller copy, the stub part of installer_image.
// 1 when the installation may go on, 0 when the user lacks the rights to
// register it (a box was shown).
int open_install_record(const chosen_python& target, std::span<const std::byte> installer_image);

// Opens, or creates, the Uninstall key under root for creating sub-keys and
// returns the registry's result. Tests replace it: Wine's registry never
// refuses access, yet that refusal is what stops an installation.
using open_uninstall_key_fn = LONG (*)(HKEY root, HKEY* key);
extern open_uninstall_key_fn open_uninstall_key_impl;
