#include "startup/package_image_win.h"

#include <cstdlib>
#include <cstring>
#include <span>

#include "common/owner_crt_win.h"
#include "common/program_win.h"
#include "startup/package_layout.h"

std::int32_t stub_length;
const std::byte* bitmap_data;
char* config_path;
char* preinstall_script;
HBITMAP package_bitmap;

// Length of the bitmap block, kept to check the picture before it is used.
static std::uint32_t bitmap_block_length;

mapped_file map_image(const char* path) {
  unique_file file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  // INVALID_FILE_SIZE is also the low half of some sizes: only the error tells.
  SetLastError(NO_ERROR);
  DWORD size = GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return {};
  unique_handle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping) return {};
  unique_view view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
  if (!view) return {};
  return {std::move(view), size};
}

// Writes the settings text of cfgdata into a new file of exactly
// cfgdata.size() bytes, NUL-filled behind the text. Returns false on failure.
static bool write_config_file(const char* path, std::span<const std::byte> cfgdata,
                              std::size_t settings_length) {
  unique_file file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file || cfgdata.empty()) return false;
  unique_handle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READWRITE, 0,
                                           static_cast<DWORD>(cfgdata.size()), nullptr));
  file.reset();
  if (!mapping) return false;
  unique_view view(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
  mapping.reset();
  if (!view) return false;
  auto* out = static_cast<std::byte*>(view.get());
  std::memcpy(out, cfgdata.data(), settings_length);
  std::memset(out + settings_length, 0, cfgdata.size() - settings_length);
  return true;
}

int open_package(std::span<const std::byte> image) {
  config_path = nullptr;
  preinstall_script = nullptr;

  package_location loc = locate_package(image);
  if (loc.status == package_status::bad_magic) {
    report_system_error(0, "Invalid cfgdata magic number (see mkpkg_kitpack)");
    return 0;
  }
  if (loc.status != package_status::ok) return 0;

  if (loc.bitmap_length != 0) {
    bitmap_data = image.data() + loc.bitmap_offset;
    bitmap_block_length = loc.bitmap_length;
  }
  stub_length = loc.stub_length;

  unique_heap_text path = heap_alloc<char>(MAX_PATH);
  if (!path) return 0;
  char temp_dir[MAX_PATH];
  DWORD n = GetTempPathA(sizeof temp_dir, temp_dir);
  if (n == 0 || n >= sizeof temp_dir || GetTempFileNameA(temp_dir, "~du", 0, path.get()) == 0) {
    report_system_error(GetLastError(), "Could not create temporary file");
    return 0;
  }

  std::span<const std::byte> cfgdata = image.subspan(loc.cfgdata_offset, loc.cfgdata_length);
  cfgdata_parts parts = split_cfgdata(cfgdata);
  if (!write_config_file(path.get(), cfgdata, parts.settings_length)) return 0;

  unique_heap_text script = heap_alloc<char>(parts.script.size() + 1);
  if (!script) return 0;
  if (!parts.script.empty()) std::memcpy(script.get(), parts.script.data(), parts.script.size());
  script.get()[parts.script.size()] = '\0';
  // Both live until install mode ends.
  preinstall_script = script.release();
  config_path = path.release();
  return 1;
}

void create_package_bitmap(HWND window) {
  if (!bitmap_data || package_bitmap) return;
  std::span<const std::byte> block(bitmap_data, bitmap_block_length);
  if (!bitmap_block_is_sane(block)) return;
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bitmap_data + 14);
  const std::byte* bits = bitmap_data + read_u32(bitmap_data + 10);
  HDC dc = GetDC(window);
  package_bitmap = CreateDIBitmap(dc, header, CBM_INIT, bits,
                                  reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
  ReleaseDC(window, dc);
}
