#include "python_runtime/csidl_folders.h"

const special_folder special_folders[SPECIAL_FOLDER_COUNT] = {
    {"CSIDL_COMMON_STARTMENU", 0x16},
    {"CSIDL_STARTMENU", 0x0B},
    {"CSIDL_APPDATA", 0x1A},
    {"CSIDL_COMMON_DESKTOPDIRECTORY", 0x19},
    {"CSIDL_DESKTOPDIRECTORY", 0x10},
    {"CSIDL_COMMON_STARTUP", 0x18},
    {"CSIDL_STARTUP", 7},
    {"CSIDL_COMMON_PROGRAMS", 0x17},
    {"CSIDL_PROGRAMS", 2},
    {"CSIDL_FONTS", 0x14},
};

static char lower_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// As the runtime library's case-insensitive compare does in the "C" locale.
static bool equal_ignoring_case(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (lower_ascii(*a) != lower_ascii(*b)) return false;
  return *a == *b;
}

int find_special_folder(const char* name) {
  for (const special_folder& row : special_folders)
    if (equal_ignoring_case(name, row.name)) return row.id;
  return -1;
}
