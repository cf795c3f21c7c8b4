// Decisions of the program's start, free of any system call.
#pragma once
#include <cstddef>
#include <string_view>

enum class run_mode { install, uninstall, refuse };

// package_opened: open_package succeeded; config_made: a temporary settings
// file exists; argc counts the program name too. silent_install: /S without
// "-u" first, which asks for an unattended installation: a file without a
// package started so is a damaged installer, never the uninstaller.
run_mode choose_run_mode(bool package_opened, bool config_made, int argc,
                         bool silent_install = false);

// The refusal text for a bare stub started without arguments: an uninstaller
// copy (base name beginning with "Remove") is normally started by Windows.
const char* refusal_text(std::string_view module_path);

