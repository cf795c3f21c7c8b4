// Walks any bytes as an installer image's archive: every member the walk hands
// out must lie inside the input, its output path must stay below the target,
// and decoding it into a buffer of its size must stay inside both.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "archive/member_data.h"
#include "archive/member_path.h"
#include "archive/zip_walk.h"

namespace {

bool inside(std::span<const std::byte> part, std::span<const std::byte> whole) {
  return part.empty() ||
         (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

// What a sink sees of each member: its path and, for small members, its bytes.
void sink_member(const zip_member& member) {
  char path[OUTPUT_PATH_WIDTH];
  const scheme_entry* scheme = (member.dos_time & 1) ? legacy_scheme : site_packages_scheme;
  member_path where = build_member_path(path, sizeof path, "C:\\Python25", scheme, member.name);
  if (where.status == member_path_status::unsafe) return;
  if (std::strlen(path) >= sizeof path) std::abort();
  const char* relative = path + where.relative;
  if (std::strchr(path, '/') || std::strchr(relative, ':')) std::abort();
  // A whole ".." component would climb out; ".." inside a longer one is a name.
  for (const char* p = relative; (p = std::strstr(p, "..")); ++p) {
    bool starts = p == relative || p[-1] == '\\';
    bool ends = p[2] == '\\' || p[2] == '\0';
    if (starts && ends) std::abort();
  }
  if (where.status != member_path_status::ok || is_directory_entry(path)) return;
  if (member.uncompressed_size == 0) {
    check_empty_member(member);
    return;
  }
  if (member.uncompressed_size > (1u << 20)) return;
  std::vector<std::byte> out(member.uncompressed_size);
  write_member_bytes(member, out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact copy: the sanitizer catches any read past the image.
  std::vector<std::byte> image(size);
  if (size) std::memcpy(image.data(), data, size);
  zip_cursor cursor;
  if (!open_zip(image, cursor)) return 0;
  zip_member member;
  while (next_member(cursor, member) == zip_step::member) {
    std::span<const std::byte> name(reinterpret_cast<const std::byte*>(member.name.data()),
                                    member.name.size());
    if (!inside(name, image) || !inside(member.data, image) || !inside(member.inflate_input, image))
      std::abort();
    sink_member(member);
  }
  return 0;
}
