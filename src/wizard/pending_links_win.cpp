// Stand-ins for operations of other subsystems that are not in this tree yet,
// so that the program links. The toolchain does not resolve weak definitions
// in PE objects, so they are plain definitions: when a subsystem arrives, its
// group below goes, and the file goes with the last group.
#include "archive/extract_archive_win.h"
#include "python_runtime/install_scripts_win.h"

// Install scripts and byte-compilation.
int run_preinstall_script(const char*) { return 0; }

void run_postinstall_script(HWND) {}

void run_compile_pass(int) {}

// Archive extraction.
int extract_archive(const scheme_entry*, const char*, const std::byte*, std::uint32_t, notify_fn) {
  return 0;
}
