// The switches of an unattended run, read from the argument vector that the
// runtime library split from the command line (element 0 is the program).
//
//   installer:    Setup.exe /S [/PYTHON=X.Y] [/REPORT=FILE]   any order, any case;
//                 every other argument is ignored
//   uninstaller:  Remove<name>.exe -u LOG /S [/REPORT=FILE]
//
// Without /S the arguments mean what they always did: the installer ignores
// them, the uninstaller wants exactly -u and the log.
#pragma once

struct unattended_arguments {
  bool silent = false;           // "/S" among the arguments
  const char* python = nullptr;  // the value of the last /PYTHON=, or none
  const char* report = nullptr;  // the value of the last /REPORT=, or none
};

unattended_arguments parse_unattended_arguments(int argc, char** argv);

// Whether the arguments begin as an uninstaller's do: "-u" first.
bool is_uninstall_form(int argc, char** argv);

// An unattended uninstaller's argument check: exactly -u, the log, /S, and
// optionally /REPORT=FILE behind it.
enum class silent_uninstall_arguments { ok, wrong_number, not_u };
silent_uninstall_arguments check_silent_uninstall_arguments(int argc, char** argv);

// The value of a "/NAME=VALUE" argument when its name is name (any case), or none.
const char* switch_value(const char* argument, const char* name);

// What follows the program's name in a command line, as the runtime library
// reads it (a quoted name runs to the next quote, any other to the first blank
// or control character), with the blanks and tabs behind it skipped: the
// arguments an elevated copy is given unchanged.
const char* arguments_after_program(const char* command_line);
