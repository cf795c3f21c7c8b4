// Stand-ins for operations of other subsystems that are not in this tree yet,
// so that the program links. The toolchain does not resolve weak definitions
// in PE objects, so they are plain definitions: when a subsystem arrives, its
// group below goes, and the file goes with the last group.
#include "archive/extract_archive_win.h"
#include "python_runtime/install_scripts_win.h"
#include "python_runtime/python_discovery.h"
#include "python_runtime/python_discovery_win.h"
#include "python_runtime/python_target_win.h"
#include "record/uninstall_registration_win.h"

// Python installation discovery.
int list_python_installs(HWND, HKEY, const char*) { return 0; }

void apply_python_selection(HWND, int, char* dir_text, std::size_t width) {
  python_dir[0] = '\0';
  python_dll[0] = '\0';
  if (width) dir_text[0] = '\0';
}

void check_root_key(HWND) {}

const scheme_entry* select_scheme(int, int) { return site_packages_scheme; }

// Uninstall registration.
int open_install_record(const char*) { return 0; }

// Install scripts and byte-compilation.
int run_preinstall_script(const char*) { return 0; }

void run_postinstall_script(HWND) {}

void run_compile_pass(int) {}

// Archive extraction.
int extract_archive(const scheme_entry*, const char*, const std::byte*, std::uint32_t, notify_fn) {
  return 0;
}
