// The zip structures the installer reads, walked over the mapped image.
// All integers are little-endian; offsets count from each structure's start.
//
//   end of central directory: the image's last 22 bytes (no archive comment)
//     +0  u32 signature 0x06054B50
//     +10 u16 total number of entries (the member count)
//     +12 u32 size of the central directory
//     +16 u32 offset of the central directory, from the archive's start
//
//   archive start = image size - 22 - directory size - directory offset;
//   every zip offset counts from there.
//
//   central directory entry (46 bytes, then name, extra field, comment)
//     +0  u32 signature 0x02014B50
//     +8  u16 general purpose flags: bit 11 set, the name is UTF-8
//     +12 u16 DOS time          +14 u16 DOS date
//     +16 u32 CRC-32 of the uncompressed data
//     +20 u32 compressed size   +24 u32 uncompressed size
//     +28 u16 name length  +30 u16 extra length  +32 u16 comment length
//     +42 u32 offset of the local header, from the archive's start
//     +46     name (not NUL-terminated)
//
//   local file header (30 bytes, then name and extra field, then the data)
//     +0  u32 signature 0x04034B50
//     +8  u16 compression method: 0 stored, 8 deflated
//     +26 u16 name length: how many bytes of the central name are used
//     +28 u16 extra length
//
// Nothing else of the format is read. The image comes from a file that may be
// truncated or damaged in download, so every structure, name and data range is
// checked against the image (sums in 64 bits) before it is handed out: a walk
// over any bytes never reads outside them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

inline constexpr std::uint32_t CENTRAL_SIGNATURE = 0x02014B50;
inline constexpr std::uint32_t LOCAL_SIGNATURE = 0x04034B50;
inline constexpr std::size_t CENTRAL_ENTRY_SIZE = 46;
inline constexpr std::size_t LOCAL_HEADER_SIZE = 30;
inline constexpr std::uint16_t METHOD_STORED = 0;
inline constexpr std::uint16_t METHOD_DEFLATED = 8;
inline constexpr std::uint16_t FLAG_UTF8_NAME = 0x0800;

// One member, as the central directory and its local header describe it.
struct zip_member {
  std::string_view name;  // central name bytes, local name length of them
  bool utf8_name;         // the central flags say the name is UTF-8
  std::uint16_t method;   // from the local header
  std::uint16_t dos_date;
  std::uint16_t dos_time;
  std::uint32_t crc32;
  std::uint32_t compressed_size;
  std::uint32_t uncompressed_size;
  std::uint16_t local_name_length;
  // The member's data: the bytes a stored member copies (uncompressed size)
  // or a deflated one inflates (compressed size), all inside the image.
  std::span<const std::byte> data;
  // Inflate input: the compressed data and the byte behind it, which a raw
  // stream may look at past its end; never past the image's end.
  std::span<const std::byte> inflate_input;
};

// Position of a walk through the central directory.
struct zip_cursor {
  std::span<const std::byte> image;
  std::uint64_t archive_start = 0;
  std::uint64_t next_entry = 0;  // image offset of the next central entry
  std::uint16_t count = 0;       // members in the archive
  std::uint16_t index = 0;       // members handed out so far
};

enum class zip_step {
  member,  // one more member was read
  end,     // the walk has handed out every member
  broken,  // a signature or a range does not fit: stop, read no further
};

// Reads the end record; false when there is none or the directory it names
// cannot lie inside the image.
bool open_zip(std::span<const std::byte> image, zip_cursor& cursor);

// Reads the next central entry and its local header into member.
zip_step next_member(zip_cursor& cursor, zip_member& member);
