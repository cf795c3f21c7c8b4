// The program's entry: one executable is the installer (a package is appended
// to it), the uninstaller (started by Windows with arguments), or neither.
#include <windows.h>

#include <cstdlib>
#include <utility>

#include "common/program_win.h"
#include "startup/package_image_win.h"
#include "startup/package_layout.h"
#include "startup/run_mode.h"
#include "startup/startup_win.h"
#include "uninstall/uninstall_run_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  GetModuleFileNameA(nullptr, module_path, sizeof module_path);
  mapped_file image = map_image(module_path);
  if (!image) {
    report_system_error(GetLastError(), "Could not open archive");
    return 1;
  }
  // A signed file carries its certificate table behind the image.
  installer_image = image_from_file(image.bytes());

  bool opened = open_package(installer_image) == 1;
  switch (choose_run_mode(opened, config_path != nullptr, __argc)) {
    case run_mode::install:
      return run_installer(std::move(image));
    case run_mode::uninstall:
      return run_uninstall(__argc, __argv);
    case run_mode::refuse:
      break;
  }
  report_system_error(0, refusal_text(module_path));
  return 1;
}
