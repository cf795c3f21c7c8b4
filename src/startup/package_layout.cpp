#include "startup/package_layout.h"

#include <cstring>

package_location locate_package(std::span<const std::byte> image) {
  package_location loc;
  if (image.size() < EOCD_SIZE) return loc;
  const std::byte* eocd = image.data() + image.size() - EOCD_SIZE;
  if (read_u32(eocd) != EOCD_SIGNATURE) return loc;

  std::int64_t meta = static_cast<std::int64_t>(image.size()) - read_u32(eocd + 12) -
                      read_u32(eocd + 16) - static_cast<std::int64_t>(EOCD_SIZE) -
                      static_cast<std::int64_t>(META_HEADER_SIZE);
  if (meta < 0) {
    loc.status = package_status::bad_offset;
    return loc;
  }
  // A meta_header at a non-negative offset always lies inside the image: the
  // end record alone takes the last 22 bytes behind it.
  const std::byte* header = image.data() + meta;
  if (read_u32(header) != META_MAGIC) {
    loc.status = package_status::bad_magic;
    return loc;
  }
  std::uint32_t cfg_len = read_u32(header + 4);
  std::uint32_t bmp_len = read_u32(header + 8);
  std::int64_t cfg_start = meta - cfg_len;
  std::int64_t bmp_start = cfg_start - bmp_len;
  if (cfg_start < 0 || bmp_start < 0) {
    loc.status = package_status::bad_lengths;
    return loc;
  }
  loc.status = package_status::ok;
  loc.meta_offset = static_cast<std::size_t>(meta);
  loc.cfgdata_offset = static_cast<std::size_t>(cfg_start);
  loc.cfgdata_length = cfg_len;
  loc.bitmap_offset = static_cast<std::size_t>(bmp_start);
  loc.bitmap_length = bmp_len;
  loc.stub_length = static_cast<std::int32_t>(bmp_start);
  return loc;
}

cfgdata_parts split_cfgdata(std::span<const std::byte> cfgdata) {
  if (cfgdata.empty()) return {0, {}};
  const void* nul = std::memchr(cfgdata.data(), 0, cfgdata.size());
  if (!nul) return {cfgdata.size(), {}};
  std::size_t settings = static_cast<const std::byte*>(nul) - cfgdata.data();
  std::span<const std::byte> rest = cfgdata.subspan(settings + 1);
  if (rest.empty()) return {settings, {}};
  const void* end = std::memchr(rest.data(), 0, rest.size());
  std::size_t script_len = end ? static_cast<const std::byte*>(end) - rest.data() : rest.size();
  return {settings, rest.first(script_len)};
}

bool bitmap_block_is_sane(std::span<const std::byte> block) {
  constexpr std::uint64_t file_header = 14, info_header = 40;
  const std::uint64_t size = block.size();
  if (size < file_header + info_header) return false;
  const std::byte* p = block.data();
  const std::byte* info = p + file_header;
  std::uint64_t header_size = read_u32(info);
  auto width = static_cast<std::int32_t>(read_u32(info + 4));
  auto height = static_cast<std::int32_t>(read_u32(info + 8));
  std::uint32_t bit_count = read_u16(info + 14);
  std::uint32_t compression = read_u32(info + 16);
  std::uint32_t size_image = read_u32(info + 20);
  std::uint64_t colours_used = read_u32(info + 32);
  if (header_size < info_header || width <= 0 || height == 0 || height == INT32_MIN) return false;
  if (bit_count != 1 && bit_count != 4 && bit_count != 8 && bit_count != 16 && bit_count != 24 &&
      bit_count != 32)
    return false;

  std::uint64_t colours = colours_used ? colours_used : (bit_count <= 8 ? 1u << bit_count : 0);
  std::uint64_t table = colours * 4 + (compression == 3 && header_size == info_header ? 12 : 0);
  if (file_header + header_size + table > size) return false;

  std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -static_cast<std::int64_t>(height) : height);
  std::uint64_t bits_size;
  if (compression == 0 || compression == 3) {
    std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bit_count + 31) / 32) * 4;
    bits_size = stride * rows;
  } else if (compression == 1 || compression == 2) {
    bits_size = size_image;
    if (bits_size == 0) return false;
  } else {
    return false;
  }
  std::uint64_t bits_offset = read_u32(p + 10);
  return bits_offset <= size && bits_size <= size - bits_offset;
}
