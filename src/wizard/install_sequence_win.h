// The work that Next on the install page starts: register the package, run
// the pre-install script, extract the archive, byte-compile. Its outcome is
// install_ok and failure_text, which the finish page reads.
#pragma once
#include <windows.h>

#include <cstddef>
#include <span>

#include "archive/install_scheme.h"
#include "common/chosen_python_win.h"
#include "common/install_status.h"
#include "common/notify_codes.h"

// The operations the sequence calls, in the order it calls them; tests give
// their own.
struct install_steps {
  HKEY (*check_root_key)(HWND owner, HKEY root_hkey);
  int (*open_install_record)(const chosen_python& target, std::span<const std::byte> image);
  const scheme_entry* (*select_scheme)(int major, int minor);
  int (*run_preinstall_script)(const chosen_python& target, const char* script);
  int (*extract_archive)(const scheme_entry* scheme, const char* target_dir,
                         std::span<const std::byte> image, notify_fn notify, bool (*skip)(const char* path));
  void (*run_compile_pass)(const chosen_python& target, int optimize);
  // The installed versions of a package made from wheels: replaced before
  // the extraction (which skips a kept dependency's members), and the
  // replacement ended after the compile passes; none in a test that has no
  // such step.
  bool (*replace_installed_distributions)(const chosen_python& target, const scheme_entry* scheme,
                                          std::span<const std::byte> image) = nullptr;
  bool (*is_kept_member)(const char* path) = nullptr;
  void (*finish_replacement)(bool installed) = nullptr;
};

// The program's own steps.
extern const install_steps program_install_steps;

// The Python the package goes into, which the sequence owns: the select page
// (or an unattended run's choice) fills it, the sequence settles its root
// and hands it to each step, the post-install run reads it.
chosen_python& install_target();

// Where the sequence stopped; only an unattended run asks (for its exit code),
// the finish page reads install_ok and failure_text.
enum class sequence_outcome { done, not_registered, preinstall_failed, extraction_failed };

// Runs the sequence for the install page (none in a run without a wizard)
// over the installer image, whose stub becomes the uninstaller and whose
// archive is extracted. What the steps show goes to sink from now on, also
// while the post-install script runs. Never refuses the page change: the
// finish page always follows.
sequence_outcome run_install_sequence(HWND install_page, const progress_sink& sink,
                                      std::span<const std::byte> installer_image,
                                      const install_steps& steps = program_install_steps);

// Cuts one trailing backslash off a directory: C:\Python25\ becomes C:\Python25.
void strip_trailing_backslash(char* dir);
