// Layout of an installer image, as the stub reads its own executable file.
// All integers are little-endian.
//
//   +---------------------------+  offset 0
//   | stub                      |  stub_length bytes: the executable itself
//   +---------------------------+
//   | bitmap (optional)         |  bitmap_length bytes: a whole BMP file
//   +---------------------------+
//   | cfgdata                   |  cfgdata_length bytes: INI text, NUL,
//   |                           |  pre-install script, NUL or end of block
//   +---------------------------+  meta_offset
//   | meta_header (12 bytes)    |  u32 magic 0x1234567B
//   |                           |  u32 cfgdata_length, u32 bitmap_length
//   +---------------------------+  archive start = meta_offset + 12
//   | zip archive               |  offsets count from its first byte; ends
//   |   ... central directory   |  with the 22-byte end-of-central-directory
//   |   end of central dir (22) |  record and carries no archive comment
//   +---------------------------+  end of the image
//   | zero padding (0 to 7)     |  only in a signed file: the signer pads the
//   +---------------------------+  image to a multiple of 8, then appends
//   | certificate table         |  the table that the PE security directory
//   +---------------------------+  (data directory entry 4) names: end of file;
//                                 common/pe_header.h finds that entry
//
// The end-of-central-directory fields read here (common/zip_end_record.h):
// the signature, the central directory's size and its offset.
//
// The header fields come from a file that may be truncated or damaged in
// download; every sum is taken in 64 bits, so no value can wrap around and
// nothing outside the image is ever named.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/little_endian.h"
#include "common/pe_header.h"
#include "common/zip_end_record.h"

inline constexpr std::uint32_t META_MAGIC = 0x1234567B;
inline constexpr std::size_t MAX_SIGNATURE_PADDING = 7;
inline constexpr std::size_t META_HEADER_SIZE = 12;

struct meta_header {
  std::uint32_t magic;
  std::uint32_t cfgdata_length;
  std::uint32_t bitmap_length;
};
static_assert(sizeof(meta_header) == META_HEADER_SIZE);

enum class package_status {
  ok,
  no_archive,   // no end-of-central-directory record in the last 22 bytes
  bad_offset,   // meta_header would start before the image
  bad_magic,    // meta_header found, wrong magic number
  bad_lengths,  // cfgdata or bitmap would start before the image
};

struct package_location {
  package_status status = package_status::no_archive;
  std::size_t meta_offset = 0;
  std::size_t cfgdata_offset = 0;
  std::uint32_t cfgdata_length = 0;
  std::size_t bitmap_offset = 0;  // meaningful when bitmap_length != 0
  std::uint32_t bitmap_length = 0;
  std::int32_t stub_length = 0;   // offset of the first appended byte
};

// Finds the meta_header and the appended pieces of an installer image.
package_location locate_package(std::span<const std::byte> image);

// The installer image inside the running file. A signed file names a
// certificate table that starts behind the stub's headers and sections and
// ends exactly at the file's end; the image then ends in front of it, less
// the zero padding behind the end-of-central-directory record. Any other
// entry (none, zero, overlapping the stub, short of or past the end,
// wrapping) means no signature: the whole file is the image.
std::span<const std::byte> image_from_file(std::span<const std::byte> file);

struct cfgdata_parts {
  std::size_t settings_length;        // bytes of INI text before the first NUL
  std::span<const std::byte> script;  // pre-install script, without its NUL
};

// Splits a cfgdata block into the settings text and the pre-install script.
// Without a NUL the settings take the whole block and the script is empty.
cfgdata_parts split_cfgdata(std::span<const std::byte> cfgdata);

// The picture block is a whole BMP file: a 14-byte file header (bytes 10..13:
// offset of the pixel bits from the block's start), an information header with
// its colour table, then the bits. The information header is the 12-byte core
// header (RGBTRIPLE colours) or the 40-byte info header or one of its longer
// forms (v4 108, v5 124 bytes; RGBQUAD colours, bit-field masks, RLE8 and
// RLE4). True when the header is one the system draws and the header, the
// masks, the colour table, a v5 colour profile and every pixel byte the
// header promises (an RLE stream up to its end-of-bitmap code) lie inside the
// block, so the system can be handed the picture without reading past it.
bool bitmap_block_is_sane(std::span<const std::byte> block);
