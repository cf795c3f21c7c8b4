#include "startup/startup_win.h"

#include <utility>

#include "common/owner_win.h"
#include "common/program_win.h"
#include "startup/package_image_win.h"
#include "startup/setup_config.h"
#include "startup/setup_config_win.h"
#include "startup/elevation_win.h"
#include "wizard/wizard_win.h"

namespace {
// What install mode holds from the package: the image view, the temporary
// settings file and the picture.
void release_package(mapped_file& image) {
  installer_image = {};
  image = {};
  if (config_path) DeleteFileA(config_path);
  unique_gdi_object bitmap(std::exchange(package_bitmap, nullptr));
}
}  // namespace

int run_installer(mapped_file image) {
  read_setup_config();
  // A run that hands over to an elevated copy cleans up as well: the copy
  // writes a settings file of its own, so this one would only be left behind.
  if (!apply_user_access_control()) {
    main_window = create_background_window(setup_config.title);
    run_wizard(main_window);
  }
  release_package(image);
  return 0;
}
