#include "uninstall/undo_records_win.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/message_box_win.h"
#include "common/owner_crt_win.h"
#include "uninstall/log_records.h"

bool delete_logged_file(const char* line) {
  const char* path = logged_path(line);
  return path && DeleteFileA(path);
}

bool remove_logged_dir(const char* line) {
  const char* path = logged_path(line);
  return path && RemoveDirectoryA(path);
}

namespace {

// The key path and the name as terminated texts in one heap copy of the line.
struct registry_names {
  unique_heap_text copy;
  const char* key_path = nullptr;
  const char* name = nullptr;
};

registry_names terminated_names(const char* line, const registry_record& record) {
  registry_names names;
  if (!record.ok) return names;
  std::size_t size = std::strlen(line) + 1;
  names.copy = heap_alloc<char>(size);
  if (!names.copy) return names;
  char* copy = names.copy.get();
  std::memcpy(copy, line, size);
  std::size_t key_at = static_cast<std::size_t>(record.key_path.data() - line);
  std::size_t name_at = static_cast<std::size_t>(record.name.data() - line);
  copy[key_at + record.key_path.size()] = '\0';
  copy[name_at + record.name.size()] = '\0';
  names.key_path = copy + key_at;
  names.name = copy + name_at;
  return names;
}

void show_registry_failure(const char* line, const char* caption) {
  show_message_box(GetFocus(), line, caption, MB_OK);
}

// Opens the record's key for writing; shows "Could not open key" when it can't.
unique_hkey open_record_key(HKEY root_hkey, const char* line, const char* key_path) {
  unique_hkey key;
  if (RegOpenKeyExA(root_hkey, key_path, 0, KEY_WRITE, key.put()) != ERROR_SUCCESS) {
    show_registry_failure(line, "Could not open key");
    key.release();
  }
  return key;
}

bool deleted_or_absent(LONG result) { return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND; }

}  // namespace

bool delete_registry_key(HKEY root_hkey, const char* line) {
  registry_names names = terminated_names(line, parse_key_record(line));
  if (!names.key_path) return true;
  unique_hkey key = open_record_key(root_hkey, line, names.key_path);
  if (!key) return false;
  if (deleted_or_absent(RegDeleteKeyA(key.get(), names.name))) return true;
  show_registry_failure(line, "Could not delete key");
  return false;
}

bool delete_registry_value(HKEY root_hkey, const char* line) {
  registry_names names = terminated_names(line, parse_value_record(line));
  if (!names.key_path) return true;
  unique_hkey key = open_record_key(root_hkey, line, names.key_path);
  if (!key) return false;
  if (deleted_or_absent(RegDeleteValueA(key.get(), names.name))) return true;
  show_registry_failure(line, "Could not delete value");
  return false;
}
