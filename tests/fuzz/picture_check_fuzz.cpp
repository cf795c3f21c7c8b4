// Any bytes as a package picture: the check must never read outside them, and
// a picture it accepts must have its header, colour table and bits inside.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "startup/package_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact copy: the sanitizer catches any read past the block.
  std::vector<std::byte> block(size);
  if (size) std::memcpy(block.data(), data, size);
  if (!bitmap_block_is_sane(block)) return 0;
  std::uint32_t header_size = read_u32(block.data() + 14);
  if (14 + std::uint64_t{header_size} > size || read_u32(block.data() + 10) > size) std::abort();
  return 0;
}
