// The shell folders a script may ask for by name, in the order they are
// searched; the values are the shell's folder ids of the same names.
#pragma once
#include <cstddef>

struct special_folder {
  const char* name;
  int id;
};

inline constexpr std::size_t SPECIAL_FOLDER_COUNT = 10;
extern const special_folder special_folders[SPECIAL_FOLDER_COUNT];

// The id of the first row whose name equals name ignoring ASCII case, or -1.
int find_special_folder(const char* name);
