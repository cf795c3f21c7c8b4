// The running executable mapped read-only, and the package appended to it.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>

#include "common/mapped_file_win.h"

extern std::int32_t stub_length;     // bytes before the appended data
extern const std::byte* bitmap_data; // the BMP block inside the view, or none
extern char* config_path;            // temporary settings file, or none
extern char* preinstall_script;      // owned pre-install script text, or none
extern HBITMAP package_bitmap;       // made on demand from bitmap_data

// Maps a whole file read-only, sized by the low 32 bits of the file size; an
// empty mapped_file when it cannot be opened, sized or mapped (last error set).
mapped_file map_image(const char* path);

// Finds the package in the image, writes its settings to a temporary file and
// copies out the pre-install script. Returns 1 on success, 0 otherwise.
int open_package(std::span<const std::byte> image);

// Makes package_bitmap from the image's picture, once; safe to call again.
void create_package_bitmap(HWND window);
