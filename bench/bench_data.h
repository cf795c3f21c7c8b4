// The benchmark's package: 2,000 files of 4 KiB and 20 files of 5 MiB of
// text-like bytes (words drawn from a small vocabulary, so deflate has
// something to do, about as much as on source files).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct bench_file {
  std::string name;
  std::string content;
};

inline std::string bench_content(std::size_t size, std::uint32_t seed) {
  static const char* const words[] = {"def ", "return ", "self", ".value", " = ", "(x, y)",
                                      "\n    ", "import ", "class ", "None", "# note\n", "0x7f",
                                      "for i in range(n):", "if ", " else ", "\n"};
  std::string s;
  s.reserve(size + 32);
  std::uint32_t state = seed * 2654435761u + 1;
  while (s.size() < size) {
    state = state * 1664525u + 1013904223u;
    s += words[state >> 28];
    if ((state & 0xFF) < 12) s += static_cast<char>('a' + (state >> 8) % 26);
  }
  s.resize(size);
  return s;
}

inline std::vector<bench_file> small_files() {
  std::vector<bench_file> files;
  for (int i = 0; i < 2000; ++i)
    files.push_back({"small/d" + std::to_string(i / 100) + "/f" + std::to_string(i) + ".py",
                     bench_content(4096, static_cast<std::uint32_t>(i))});
  return files;
}

inline std::vector<bench_file> large_files() {
  std::vector<bench_file> files;
  for (int i = 0; i < 20; ++i)
    files.push_back({"large/f" + std::to_string(i) + ".dat",
                     bench_content(5u << 20, static_cast<std::uint32_t>(10000 + i))});
  return files;
}
