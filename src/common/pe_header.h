// Fields of a Windows executable's headers, read from its bytes, which may
// be truncated or damaged: nothing outside them is ever named.
//
// The PE headers as read here (offsets in bytes):
//
//   +0x3C u32 e_lfanew: offset of "PE\0\0"
//   e_lfanew +6 u16 number of sections, +20 u16 size of the optional header
//   optional header at e_lfanew + 24:
//     +0  u16 magic 0x10B (PE32) or 0x20B (PE32+)
//     +60 u32 size of the headers
//     +92 (PE32) / +108 (PE32+) u32 number of data directory entries
//     +96 (PE32) / +112 (PE32+) data directory entries, 8 bytes each;
//         entry 4, the security directory: u32 file offset, u32 size
//   section table behind the optional header, 40 bytes a section:
//     +16 u32 size of the raw data, +20 u32 file offset of the raw data
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

// The machine field (0x14C i386, 0x8664 x64, 0xAA64 arm64); 0 when bytes do
// not hold one.
std::uint16_t pe_machine(std::span<const std::byte> bytes);

inline constexpr std::size_t SECURITY_ENTRY_SIZE = 8;

// The PE security directory entry of an executable's headers.
struct security_entry {
  std::size_t entry_offset = 0;   // where its 8 bytes stand; 0: no entry
  std::uint32_t table_offset = 0;
  std::uint32_t table_size = 0;
  std::size_t sections_end = 0;   // end of the headers and every section's raw data
};

// Reads the entry from a file whose DOS, PE and optional headers, section
// table and sections' raw data lie wholly inside it; entry_offset stays 0
// for any other file.
security_entry find_security_entry(std::span<const std::byte> file);

// The uninstaller copy is the image's stub part, whose headers still name the
// signed file's certificate table. The offset of the security entry to clear
// when it points past the copy's end; 0 when the copy is to stay as it is.
std::size_t stale_security_entry(std::span<const std::byte> copy);
