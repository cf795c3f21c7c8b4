// Inflate throughput on the build machine: the installer's one-call path
// (straight into an output of the final size) against zlib's streaming loop
// (fixed input chunks, a fixed output buffer copied out after each call).
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "archive/member_data.h"
#include "bench_data.h"
#include "support/zip_builder.h"

namespace {

using clock_type = std::chrono::steady_clock;

struct deflated_file {
  std::string compressed;  // with one byte behind it, as in an archive
  std::string original;
};

double one_call(const std::vector<deflated_file>& files, std::vector<std::byte>& out) {
  auto start = clock_type::now();
  for (const deflated_file& f : files) {
    zip_member m{};
    m.method = METHOD_DEFLATED;
    m.uncompressed_size = static_cast<std::uint32_t>(f.original.size());
    m.compressed_size = static_cast<std::uint32_t>(f.compressed.size() - 1);
    m.inflate_input = {reinterpret_cast<const std::byte*>(f.compressed.data()), f.compressed.size()};
    if (decode_member(m, {out.data(), f.original.size()}).status != member_data_status::written)
      std::fputs("one-call inflate failed\n", stderr);
  }
  return std::chrono::duration<double>(clock_type::now() - start).count();
}

double streaming(const std::vector<deflated_file>& files, std::vector<std::byte>& out) {
  constexpr std::size_t chunk = 16384;
  unsigned char buffer[chunk];
  auto start = clock_type::now();
  for (const deflated_file& f : files) {
    z_stream s{};
    inflateInit2(&s, -MAX_WBITS);
    std::size_t in_at = 0, out_at = 0;
    int result = Z_OK;
    while (result != Z_STREAM_END && in_at < f.compressed.size()) {
      std::size_t n = std::min(chunk, f.compressed.size() - in_at);
      s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(f.compressed.data() + in_at));
      s.avail_in = static_cast<uInt>(n);
      do {
        s.next_out = buffer;
        s.avail_out = chunk;
        result = inflate(&s, Z_NO_FLUSH);
        std::size_t produced = chunk - s.avail_out;
        std::memcpy(out.data() + out_at, buffer, produced);
        out_at += produced;
      } while (s.avail_out == 0 && result == Z_OK);
      in_at += n - s.avail_in;
      if (result != Z_OK && result != Z_STREAM_END) break;
    }
    inflateEnd(&s);
    if (out_at != f.original.size()) std::fputs("streaming inflate failed\n", stderr);
  }
  return std::chrono::duration<double>(clock_type::now() - start).count();
}

void measure(const char* label, const std::vector<bench_file>& set) {
  std::vector<deflated_file> files;
  std::size_t total = 0, largest = 0;
  for (const bench_file& f : set) {
    files.push_back({raw_deflate(f.content) + '\0', f.content});
    total += f.content.size();
    largest = std::max(largest, f.content.size());
  }
  std::vector<std::byte> out(largest);
  double best_one = 1e9, best_stream = 1e9;
  for (int round = 0; round < 5; ++round) {
    best_one = std::min(best_one, one_call(files, out));
    best_stream = std::min(best_stream, streaming(files, out));
  }
  double mb = total / 1e6;
  char line[256];
  std::snprintf(line, sizeof line, "%-28s %8.1f MB  one call %8.1f MB/s   streaming loop %8.1f MB/s   (%.2fx)\n",
                label, mb, mb / best_one, mb / best_stream, best_stream / best_one);
  std::fputs(line, stdout);
}

}  // namespace

int main() {
  std::fputs("native inflate throughput (best of 5, uncompressed MB per second)\n", stdout);
  measure("2000 files of 4 KiB", small_files());
  measure("20 files of 5 MiB", large_files());
  return 0;
}
