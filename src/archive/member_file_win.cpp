#include "archive/member_file_win.h"

#include <cstring>
#include <utility>

#include "archive/member_data.h"

static void report(notify_fn notify, DWORD error, const char* format, const char* path) {
  if (!notify) return;
  SetLastError(error);
  notify(NOTIFY_SYSTEM_ERROR, format, path);
}

// Creates (or fails to create) the directory named by the cut path.
static bool make_directory(const char* path, notify_fn notify) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (CreateDirectoryA(path, nullptr)) {
      if (notify) notify(NOTIFY_DIR_CREATED, path);
      return true;
    }
    report(notify, GetLastError(), "CreateDirectory (%s)", path);
    return false;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
  report(notify, ERROR_ALREADY_EXISTS, "CreateDirectory (%s)", path);
  return false;
}

bool make_directories(char* path, char* make_from, notify_fn notify) {
  if (!make_from) return true;
  bool all_made = true;
  for (char* cut = std::strchr(make_from, '\\'); cut; cut = std::strchr(cut + 1, '\\')) {
    *cut = '\0';
    all_made = make_directory(path, notify) && all_made;
    *cut = '\\';
  }
  return all_made;
}

static HANDLE open_output(const char* path, DWORD disposition) {
  return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The output file, or none: a kept file, or a failure (reported).
struct created_output {
  unique_file file;
  bool failed = false;
};

// Creates the output file: makes missing directories once, asks before
// replacing.
static created_output create_output(DWORD disposition, char* path, char* make_from,
                                    notify_fn notify) {
  for (bool made_directories = false;;) {
    unique_file file(open_output(path, disposition));
    if (file) return {std::move(file)};
    DWORD error = GetLastError();
    if (error == ERROR_PATH_NOT_FOUND && !made_directories) {
      if (!make_directories(path, make_from, notify)) return {{}, true};
      made_directories = true;
      continue;
    }
    if (error == ERROR_FILE_EXISTS) {
      if (!notify) return {};
      if (!notify(NOTIFY_CAN_OVERWRITE, path)) {
        notify(NOTIFY_FILE_KEPT, path);
        return {};
      }
      unique_file replaced(open_output(path, CREATE_ALWAYS));
      if (replaced) return {std::move(replaced)};
      error = GetLastError();
    }
    report(notify, error, "CreateFile (%s)", path);
    return {{}, true};
  }
}

// The DOS date and time as they are, without a conversion from local time;
// a pair that names no valid time leaves the times the system set.
static void set_member_time(HANDLE file, WORD dos_date, WORD dos_time) {
  FILETIME time;
  if (DosDateTimeToFileTime(dos_date, dos_time, &time)) SetFileTime(file, &time, &time, &time);
}

mapped_output create_mapped_file(DWORD disposition, char* path, char* make_from, DWORD size,
                                 WORD dos_date, WORD dos_time, notify_fn notify) {
  if (disposition == 0) disposition = CREATE_NEW;
  created_output created = create_output(disposition, path, make_from, notify);
  if (!created.file) return {{}, {}, created.failed};
  unique_file file = std::move(created.file);
  if (notify) notify(NOTIFY_FILE_CREATED, path);
  set_member_time(file.get(), dos_date, dos_time);
  if (size == 0) return {};
  // The mapping of exactly the size sets the file's length.
  unique_handle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READWRITE, 0, size, nullptr));
  if (!mapping) {
    report(notify, GetLastError(), "CreateFileMapping (%s)", path);
    return {{}, {}, true};
  }
  unique_view view(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, size));
  if (!view) {
    report(notify, GetLastError(), "MapViewOfFile (%s)", path);
    return {{}, {}, true};
  }
  return {std::move(view), std::move(file)};
}

static void report_zlib(notify_fn notify, const char* format, int result) {
  if (notify) notify(NOTIFY_ZLIB_ERROR, format, result);
}

// Reports a failed zlib step; a CRC or size mismatch stops the walk unreported.
static void report_result(const member_data_result& result, notify_fn notify) {
  switch (result.status) {
    case member_data_status::init_failed:
      report_zlib(notify, "inflateInit2 returns %d", result.zlib_result);
      break;
    case member_data_status::inflate_failed:
      report_zlib(notify, "inflate returns %d", result.zlib_result);
      if (result.end_result != 0) report_zlib(notify, "inflateEnd returns %d", result.end_result);
      break;
    case member_data_status::end_failed:
      report_zlib(notify, "inflateEnd returns %d", result.zlib_result);
      break;
    default:
      break;
  }
}

int write_member_data(mapped_output output, const zip_member& member, notify_fn notify) {
  std::span<std::byte> out(static_cast<std::byte*>(output.view.get()), member.uncompressed_size);
  member_data_result result = write_member_bytes(member, out);
  report_result(result, notify);
  output.view.reset();
  set_member_time(output.file.get(), member.dos_date, member.dos_time);
  return result.status == member_data_status::written;
}

int check_empty_member_data(const zip_member& member, notify_fn notify) {
  member_data_result result = check_empty_member(member);
  report_result(result, notify);
  return result.status == member_data_status::written;
}
