// Any bytes as the running file: finding the image in front of a signature
// must never read outside them, the image is always a leading part of the
// file, and a cut is only ever made in front of a table ending at the end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "startup/package_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::byte> file(reinterpret_cast<const std::byte*>(data), size);
  std::span<const std::byte> image = image_from_file(file);
  if (image.data() != file.data() || image.size() > file.size()) std::abort();
  security_entry entry = find_security_entry(file);
  if (entry.entry_offset && entry.entry_offset + SECURITY_ENTRY_SIZE > size) std::abort();
  if (image.size() < file.size()) {
    if (entry.entry_offset == 0 || std::uint64_t{entry.table_offset} + entry.table_size != size) std::abort();
    if (image.size() > entry.table_offset || image.size() + MAX_SIGNATURE_PADDING < entry.table_offset ||
        entry.table_offset < entry.sections_end)
      std::abort();
  }
  std::size_t stale = stale_security_entry(image);
  if (stale && stale + SECURITY_ENTRY_SIZE > image.size()) std::abort();
  locate_package(image);
  return 0;
}
