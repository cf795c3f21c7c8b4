// The work that Next on the install page starts: register the package, run
// the pre-install script, extract the archive, byte-compile. Its outcome is
// install_ok and failure_text, which the finish page reads.
#pragma once
#include <windows.h>

#include <cstddef>
#include <span>

#include "archive/install_scheme.h"
#include "archive/notify_codes.h"

// The operations the sequence calls, in the order it calls them; tests give
// their own.
struct install_steps {
  void (*check_root_key)(HWND owner);
  int (*open_install_record)(const char* python_dir);
  const scheme_entry* (*select_scheme)(int major, int minor);
  int (*run_preinstall_script)(const char* script);
  int (*extract_archive)(const scheme_entry* scheme, const char* target_dir,
                         std::span<const std::byte> image, notify_fn notify);
  void (*run_compile_pass)(int optimize);
};

// The program's own steps.
extern const install_steps program_install_steps;

// Where the sequence stopped; only an unattended run asks (for its exit code),
// the finish page reads install_ok and failure_text.
enum class sequence_outcome { done, not_registered, preinstall_failed, extraction_failed };

// Runs the sequence for the install page (none when install_sink stands in
// for it). Never refuses the page change: the finish page always follows.
sequence_outcome run_install_sequence(HWND install_page,
                                      const install_steps& steps = program_install_steps);

// Cuts one trailing backslash off a directory: C:\Python25\ becomes C:\Python25.
void strip_trailing_backslash(char* dir);
