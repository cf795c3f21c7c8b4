// The program's entry: one executable is the installer (a package is appended
// to it), the uninstaller (started by Windows with arguments), or neither.
#include <windows.h>

#include <cstdlib>

#include "startup/package_image_win.h"
#include "startup/run_mode.h"
#include "startup/startup_win.h"
#include "uninstall/uninstall_run_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  GetModuleFileNameA(nullptr, module_path, sizeof module_path);
  mapped_image image = map_image(module_path);
  if (!image.base) {
    report_system_error(GetLastError(), "Could not open archive");
    return 1;
  }
  image_base = image.base;
  image_size = image.size;

  bool opened = open_package(image.base, image.size) == 1;
  switch (choose_run_mode(opened, config_path != nullptr, __argc)) {
    case run_mode::install:
      return run_installer();
    case run_mode::uninstall:
      return run_uninstall(__argc, __argv);
    case run_mode::refuse:
      break;
  }
  report_system_error(0, refusal_text(module_path));
  return 1;
}
