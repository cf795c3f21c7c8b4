// Writes the members of the image's zip archive below a target directory.
#pragma once
#include <windows.h>

#include <cstddef>
#include <span>

#include "archive/install_scheme.h"
#include "common/notify_codes.h"

// Walks the central directory in order and writes every member through the
// scheme. Returns 1 when the walk reached its end, 0 when it stopped.
// A name stored in UTF-8 is written in the ANSI code page, or refused.
int extract_archive(const scheme_entry* scheme, const char* target_dir,
                    std::span<const std::byte> image, notify_fn notify);

// Members that the last extract_archive reported and skipped: a file, a folder
// on its path, its mapping or its view could not be made, or its name has no
// place in the output path or the code page. A kept file is not one of them,
// nor the member that stopped a walk.
extern unsigned members_not_written;
