#include "startup/package_layout.h"

#include <algorithm>
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

std::span<const std::byte> image_from_file(std::span<const std::byte> file) {
  security_entry entry = find_security_entry(file);
  if (entry.entry_offset == 0 || entry.table_offset == 0 || entry.table_size == 0 ||
      entry.table_offset < entry.sections_end || entry.table_offset > file.size() ||
      entry.table_size != file.size() - entry.table_offset)
    return file;
  // The padding is zeros behind the end record: the record's own last bytes
  // (a comment length of 0) are zeros too, so the record is found by its
  // signature, the shortest padding first.
  std::size_t end = entry.table_offset;
  for (std::size_t pad = 0; pad <= MAX_SIGNATURE_PADDING && pad + EOCD_SIZE <= end; ++pad) {
    if (read_u32(file.data() + end - pad - EOCD_SIZE) == EOCD_SIGNATURE) return file.first(end - pad);
    if (file[end - pad - 1] != std::byte{0}) break;
  }
  return file.first(end);
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

// The picture's information header comes in two forms: the core header of
// 12 bytes (16-bit sizes, RGBTRIPLE colours, no compression) and the info
// header of 40 bytes or more (the v4 and v5 headers extend it; 32-bit sizes,
// a negative height for top-down rows, RGBQUAD colours).
constexpr std::uint64_t BMP_FILE_HEADER_SIZE = 14;
constexpr std::uint32_t BMP_CORE_HEADER_SIZE = 12;
constexpr std::uint32_t BMP_INFO_HEADER_SIZE = 40;
constexpr std::uint32_t BMP_V5_HEADER_SIZE = 124;
constexpr std::uint32_t BMP_RGB = 0, BMP_RLE8 = 1, BMP_RLE4 = 2, BMP_BITFIELDS = 3;
constexpr std::uint32_t BMP_PROFILE_LINKED = 0x4C494E4B, BMP_PROFILE_EMBEDDED = 0x4D424544;

namespace {

struct bitmap_format {
  std::uint64_t header_size;
  std::uint64_t width, rows;
  std::uint32_t bit_count, compression;
  std::uint32_t size_image;
  std::uint64_t colours_used;  // 0: as many as the depth has
  std::uint64_t colour_entry;  // 3 (RGBTRIPLE) or 4 (RGBQUAD) bytes
};

bool read_core_header(const std::byte* header, bitmap_format& f) {
  f.width = read_u16(header + 4);
  f.rows = read_u16(header + 6);
  f.bit_count = read_u16(header + 10);
  f.compression = BMP_RGB;
  f.size_image = 0;
  f.colours_used = 0;
  f.colour_entry = 3;
  return f.width != 0 && f.rows != 0;
}

bool read_info_header(const std::byte* header, bitmap_format& f) {
  auto width = static_cast<std::int32_t>(read_u32(header + 4));
  auto height = static_cast<std::int32_t>(read_u32(header + 8));
  if (width <= 0 || height == 0 || height == INT32_MIN) return false;
  f.width = static_cast<std::uint64_t>(width);
  f.rows = static_cast<std::uint64_t>(height < 0 ? -static_cast<std::int64_t>(height) : height);
  f.bit_count = read_u16(header + 14);
  f.compression = read_u32(header + 16);
  f.size_image = read_u32(header + 20);
  f.colours_used = read_u32(header + 32);
  f.colour_entry = 4;
  return true;
}

// True for the depths and compressions the system draws: RLE8 only at 8
// bits, RLE4 only at 4, bit-field masks only at 16 and 32.
bool format_is_drawable(const bitmap_format& f) {
  switch (f.bit_count) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
  }
  switch (f.compression) {
    case BMP_RGB: return true;
    case BMP_RLE8: return f.bit_count == 8;
    case BMP_RLE4: return f.bit_count == 4;
    case BMP_BITFIELDS: return f.bit_count == 16 || f.bit_count == 32;
    default: return false;
  }
}

// Bytes after the information header that the system reads with it: the
// three bit-field masks behind a header too short to hold them, then the
// colour table.
std::uint64_t colour_table_size(const bitmap_format& f) {
  std::uint64_t colours = f.colours_used;
  if (colours == 0 && f.bit_count <= 8) colours = std::uint64_t{1} << f.bit_count;
  bool masks_outside = f.compression == BMP_BITFIELDS && f.header_size < BMP_INFO_HEADER_SIZE + 12;
  return (masks_outside ? 12 : 0) + colours * f.colour_entry;
}

// A v5 header may name a colour profile inside the block, by its offset
// from the header's start.
bool profile_fits(std::span<const std::byte> block, const bitmap_format& f) {
  if (f.header_size < BMP_V5_HEADER_SIZE) return true;
  const std::byte* header = block.data() + BMP_FILE_HEADER_SIZE;
  std::uint32_t type = read_u32(header + 56);
  if (type != BMP_PROFILE_LINKED && type != BMP_PROFILE_EMBEDDED) return true;
  std::uint64_t room = block.size() - BMP_FILE_HEADER_SIZE;
  std::uint64_t offset = read_u32(header + 112), size = read_u32(header + 116);
  return offset <= room && size <= room - offset;
}

// Uncompressed rows are padded to 4 bytes; the product is checked by
// division, so no width, depth or height can wrap it.
bool rows_fit(const bitmap_format& f, std::uint64_t room) {
  std::uint64_t stride = (f.width * f.bit_count + 31) / 32 * 4;
  return f.rows <= room / stride;
}

// Follows the codes of an RLE8 or RLE4 stream: every code and the pixels it
// carries lie inside the stream, and it ends with the end-of-bitmap code, so
// a decoder that follows the codes reads nothing behind it.
bool rle_stream_is_whole(std::span<const std::byte> stream, std::uint32_t bit_count) {
  std::size_t at = 0;
  while (stream.size() - at >= 2) {
    unsigned count = std::to_integer<unsigned>(stream[at]);
    unsigned code = std::to_integer<unsigned>(stream[at + 1]);
    at += 2;
    if (count != 0 || code == 0) continue;  // a run of one value, or an end of line
    if (code == 1) return true;             // end of bitmap
    std::size_t operand = code == 2 ? 2 : bit_count == 8 ? code : (code + 1) / 2;
    if (code != 2) operand += operand & 1;  // absolute pixels are padded to 16 bits
    if (operand > stream.size() - at) return false;
    at += operand;
  }
  return false;
}

bool pixel_bits_fit(std::span<const std::byte> block, const bitmap_format& f) {
  std::uint64_t bits_offset = read_u32(block.data() + 10);
  if (bits_offset > block.size()) return false;
  std::uint64_t room = block.size() - bits_offset;
  if (f.compression != BMP_RLE8 && f.compression != BMP_RLE4) return rows_fit(f, room);
  if (f.size_image == 0 || f.size_image > room) return false;
  return rle_stream_is_whole(block.subspan(bits_offset, f.size_image), f.bit_count);
}

}  // namespace

bool bitmap_block_is_sane(std::span<const std::byte> block) {
  if (block.size() < BMP_FILE_HEADER_SIZE + 4) return false;
  const std::byte* header = block.data() + BMP_FILE_HEADER_SIZE;
  const std::uint64_t room = block.size() - BMP_FILE_HEADER_SIZE;
  bitmap_format f{};
  f.header_size = read_u32(header);
  if (f.header_size > room) return false;
  if (f.header_size == BMP_CORE_HEADER_SIZE) {
    if (!read_core_header(header, f)) return false;
  } else if (f.header_size >= BMP_INFO_HEADER_SIZE) {
    if (!read_info_header(header, f)) return false;
  } else {
    return false;
  }
  if (!format_is_drawable(f)) return false;
  if (colour_table_size(f) > room - f.header_size) return false;
  return profile_fits(block, f) && pixel_bits_fit(block, f);
}
