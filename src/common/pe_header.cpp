#include "common/pe_header.h"

#include <algorithm>

#include "common/little_endian.h"

namespace {
constexpr std::size_t PE_POINTER_OFFSET = 0x3C;
constexpr std::size_t COFF_HEADER_SIZE = 24;  // "PE\0\0" and the file header
constexpr std::size_t SECTION_HEADER_SIZE = 40;
constexpr std::uint16_t PE32_MAGIC = 0x10B, PE32_PLUS_MAGIC = 0x20B;
constexpr std::uint32_t SECURITY_DIRECTORY = 4;

// Sizes are checked against what is left, never summed first: the stub is
// 32-bit code, and no sum of header fields may wrap.
bool fits(std::span<const std::byte> file, std::size_t offset, std::size_t size) {
  return offset <= file.size() && size <= file.size() - offset;
}
}  // namespace

std::uint16_t pe_machine(std::span<const std::byte> bytes) {
  const std::byte* f = bytes.data();
  if (!fits(bytes, 0, PE_POINTER_OFFSET + 4) || read_u16(f) != 0x5A4D) return 0;  // "MZ"
  std::size_t pe = read_u32(f + PE_POINTER_OFFSET);
  if (!fits(bytes, pe, 6) || read_u32(f + pe) != 0x00004550) return 0;  // "PE\0\0"
  return read_u16(f + pe + 4);
}

security_entry find_security_entry(std::span<const std::byte> file) {
  security_entry entry;
  const std::byte* f = file.data();
  if (!fits(file, 0, PE_POINTER_OFFSET + 4) || read_u16(f) != 0x5A4D) return entry;  // "MZ"
  std::size_t pe = read_u32(f + PE_POINTER_OFFSET);
  if (!fits(file, pe, COFF_HEADER_SIZE + 2) || read_u32(f + pe) != 0x00004550) return entry;
  std::size_t sections = read_u16(f + pe + 6);
  std::size_t optional_size = read_u16(f + pe + 20);
  std::size_t optional = pe + COFF_HEADER_SIZE;
  if (!fits(file, optional, optional_size)) return entry;
  std::size_t table = optional + optional_size;
  if (!fits(file, table, sections * SECTION_HEADER_SIZE)) return entry;

  std::uint16_t magic = read_u16(f + optional);
  std::size_t count_at = magic == PE32_MAGIC ? 92 : magic == PE32_PLUS_MAGIC ? 108 : 0;
  if (count_at == 0 || count_at + 4 > optional_size) return entry;
  std::size_t directory_at = count_at + 4 + SECURITY_DIRECTORY * SECURITY_ENTRY_SIZE;
  if (read_u32(f + optional + count_at) <= SECURITY_DIRECTORY ||
      directory_at + SECURITY_ENTRY_SIZE > optional_size)
    return entry;

  // Headers or a section's raw data that run past the file: no PE to trust.
  std::size_t end = std::max<std::size_t>(read_u32(f + optional + 60), table + sections * SECTION_HEADER_SIZE);
  if (end > file.size()) return entry;
  for (std::size_t i = 0; i < sections; ++i) {
    const std::byte* section = f + table + i * SECTION_HEADER_SIZE;
    std::size_t raw_size = read_u32(section + 16), raw_at = read_u32(section + 20);
    if (raw_size == 0) continue;
    if (!fits(file, raw_at, raw_size)) return entry;
    end = std::max(end, raw_at + raw_size);
  }
  entry.entry_offset = optional + directory_at;
  entry.table_offset = read_u32(f + entry.entry_offset);
  entry.table_size = read_u32(f + entry.entry_offset + 4);
  entry.sections_end = end;
  return entry;
}

std::size_t stale_security_entry(std::span<const std::byte> copy) {
  security_entry entry = find_security_entry(copy);
  if (entry.entry_offset == 0 || (entry.table_offset == 0 && entry.table_size == 0)) return 0;
  return fits(copy, entry.table_offset, entry.table_size) ? 0 : entry.entry_offset;
}
