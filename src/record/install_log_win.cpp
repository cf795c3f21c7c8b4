#include "record/install_log_win.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "common/fixed_text.h"
#include "common/owner_crt_win.h"
#include "record/compile_list.h"
#include "record/log_format.h"
#include "record/uninstall_registration.h"

namespace {

// The open log, or none.
unique_stream log_file;

void write_record(const char* format, const char* text) {
  if (log_file) write_record_line(log_file.get(), format, text);
}

// A record line with several arguments (the registration's and the
// "Run Script" record), cut to the width that holds the longest of them.
void write_line(const char* format, ...) {
  if (!log_file) return;
  char line[REGISTRATION_LOG_LINE_WIDTH];
  va_list args;
  va_start(args, format);
  vformat_cut(line, sizeof line, format, args);
  va_end(args);
  std::fputs(line, log_file.get());
  std::fflush(log_file.get());
}

// A header line: strftime of the local time into 261 bytes.
void write_time_line(const char* format) {
  if (!log_file) return;
  char line[261];
  // The 64-bit time functions: MSVCR71.dll has no _time32 or _localtime32,
  // which the plain names turn into on 32-bit builds.
  __time64_t now = _time64(nullptr);
  std::tm* local = _localtime64(&now);
  if (!local || std::strftime(line, sizeof line, format, local) == 0) return;
  std::fputs(line, log_file.get());
  std::fflush(log_file.get());
}

}  // namespace

bool open_install_log(const char* path) {
  log_file.reset(std::fopen(path, "a"));
  return static_cast<bool>(log_file);
}

void log_installation_started(const char* source, const char* root_name) {
  write_time_line(LOG_STARTED_FORMAT);
  write_record(LOG_SOURCE, source);
  write_record(LOG_ROOT_KEY, root_name);
}

bool install_log_is_open() { return static_cast<bool>(log_file); }

void log_registry_key(const char* key_path, const char* package_key) {
  write_line(LOG_REG_KEY, key_path, package_key);
}

void log_registry_value(const char* key_path, const char* package_key, const char* name,
                        const char* value) {
  write_line(LOG_REG_VALUE, key_path, package_key, name, value);
}

void record_directory_created(const char* path) { write_record(LOG_MADE_DIR, path); }

void record_file_created(const char* path) {
  write_record(LOG_FILE_COPY, path);
  add_to_compile_list(path);
}

void record_file_kept(const char* path) {
  write_record(LOG_FILE_OVERWRITE, path);
  add_to_compile_list(path);
}

void log_run_script(const char* python_dll, const char* script_path) {
  write_line(LOG_RUN_SCRIPT, python_dll, script_path);
}

void log_distribution(bool package, const char* dist_info_path) {
  write_record(package ? LOG_PACKAGE_DISTRIBUTION : LOG_DEPENDENCY_DISTRIBUTION, dist_info_path);
}

void close_install_log() {
  if (!log_file) return;
  write_time_line(LOG_FINISHED_FORMAT);
  log_file.reset();
}

void drop_install_log() { log_file.reset(); }
