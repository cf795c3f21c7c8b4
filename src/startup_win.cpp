#include "startup_win.h"

#include <utility>

#include "common/owner_win.h"
#include "common/program_win.h"
#include "common/unattended_report.h"
#include "common/unattended_win.h"
#include "startup/elevation_win.h"
#include "startup/package_image_win.h"
#include "startup/setup_config.h"
#include "startup/setup_config_win.h"
#include "wizard/unattended_install_win.h"
#include "wizard/wizard_win.h"

namespace {
// What install mode holds from the package: the image view, the temporary
// settings file and the picture.
void release_package(mapped_file& image) {
  image = {};
  if (config_path) DeleteFileA(config_path);
  unique_gdi_object bitmap(std::exchange(package_bitmap, nullptr));
}
}  // namespace

int run_installer(mapped_file image, std::span<const std::byte> installer_image,
                  const char* python_version) {
  read_setup_config();
  // A run that hands over to an elevated copy cleans up as well: the copy
  // writes a settings file of its own, so this one would only be left behind.
  elevation_outcome elevation = apply_user_access_control();
  int exit_code = elevation.exit_code;
  if (!elevation.restarted) {
    if (unattended_run) {
      exit_code = static_cast<int>(run_unattended_install(python_version, installer_image));
    } else {
      main_window = create_background_window(setup_config.title);
      run_wizard(main_window, installer_image);
    }
  }
  release_package(image);
  // The elevated copy has written the report of the installation it made.
  if (!elevation.copy_ran) write_report(install_outcome_line(static_cast<install_exit>(exit_code)));
  return exit_code;
}
