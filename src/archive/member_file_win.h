// Output files of extraction: each member is written through a file mapping
// of its final size, so a stored member is one memory copy and a deflated one
// is inflated straight from the mapped image into the mapped file.
#pragma once
#include <windows.h>

#include "archive/zip_walk.h"
#include "common/notify_codes.h"
#include "common/owner_win.h"

// A member's output file, mapped. The file stays open until the view is
// gone: writing through a mapping can move the file's times (it does under
// Wine), so the member's time is set once more after the data is written.
struct mapped_output {
  unique_view view;
  unique_file file;
  bool failed = false;  // no view because a system call failed (reported)
  explicit operator bool() const { return static_cast<bool>(view); }
};

// Creates the file at path (disposition 0 is CREATE_NEW), making missing
// directories from make_from on (none: make none) and asking notify before
// replacing an existing file; gives it the DOS date and time and returns a
// writable view of exactly size bytes. None for an empty file (which stays),
// a kept file, or a failure (reported through notify, and marked failed).
// path is cut and restored in place while directories are made.
mapped_output create_mapped_file(DWORD disposition, char* path, char* make_from, DWORD size,
                                 WORD dos_date, WORD dos_time, notify_fn notify);

// Creates each missing directory of path from make_from on (the last
// component is the file's own name and is never made). Every failure is
// reported and the walk goes on; false when any component could not be made.
bool make_directories(char* path, char* make_from, notify_fn notify);

// Copies or inflates the member's data into the view, checks its CRC-32,
// unmaps the view, so the data reaches the file, and sets the member's time
// again. Always ends the output. Returns 1 or 0.
int write_member_data(mapped_output output, const zip_member& member, notify_fn notify);

// Checks a member of uncompressed size 0, which gets no view: its CRC-32 must
// be that of no bytes and its data must decode to nothing. A failed inflate
// is reported as write_member_data reports it. Returns 1 or 0.
int check_empty_member_data(const zip_member& member, notify_fn notify);
