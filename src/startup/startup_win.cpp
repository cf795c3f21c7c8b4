#include "startup/startup_win.h"

#include <utility>

#include "common/fixed_text.h"
#include "common/message_box_win.h"
#include "common/owner_win.h"
#include "startup/package_image_win.h"
#include "startup/run_mode.h"
#include "startup/setup_config.h"
#include "startup/setup_config_win.h"
#include "startup/elevation_win.h"
#include "wizard/wizard_win.h"

char module_path[MAX_PATH];
HWND main_window;

int report_system_error(DWORD error_code, const char* text) {
  char message[1024];
  char* system_text = nullptr;
  if (error_code != 0) {
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error_code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<char*>(&system_text), 0, nullptr);
  }
  compose_error_text(message, sizeof message, system_text ? system_text : "", text);
  if (system_text) LocalFree(system_text);
  show_message_box(main_window, message, "Runtime Error", MB_ICONERROR | MB_OK);
  return 0;
}

namespace {
// What install mode holds from the package: the image view, the temporary
// settings file and the picture.
void release_package() {
  unmap_image(image_base);
  image_base = nullptr;
  if (config_path) DeleteFileA(config_path);
  unique_gdi_object bitmap(std::exchange(package_bitmap, nullptr));
}
}  // namespace

int run_installer() {
  read_setup_config();
  // A run that hands over to an elevated copy cleans up as well: the copy
  // writes a settings file of its own, so this one would only be left behind.
  if (!apply_user_access_control()) {
    main_window = create_background_window(setup_config.title);
    run_wizard(main_window);
  }
  release_package();
  return 0;
}
