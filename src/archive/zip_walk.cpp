#include "archive/zip_walk.h"

#include "common/little_endian.h"
#include "common/zip_end_record.h"

// True when length bytes from offset lie inside the image.
static bool fits(std::span<const std::byte> image, std::uint64_t offset, std::uint64_t length) {
  return offset <= image.size() && length <= image.size() - offset;
}

bool open_zip(std::span<const std::byte> image, zip_cursor& cursor) {
  if (image.size() < EOCD_SIZE) return false;
  const std::byte* end = image.data() + image.size() - EOCD_SIZE;
  if (read_u32(end) != EOCD_SIGNATURE) return false;
  std::uint64_t directory_size = read_u32(end + 12);
  std::uint64_t directory_offset = read_u32(end + 16);
  std::uint64_t before_end = image.size() - EOCD_SIZE;
  if (directory_size + directory_offset > before_end) return false;
  cursor.image = image;
  cursor.archive_start = before_end - directory_size - directory_offset;
  cursor.next_entry = cursor.archive_start + directory_offset;
  cursor.count = read_u16(end + 10);
  cursor.index = 0;
  return true;
}

// Reads the local header and places the member's data; false when the header
// or the data the member's method needs lies outside the image.
static bool read_local_header(const zip_cursor& cursor, std::uint64_t local, zip_member& member) {
  std::span<const std::byte> image = cursor.image;
  if (!fits(image, local, LOCAL_HEADER_SIZE)) return false;
  const std::byte* header = image.data() + local;
  if (read_u32(header) != LOCAL_SIGNATURE) return false;
  member.method = read_u16(header + 8);
  member.local_name_length = read_u16(header + 26);
  std::uint64_t data = local + LOCAL_HEADER_SIZE + member.local_name_length + read_u16(header + 28);
  // A stored member is copied by its uncompressed size, anything else is
  // read by its compressed size.
  std::uint64_t length =
      member.method == METHOD_STORED ? member.uncompressed_size : member.compressed_size;
  if (!fits(image, data, length)) return false;
  member.data = image.subspan(data, length);
  std::uint64_t input = member.compressed_size + std::uint64_t{1};
  if (input > image.size() - data) input = image.size() - data;
  member.inflate_input = image.subspan(data, input);
  return true;
}

zip_step next_member(zip_cursor& cursor, zip_member& member) {
  if (cursor.index >= cursor.count) return zip_step::end;
  std::span<const std::byte> image = cursor.image;
  std::uint64_t entry = cursor.next_entry;
  if (!fits(image, entry, CENTRAL_ENTRY_SIZE)) return zip_step::broken;
  const std::byte* central = image.data() + entry;
  if (read_u32(central) != CENTRAL_SIGNATURE) return zip_step::broken;
  std::uint64_t variable = std::uint64_t{read_u16(central + 28)} + read_u16(central + 30) +
                           read_u16(central + 32);
  if (!fits(image, entry, CENTRAL_ENTRY_SIZE + variable)) return zip_step::broken;

  member = {};
  member.utf8_name = (read_u16(central + 8) & FLAG_UTF8_NAME) != 0;
  member.dos_time = read_u16(central + 12);
  member.dos_date = read_u16(central + 14);
  member.crc32 = read_u32(central + 16);
  member.compressed_size = read_u32(central + 20);
  member.uncompressed_size = read_u32(central + 24);
  if (!read_local_header(cursor, cursor.archive_start + read_u32(central + 42), member))
    return zip_step::broken;
  // The name's length comes from the local header, its bytes from here.
  std::uint64_t name = entry + CENTRAL_ENTRY_SIZE;
  if (!fits(image, name, member.local_name_length)) return zip_step::broken;
  member.name = {reinterpret_cast<const char*>(image.data() + name), member.local_name_length};

  cursor.next_entry = entry + CENTRAL_ENTRY_SIZE + variable;
  ++cursor.index;
  return zip_step::member;
}
