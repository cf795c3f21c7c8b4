#include "startup/setup_config_win.h"

#include <windows.h>

#include "common/message_box_win.h"
#include "startup/escapes.h"
#include "startup/package_image_win.h"
#include "startup/setup_config.h"

static void read_text(const char* section, const char* key, char* dst, DWORD width) {
  GetPrivateProfileStringA(section, key, "", dst, width, config_path);
}

void read_setup_config() {
  static char raw[4096];
  setup_config_fields& c = setup_config;
  read_text("Setup", "title", raw, sizeof raw);
  expand_escapes(raw, c.title, sizeof c.title);
  read_text("Setup", "info", raw, sizeof raw);
  expand_escapes(raw, c.info, sizeof c.info);
  read_text("Setup", "build_info", c.build_info, sizeof c.build_info);
  c.target_compile = static_cast<int>(GetPrivateProfileIntA("Setup", "target_compile", 1, config_path));
  c.target_optimize = static_cast<int>(GetPrivateProfileIntA("Setup", "target_optimize", 1, config_path));
  read_text("Setup", "target_version", c.target_version, sizeof c.target_version);
  read_text("Setup", "python_requires", c.python_requires, sizeof c.python_requires);
  read_text("metadata", "name", c.meta_name, sizeof c.meta_name);
  read_text("Setup", "install_script", c.install_script, sizeof c.install_script);
  read_text("Setup", "user_access_control", c.user_access_control, sizeof c.user_access_control);

  if (!is_known_uac_value(c.user_access_control))
    show_message_box(GetFocus(), "Bad user_access_control value", "oops", MB_OK);
}
