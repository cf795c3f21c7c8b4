#include "python_runtime/compiled_names.h"

#include <string_view>

#include "common/fixed_text.h"
#include "python_runtime/python_traits.h"

bool format_compiled_name(char* name, std::size_t width, const char* path, int optimize) {
  return format_whole(name, width, "%s%c", path, optimize ? 'o' : 'c');
}

bool compiles_into_cache(int major, int minor) {
  return python_traits_for(major, minor).compiled != compiled_layout::beside_source;
}

compiled_file plan_compiled_file(const char* source, int major, int minor, int optimize) {
  compiled_file out{};
  compiled_layout layout = python_traits_for(major, minor).compiled;
  if (layout == compiled_layout::beside_source) {
    out.ok = format_compiled_name(out.path, sizeof out.path, source, optimize);
    return out;
  }
  std::string_view path = source;
  std::size_t slash = path.find_last_of("\\/");
  std::string_view dir = slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
  std::string_view name = path.substr(dir.size());
  std::size_t dot = name.rfind('.');
  std::string_view stem = dot == std::string_view::npos ? name : name.substr(0, dot);
  // The name in the cache folder: <stem>.cpython-XY and the suffix.
  const char* suffix = !optimize ? ".pyc" : layout == compiled_layout::cache_opt_pyc ? ".opt-1.pyc" : ".pyo";
  out.in_cache = true;
  out.ok = format_whole(out.cache_dir, sizeof out.cache_dir, "%.*s%s", static_cast<int>(dir.size()),
                        dir.data(), PYCACHE_DIR) &&
           format_whole(out.path, sizeof out.path, "%s\\%.*s.cpython-%d%d%s", out.cache_dir,
                        static_cast<int>(stem.size()), stem.data(), major, minor, suffix);
  if (!out.ok) out.path[0] = out.cache_dir[0] = '\0';
  return out;
}
