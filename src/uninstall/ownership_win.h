// Reading what the log's distribution markers call for: the RECORD and
// METADATA of our marked dependencies and of every other .dist-info folder in
// the site-packages folders that hold ours.
#pragma once
#include "uninstall/log_lines.h"
#include "uninstall/ownership.h"

// What the run leaves in place; nothing when the log holds no marker. A
// RECORD or METADATA that cannot be read counts as empty. log_path's folder is
// the Python folder, outside which no RECORD path is taken.
left_in_place read_left_in_place(const line_table& table, const char* log_path);
