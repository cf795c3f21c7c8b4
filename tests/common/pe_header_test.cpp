// The processor field of an executable's header, read from its first bytes.
#include "common/pe_header.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

std::vector<std::byte> pe_header(std::uint32_t at, std::uint16_t machine, std::size_t size) {
  std::vector<std::byte> bytes(size);
  bytes[0] = std::byte{'M'};
  bytes[1] = std::byte{'Z'};
  for (int i = 0; i < 4; ++i) bytes[0x3C + i] = std::byte(at >> (8 * i) & 0xFF);
  if (at + 6 <= size) {
    bytes[at] = std::byte{'P'};
    bytes[at + 1] = std::byte{'E'};
    bytes[at + 4] = std::byte(machine & 0xFF);
    bytes[at + 5] = std::byte(machine >> 8);
  }
  return bytes;
}

TEST(PeHeader, MachineOfAnExecutableHeader) {
  EXPECT_EQ(pe_machine(pe_header(0x80, 0x14C, 512)), 0x14C);
  EXPECT_EQ(pe_machine(pe_header(0x80, 0x8664, 512)), 0x8664);
  EXPECT_EQ(pe_machine(pe_header(0x1FA, 0xAA64, 512)), 0xAA64);  // the field ends the bytes read
  EXPECT_EQ(pe_machine(pe_header(0x1FB, 0x8664, 512)), 0);       // header beyond what was read
  EXPECT_EQ(pe_machine(pe_header(0xFFFFFFF0u, 0x8664, 512)), 0); // no overflow
  std::vector<std::byte> cut = pe_header(0x20, 0x8664, 512);
  cut.resize(0x3F);  // shorter than the DOS header
  EXPECT_EQ(pe_machine(cut), 0);
  std::vector<std::byte> not_pe = pe_header(0x80, 0x8664, 512);
  not_pe[0x81] = std::byte{'X'};
  EXPECT_EQ(pe_machine(not_pe), 0);
  std::vector<std::byte> not_mz = pe_header(0x80, 0x8664, 512);
  not_mz[0] = std::byte{'Z'};
  EXPECT_EQ(pe_machine(not_mz), 0);
}

}  // namespace
