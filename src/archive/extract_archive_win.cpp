#include "archive/extract_archive_win.h"

#include "archive/member_file_win.h"
#include "archive/member_name_win.h"
#include "archive/member_path.h"
#include "archive/zip_walk.h"

unsigned members_not_written;

// A member that cannot be written under its name (too long for the output
// buffer, or not held by the code page) is refused the way the system
// refuses such a name, shown as far as a message can hold it.
static void refuse_member(DWORD error, const char* target_dir, const scheme_entry* scheme,
                          std::string_view name, int count, int done, notify_fn notify) {
  ++members_not_written;
  if (!notify) return;
  char shown[1024];
  member_path where = build_member_path(shown, sizeof shown, target_dir, scheme, name);
  SetLastError(error);
  notify(NOTIFY_SYSTEM_ERROR, "CreateFile (%s)", shown);
  notify(NOTIFY_PROGRESS, shown + where.relative, count, done);
}

// Writes one member; false when the walk must stop. An empty member gets no
// view to check, so its CRC and its data are checked before its file is made.
static bool extract_member(char* path, char* relative, const zip_member& member,
                           notify_fn notify) {
  if (is_directory_entry(path)) return true;
  if (member.uncompressed_size == 0 && !check_empty_member_data(member, notify)) return false;
  mapped_output output = create_mapped_file(0, path, relative, member.uncompressed_size,
                                            member.dos_date, member.dos_time, notify);
  if (output.failed) ++members_not_written;
  if (!output) return true;
  return write_member_data(std::move(output), member, notify) != 0;
}

int extract_archive(const scheme_entry* scheme, const char* target_dir,
                    std::span<const std::byte> image, notify_fn notify) {
  members_not_written = 0;
  zip_cursor cursor;
  if (image.empty() || !open_zip(image, cursor)) return 0;
  int count = cursor.count;
  zip_member member;
  for (zip_step step; (step = next_member(cursor, member)) != zip_step::end;) {
    if (step == zip_step::broken) return 0;
    int done = cursor.index;
    ansi_member_name name = ansi_member_name_of(member);
    char path[OUTPUT_PATH_WIDTH];
    member_path where = build_member_path(path, sizeof path, target_dir, scheme, name.text);
    if (where.status == member_path_status::unsafe) return 0;
    // A directory entry makes nothing, whatever its name.
    DWORD refusal = name.refusal && !is_directory_entry(path) ? name.refusal : 0;
    if (!refusal && where.status == member_path_status::too_long) refusal = ERROR_FILENAME_EXCED_RANGE;
    if (refusal) {
      refuse_member(refusal, target_dir, scheme, name.text, count, done, notify);
      continue;
    }
    if (!extract_member(path, path + where.relative, member, notify)) return 0;
    if (notify) notify(NOTIFY_PROGRESS, path + where.relative, count, done);
  }
  return 1;
}
