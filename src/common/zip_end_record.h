// The zip archive's end-of-central-directory record, which closes the image:
// the startup finds the package's meta_header from it, the zip walk the
// central directory. The installer's archives carry no comment, so the
// record is the image's last 22 bytes. Little-endian:
//
//   +0  u32 signature 0x06054B50
//   +10 u16 total number of entries
//   +12 u32 size of the central directory
//   +16 u32 offset of the central directory, from the archive's start
#pragma once
#include <cstddef>
#include <cstdint>

inline constexpr std::uint32_t EOCD_SIGNATURE = 0x06054B50;
inline constexpr std::size_t EOCD_SIZE = 22;
