// Builds small zip archives in memory for the tests and the benchmark: stored,
// deflated or any other method, with exact control over every field the
// installer reads, so damaged archives can be made on purpose.
#pragma once
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

struct zip_entry {
  std::string name;
  std::string content;
  std::uint16_t method = 8;  // 0 stored, 8 deflated, anything else as given
  std::uint16_t flags = 0;   // general purpose flags: 0x800, the name is UTF-8
  std::uint16_t dos_date = (2008 - 1980) << 9 | 3 << 5 | 1;  // 2008-03-01
  std::uint16_t dos_time = 10 << 11 | 15 << 5 | 30 / 2;      // 10:15:30
  bool wrong_crc = false;        // store a CRC-32 that does not match
  std::string local_extra;       // extra field of the local header
  bool raw = false;              // content goes in as it is, whatever the method
  std::int64_t central_size = -1;  // uncompressed size in the central entry, if not the content's
};

inline zip_entry entry(std::string name, std::string content, std::uint16_t method = 8,
                       bool wrong_crc = false) {
  zip_entry e;
  e.name = std::move(name);
  e.content = std::move(content);
  e.method = method;
  e.wrong_crc = wrong_crc;
  return e;
}

inline std::string raw_deflate(const std::string& data, int level = Z_DEFAULT_COMPRESSION) {
  z_stream s{};
  deflateInit2(&s, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&s, static_cast<uLong>(data.size())) + 16, '\0');
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  s.avail_in = static_cast<uInt>(data.size());
  s.next_out = reinterpret_cast<Bytef*>(out.data());
  s.avail_out = static_cast<uInt>(out.size());
  deflate(&s, Z_FINISH);
  out.resize(s.total_out);
  deflateEnd(&s);
  return out;
}

inline void put16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
inline void put32(std::string& s, std::uint32_t v) {
  put16(s, v & 0xFFFF);
  put16(s, v >> 16);
}

// The archive, behind `prefix` (a stub and package data before the archive:
// zip offsets then count from the end of the prefix).
inline std::string build_zip(const std::vector<zip_entry>& entries, const std::string& prefix = "") {
  std::string body, central;
  for (const zip_entry& e : entries) {
    std::string data = e.method == 8 && !e.raw ? raw_deflate(e.content) : e.content;
    std::uint32_t crc = static_cast<std::uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(e.content.data()), static_cast<uInt>(e.content.size())));
    if (e.wrong_crc) crc ^= 0x5A5A5A5A;
    std::uint32_t offset = static_cast<std::uint32_t>(body.size());
    put32(body, 0x04034B50);
    put16(body, 20); put16(body, e.flags); put16(body, e.method);
    put16(body, e.dos_time); put16(body, e.dos_date);
    put32(body, crc); put32(body, static_cast<std::uint32_t>(data.size()));
    put32(body, static_cast<std::uint32_t>(e.content.size()));
    put16(body, static_cast<unsigned>(e.name.size()));
    put16(body, static_cast<unsigned>(e.local_extra.size()));
    body += e.name + e.local_extra + data;

    put32(central, 0x02014B50);
    put16(central, 20); put16(central, 20); put16(central, e.flags); put16(central, e.method);
    put16(central, e.dos_time); put16(central, e.dos_date);
    put32(central, crc); put32(central, static_cast<std::uint32_t>(data.size()));
    put32(central, static_cast<std::uint32_t>(e.central_size >= 0 ? e.central_size : e.content.size()));
    put16(central, static_cast<unsigned>(e.name.size()));
    put16(central, 0); put16(central, 0); put16(central, 0); put16(central, 0);
    put32(central, 0); put32(central, offset);
    central += e.name;
  }
  std::string zip = prefix + body + central;
  put32(zip, 0x06054B50);
  put16(zip, 0); put16(zip, 0);
  put16(zip, static_cast<unsigned>(entries.size())); put16(zip, static_cast<unsigned>(entries.size()));
  put32(zip, static_cast<std::uint32_t>(central.size()));
  put32(zip, static_cast<std::uint32_t>(body.size()));
  put16(zip, 0);
  return zip;
}
