// zlib's speed on the build machine, for the zlib this program is linked with:
// Debian's shared libz (what the stubs used to link) or the stubs' own build
// from Debian's source (-Os, tables made at run time). Raw inflate of 10 MiB
// in one call, as the installer inflates a member, and crc32 over the same
// 10 MiB, in one call and in 512-byte calls.
#include <zlib.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench_data.h"

#ifndef ZLIB_BENCH_LABEL
#define ZLIB_BENCH_LABEL "zlib"
#endif

namespace {

constexpr int ROUNDS = 9;
constexpr std::size_t SIZE = 10u << 20;

std::string raw_deflate(const std::string& data) {
  z_stream s{};
  deflateInit2(&s, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
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

bool inflate_once(const std::string& in, std::string& out) {
  z_stream s{};
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  s.avail_in = static_cast<uInt>(in.size());
  s.next_out = reinterpret_cast<Bytef*>(out.data());
  s.avail_out = static_cast<uInt>(out.size());
  bool ok = inflateInit2(&s, -MAX_WBITS) == Z_OK && inflate(&s, Z_FINISH) == Z_STREAM_END;
  inflateEnd(&s);
  return ok;
}

uLong crc_in_pieces(const std::string& data, std::size_t piece) {
  uLong crc = crc32(0L, Z_NULL, 0);
  for (std::size_t at = 0; at < data.size(); at += piece)
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data() + at),
                static_cast<uInt>(std::min(piece, data.size() - at)));
  return crc;
}

// The thread's CPU time: the build machine is shared, and wall time would
// measure the other programs' load as much as zlib.
double cpu_seconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

// Best of ROUNDS, in MB per second over `bytes`.
template <class F>
double best_rate(std::size_t bytes, F&& run) {
  double best = 1e9;
  for (int round = 0; round < ROUNDS; ++round) {
    double start = cpu_seconds();
    run();
    best = std::min(best, cpu_seconds() - start);
  }
  return bytes / 1e6 / best;
}

}  // namespace

int main() {
  const std::string data = bench_content(SIZE, 77);
  const std::string compressed = raw_deflate(data) + '\0';  // one byte behind, as in an archive
  std::string out(data.size(), '\0');
  bool ok = true;
  double inflate_rate = best_rate(SIZE, [&] { ok = inflate_once(compressed, out) && ok; });
  if (!ok || out != data) {
    std::fputs(ZLIB_BENCH_LABEL ": inflate gave wrong bytes\n", stderr);
    return 1;
  }
  const uLong expected = crc_in_pieces(data, data.size());
  double crc_whole = best_rate(SIZE, [&] { ok = crc_in_pieces(data, data.size()) == expected && ok; });
  double crc_512 = best_rate(SIZE, [&] { ok = crc_in_pieces(data, 512) == expected && ok; });
  if (!ok) {
    std::fputs(ZLIB_BENCH_LABEL ": crc32 in 512-byte calls differs\n", stderr);
    return 1;
  }
  char line[256];
  std::snprintf(line, sizeof line,
                "%-30s inflate %7.1f MB/s   crc32 %7.1f MB/s (one call), %7.1f MB/s (512-byte calls)\n",
                ZLIB_BENCH_LABEL, inflate_rate, crc_whole, crc_512);
  std::fputs(line, stdout);
  return 0;
}
