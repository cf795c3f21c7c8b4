// What a Python 3 interpreter changes in the installer's texts: the version
// of a recorded DLL name, where compiled files go, and the processor of a
// DLL. (The statements themselves are run by the machine's Python.)
#include "python_runtime/python3_texts.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace {

TEST(Python3Texts, MajorVersionOfARecordedDllName) {
  struct row {
    const char* name;
    int major;
  };
  const row rows[] = {
      {"python312.dll", 3}, {"python27.dll", 2}, {"PYTHON30.DLL", 3}, {"python3.dll", 3},
      {"python.dll", 0},    {"pythonx.dll", 0},  {"", 0},             {"py312.dll", 0},
  };
  for (const row& r : rows) EXPECT_EQ(python_major_of_dll(r.name), r.major) << r.name;
}

TEST(Python3Texts, CompiledFileOfEachVersionAndLevel) {
  struct row {
    int major, minor, optimize;
    bool in_cache;
    const char* cache_dir;
    const char* path;
  };
  const char* source = "C:\\P\\Lib\\site-packages\\example\\__init__.py";
  const row rows[] = {
      {2, 7, 0, false, "", "C:\\P\\Lib\\site-packages\\example\\__init__.pyc"},
      {2, 7, 1, false, "", "C:\\P\\Lib\\site-packages\\example\\__init__.pyo"},
      {3, 0, 0, false, "", "C:\\P\\Lib\\site-packages\\example\\__init__.pyc"},
      {3, 1, 1, false, "", "C:\\P\\Lib\\site-packages\\example\\__init__.pyo"},
      {3, 2, 0, true, "C:\\P\\Lib\\site-packages\\example\\__pycache__",
       "C:\\P\\Lib\\site-packages\\example\\__pycache__\\__init__.cpython-32.pyc"},
      {3, 4, 1, true, "C:\\P\\Lib\\site-packages\\example\\__pycache__",
       "C:\\P\\Lib\\site-packages\\example\\__pycache__\\__init__.cpython-34.pyo"},
      {3, 5, 1, true, "C:\\P\\Lib\\site-packages\\example\\__pycache__",
       "C:\\P\\Lib\\site-packages\\example\\__pycache__\\__init__.cpython-35.opt-1.pyc"},
      {3, 12, 0, true, "C:\\P\\Lib\\site-packages\\example\\__pycache__",
       "C:\\P\\Lib\\site-packages\\example\\__pycache__\\__init__.cpython-312.pyc"},
      {3, 12, 1, true, "C:\\P\\Lib\\site-packages\\example\\__pycache__",
       "C:\\P\\Lib\\site-packages\\example\\__pycache__\\__init__.cpython-312.opt-1.pyc"},
  };
  for (const row& r : rows) {
    compiled_file plan = plan_compiled_file(source, r.major, r.minor, r.optimize);
    std::string what = std::to_string(r.major) + "." + std::to_string(r.minor) + " -O" + std::to_string(r.optimize);
    EXPECT_TRUE(plan.ok) << what;
    EXPECT_EQ(plan.in_cache, r.in_cache) << what;
    EXPECT_EQ(std::string(plan.path), r.path) << what;
    if (r.in_cache) {
      EXPECT_EQ(std::string(plan.cache_dir), r.cache_dir) << what;
    }
  }
}

TEST(Python3Texts, OnlyTheLastDotEndsTheStem) {
  compiled_file plan = plan_compiled_file("C:\\a.b\\mod.test.py", 3, 12, 0);
  EXPECT_EQ(std::string(plan.path), "C:\\a.b\\__pycache__\\mod.test.cpython-312.pyc");
}

// A compiled name that does not fit is refused, never cut into another name.
TEST(Python3Texts, ACompiledPathThatDoesNotFitIsRefused) {
  std::string dir = "C:\\" + std::string(230, 'd');
  compiled_file fits = plan_compiled_file((dir + "\\m.py").c_str(), 3, 12, 1);
  EXPECT_TRUE(fits.ok);
  std::string long_dir = "C:\\" + std::string(250, 'd');
  compiled_file too_long = plan_compiled_file((long_dir + "\\" + std::string(60, 'm') + ".py").c_str(), 3, 12, 1);
  EXPECT_FALSE(too_long.ok);
  EXPECT_STREQ(too_long.path, "");
  EXPECT_STREQ(too_long.cache_dir, "");
}

TEST(Python3Texts, CacheCompilingStartsWithPython32) {
  EXPECT_FALSE(compiles_into_cache(2, 7));
  EXPECT_FALSE(compiles_into_cache(3, 1));
  EXPECT_TRUE(compiles_into_cache(3, 2));
  EXPECT_TRUE(compiles_into_cache(4, 0));
}

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

TEST(Python3Texts, MachineOfAnExecutableHeader) {
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
