// Where an archive member goes: the output path built from the target
// directory and the member's name mapped by the install scheme, with every
// forward slash turned into a backslash.
//
//   C:\Python25\Lib\site-packages\pkg\mod.py
//   |target dir|relative part ------------->
//
// A path that ends with a backslash names a directory entry. The archive
// comes from a download that may be damaged or hostile, so a member whose
// relative part is rooted, names a drive or stream (a colon), or climbs out
// with ".." is refused before anything is written for it.
#pragma once
#include <cstddef>
#include <string_view>

#include "archive/install_scheme.h"

inline constexpr std::size_t OUTPUT_PATH_WIDTH = 260;  // MAX_PATH

enum class member_path_status {
  ok,
  too_long,  // does not fit the buffer; path holds it cut, for showing only
  unsafe,    // would leave the target directory; path is empty
};

struct member_path {
  member_path_status status;
  std::size_t relative;  // offset of the relative part in the path
};

// Builds the output path of a member into a buffer of width bytes.
member_path build_member_path(char* path, std::size_t width, const char* target_dir,
                              const scheme_entry* scheme, std::string_view name);

// True when the mapped name stays below the target directory.
bool mapped_name_is_safe(const mapped_name& mapped);

// True when the path names a directory entry (ends with a backslash).
bool is_directory_entry(const char* path);
