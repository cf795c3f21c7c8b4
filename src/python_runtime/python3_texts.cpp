#include "python_runtime/python3_texts.h"

#include "common/fixed_text.h"

int python_major_of_dll(std::string_view dll_name) {
  constexpr std::string_view prefix = "python";
  if (dll_name.size() <= prefix.size()) return 0;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if ((dll_name[i] | 0x20) != prefix[i]) return 0;
  char digit = dll_name[prefix.size()];
  return digit >= '0' && digit <= '9' ? digit - '0' : 0;
}

bool compiles_into_cache(int major, int minor) { return major > 3 || (major == 3 && minor >= 2); }

namespace {

// The compiled file's name in the cache folder: <stem>.cpython-XY and the suffix.
const char* cache_suffix(int major, int minor, int optimize) {
  if (!optimize) return ".pyc";
  return major > 3 || minor >= 5 ? ".opt-1.pyc" : ".pyo";
}

}  // namespace

compiled_file plan_compiled_file(const char* source, int major, int minor, int optimize) {
  compiled_file out{};
  if (!compiles_into_cache(major, minor)) {
    out.ok = format_whole(out.path, sizeof out.path, "%s%c", source, optimize ? 'o' : 'c');
    return out;
  }
  std::string_view path = source;
  std::size_t slash = path.find_last_of("\\/");
  std::string_view dir = slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
  std::string_view name = path.substr(dir.size());
  std::size_t dot = name.rfind('.');
  std::string_view stem = dot == std::string_view::npos ? name : name.substr(0, dot);
  out.in_cache = true;
  out.ok = format_whole(out.cache_dir, sizeof out.cache_dir, "%.*s%s", static_cast<int>(dir.size()),
                        dir.data(), PYCACHE_DIR) &&
           format_whole(out.path, sizeof out.path, "%s\\%.*s.cpython-%d%d%s", out.cache_dir,
                        static_cast<int>(stem.size()), stem.data(), major, minor,
                        cache_suffix(major, minor, optimize));
  if (!out.ok) out.path[0] = out.cache_dir[0] = '\0';
  return out;
}

const char* cache_compile_statement(int optimize) {
  return optimize ? "import sys, py_compile; py_compile.compile(sys._kitpack_source, "
                    "cfile=sys._kitpack_compiled, optimize=1)"
                  : "import sys, py_compile; py_compile.compile(sys._kitpack_source, "
                    "cfile=sys._kitpack_compiled, optimize=0)";
}

std::uint16_t pe_machine(std::span<const std::byte> bytes) {
  auto at = [&](std::size_t i) { return static_cast<std::uint32_t>(bytes[i]); };
  if (bytes.size() < 0x40 || at(0) != 'M' || at(1) != 'Z') return 0;
  std::uint32_t header = at(0x3C) | at(0x3D) << 8 | at(0x3E) << 16 | at(0x3F) << 24;
  if (header > bytes.size() || bytes.size() - header < 6) return 0;
  if (at(header) != 'P' || at(header + 1) != 'E' || at(header + 2) != 0 || at(header + 3) != 0) return 0;
  return static_cast<std::uint16_t>(at(header + 4) | at(header + 5) << 8);
}
