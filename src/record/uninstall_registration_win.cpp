#include "record/uninstall_registration_win.h"

#include <cstdio>
#include <cstring>
#include <span>

#include "common/chosen_python_win.h"
#include "common/fixed_text.h"
#include "common/message_box_win.h"
#include "common/owner_crt_win.h"
#include "common/pe_header.h"
#include "common/program_win.h"
#include "record/install_log_win.h"
#include "record/uninstall_registration.h"
#include "startup/package_image_win.h"
#include "startup/setup_config.h"

namespace {

LONG create_uninstall_key(HKEY root, HKEY* key) {
  return RegCreateKeyExA(root, UNINSTALL_KEY_PATH, 0, nullptr, 0, KEY_CREATE_SUB_KEY, nullptr, key,
                         nullptr);
}

void show_registry_failure(const char* text, const char* caption) {
  show_message_box(GetFocus(), text, caption, MB_OK);
}

// Opens or creates the package key; returns the disposition, 0 on failure.
// Without an Uninstall key (or a name) nothing is attempted: an empty name
// would open the Uninstall key itself.
DWORD create_package_key(HKEY uninstall_key, const char* name, unique_hkey& package_key) {
  DWORD disposition = 0;
  if (!uninstall_key || !*name ||
      RegCreateKeyExA(uninstall_key, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                      package_key.put(), &disposition) != ERROR_SUCCESS) {
    show_registry_failure(name, "Could not create key");
    return 0;
  }
  return disposition;
}

// Sets a REG_SZ value (stored with its NUL) and records it, whether or not
// the registry took it: the uninstaller only ever deletes what is recorded.
void set_recorded_value(HKEY package_key, const char* package_key_name, const char* name,
                        const char* value) {
  bool set = package_key && *value &&
             RegSetValueExA(package_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                            static_cast<DWORD>(std::strlen(value) + 1)) == ERROR_SUCCESS;
  if (!set) show_registry_failure(value, "Could not set key value");
  log_registry_value(UNINSTALL_KEY_PATH, package_key_name, name, value);
}

// The stub part of the image, which runs as the uninstaller when started
// with arguments. A file that cannot be made is skipped without a word.
// A signed installer's headers name its certificate table, which the copy
// does not hold: the copy gets that entry cleared and every other byte as is.
void write_uninstaller_copy(const char* path, std::span<const std::byte> installer_image) {
  unique_stream copy(std::fopen(path, "wb"));
  if (!copy || stub_length <= 0 || installer_image.size() < static_cast<std::size_t>(stub_length))
    return;
  std::span<const std::byte> stub = installer_image.first(static_cast<std::size_t>(stub_length));
  std::size_t entry = stale_security_entry(stub);
  if (entry == 0) {
    std::fwrite(stub.data(), 1, stub.size(), copy.get());
    return;
  }
  const std::byte cleared[SECURITY_ENTRY_SIZE] = {};
  std::fwrite(stub.data(), 1, entry, copy.get());
  std::fwrite(cleared, 1, sizeof cleared, copy.get());
  std::fwrite(stub.data() + entry + sizeof cleared, 1, stub.size() - entry - sizeof cleared, copy.get());
}

}  // namespace

open_uninstall_key_fn open_uninstall_key_impl = create_uninstall_key;

int open_install_record(const chosen_python& target, std::span<const std::byte> installer_image) {
  const char* python_dir = target.python_dir;
  const char* meta_name = setup_config.meta_name;
  const char* root_name = root_key_log_name(target.root_hkey == HKEY_LOCAL_MACHINE);

  unique_hkey uninstall_key;
  switch (decide_uninstall_key(open_uninstall_key_impl(target.root_hkey, uninstall_key.put()))) {
    case uninstall_key_action::refuse:
      show_message_box(GetFocus(), ACCESS_DENIED_TEXT, nullptr, MB_ICONERROR);
      return 0;
    case uninstall_key_action::report_and_go_on:
      show_registry_failure(UNINSTALL_KEY_PATH, "Could not open key");
      break;
    case uninstall_key_action::go_on:
      break;
  }

  char text[REGISTRATION_TEXT_WIDTH];
  if (format_install_log_path(text, sizeof text, python_dir, meta_name))
    open_install_log(text);
  log_installation_started(module_path, root_name);

  char package_key_name[PACKAGE_KEY_WIDTH];
  format_package_key_name(package_key_name, sizeof package_key_name, meta_name, target.py_major,
                          target.py_minor);
  unique_hkey package_key;
  DWORD disposition = create_package_key(uninstall_key.get(), package_key_name, package_key);
  uninstall_key.reset();
  // Only a key this installation made is the uninstaller's to delete.
  if (disposition == REG_CREATED_NEW_KEY)
    log_registry_key(UNINSTALL_KEY_PATH, package_key_name);

  format_display_name(text, sizeof text, target.py_major, target.py_minor, setup_config.title);
  set_recorded_value(package_key.get(), package_key_name, "DisplayName", text);

  if (format_uninstaller_path(text, sizeof text, python_dir, meta_name)) write_uninstaller_copy(text, installer_image);

  format_uninstall_string(text, sizeof text, python_dir, meta_name);
  set_recorded_value(package_key.get(), package_key_name, "UninstallString", text);

  format_quiet_uninstall_string(text, sizeof text, python_dir, meta_name);
  set_recorded_value(package_key.get(), package_key_name, "QuietUninstallString", text);
  return 1;
}
