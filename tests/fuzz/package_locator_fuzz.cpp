// Any bytes as an installer image: locating the package must never read
// outside them, and whatever it reports must lie inside them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "startup/package_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::byte> image(reinterpret_cast<const std::byte*>(data), size);
  package_location loc = locate_package(image);
  if (loc.status != package_status::ok) return 0;
  if (loc.meta_offset + META_HEADER_SIZE + EOCD_SIZE > size) std::abort();
  if (loc.cfgdata_offset + loc.cfgdata_length != loc.meta_offset) std::abort();
  if (loc.bitmap_offset + loc.bitmap_length != loc.cfgdata_offset) std::abort();
  if (static_cast<std::size_t>(loc.stub_length) != loc.bitmap_offset) std::abort();
  cfgdata_parts parts = split_cfgdata(image.subspan(loc.cfgdata_offset, loc.cfgdata_length));
  if (parts.settings_length > loc.cfgdata_length) std::abort();
  if (loc.bitmap_length) bitmap_block_is_sane(image.subspan(loc.bitmap_offset, loc.bitmap_length));
  return 0;
}
