// Little-endian integers read from bytes of the image, which the caller has
// checked exist. The startup's package layout and the zip walk both read them.
#pragma once
#include <cstddef>
#include <cstdint>

inline std::uint16_t read_u16(const std::byte* p) {
  return static_cast<std::uint16_t>(std::to_integer<unsigned>(p[0]) |
                                    (std::to_integer<unsigned>(p[1]) << 8));
}

inline std::uint32_t read_u32(const std::byte* p) {
  return std::to_integer<std::uint32_t>(p[0]) | (std::to_integer<std::uint32_t>(p[1]) << 8) |
         (std::to_integer<std::uint32_t>(p[2]) << 16) |
         (std::to_integer<std::uint32_t>(p[3]) << 24);
}
