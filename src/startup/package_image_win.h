// The running executable mapped read-only, and the package appended to it.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

extern const std::byte* image_base;  // start of the read-only view of the image
extern std::uint32_t image_size;     // low 32 bits of the file size
extern std::int32_t stub_length;     // bytes before the appended data
extern const std::byte* bitmap_data; // the BMP block inside the view, or none
extern char* config_path;            // temporary settings file, or none
extern char* preinstall_script;      // owned pre-install script text, or none
extern HBITMAP package_bitmap;       // made on demand from bitmap_data

struct mapped_image {
  const std::byte* base;
  std::uint32_t size;
};

// Maps a whole file read-only; base is null on failure (last error set).
mapped_image map_image(const char* path);

// Unmaps the view that map_image made.
void unmap_image(const std::byte* base);

// Finds the package in the image, writes its settings to a temporary file and
// copies out the pre-install script. Returns 1 on success, 0 otherwise.
int open_package(const std::byte* base, std::uint32_t size);

// Makes package_bitmap from the image's picture, once; safe to call again.
void create_package_bitmap(HWND window);
