// The program's entry: one executable is the installer (a package is appended
// to it), the uninstaller (started by Windows with arguments), or neither.
#include <windows.h>

#include <cstdlib>
#include <utility>

#include "common/program_win.h"
#include "common/unattended_report.h"
#include "common/unattended_win.h"
#include "startup/command_line.h"
#include "startup/package_image_win.h"
#include "startup/package_layout.h"
#include "startup/run_mode.h"
#include "startup_win.h"
#include "uninstall/uninstall_run_win.h"

namespace {
// The end of a run that found nothing to install, or could not read itself.
int refuse(DWORD error, const char* text) {
  report_system_error(error, text);
  write_report(is_uninstall_form(__argc, __argv) ? uninstall_outcome_line(uninstall_exit::refused)
                                                 : install_outcome_line(install_exit::damaged_package));
  return 1;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Known before anything can show a box: an unattended run shows none.
  unattended_arguments arguments = parse_unattended_arguments(__argc, __argv);
  if (arguments.silent) start_unattended(arguments.report);

  GetModuleFileNameA(nullptr, module_path, sizeof module_path);
  mapped_file image = map_image(module_path);
  if (!image) return refuse(GetLastError(), "Could not open archive");
  // A signed file carries its certificate table behind the image.
  std::span<const std::byte> installer_image = image_from_file(image.bytes());

  bool opened = open_package(installer_image) == 1;
  bool silent_install = arguments.silent && !is_uninstall_form(__argc, __argv);
  switch (choose_run_mode(opened, config_path != nullptr, __argc, silent_install)) {
    case run_mode::install:
      return run_installer(std::move(image), installer_image, arguments.python);
    case run_mode::uninstall:
      return run_uninstall(__argc, __argv);
    case run_mode::refuse:
      break;
  }
  return refuse(0, refusal_text(module_path));
}
