// Any bytes as a version (up to the first line end) and a specifier set (the
// rest), and as the files of an installed distribution: a version that parses
// equals itself and no clause reads outside its text; every RECORD path stays
// below the Python folder and reads back from the RECORD row made for it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/pep440.h"
#include "record/dist_info.h"

namespace {

constexpr std::string_view SITE_PACKAGES = "C:\\Py\\Lib\\site-packages";
constexpr std::string_view PYTHON_DIR = "c:\\py";

void check_versions(std::string_view text) {
  std::size_t end = text.find('\n');
  std::string version(text.substr(0, end));
  std::string specifiers(end == std::string_view::npos ? "" : text.substr(end + 1));
  version_satisfies(version, specifiers);
  if (!version_satisfies(version, "")) return;
  if (!version_satisfies(version, "==" + version) || version_satisfies(version, "!=" + version))
    std::abort();
}

void check_record(std::string_view text) {
  for (const std::string& path : record_paths(text, SITE_PACKAGES, PYTHON_DIR)) {
    if (path.size() <= PYTHON_DIR.size() || !same_path(path.substr(0, PYTHON_DIR.size()), PYTHON_DIR) ||
        path[PYTHON_DIR.size()] != '\\' || path.find('/') != std::string::npos ||
        path.find(':', 2) != std::string::npos || path.find("\\..\\") != std::string::npos)
      std::abort();
    auto again = record_paths(record_row(path, SITE_PACKAGES, "\r\n"), SITE_PACKAGES, PYTHON_DIR);
    if (again.size() != 1 || again[0] != path) std::abort();
  }
  for (const std::string& name : required_names(text))
    if (name.empty() || canonical_name(name) != name) std::abort();
  dist_info_folder folder = parse_dist_info_folder(text);
  distribution_entry entry = parse_distribution_line(text);
  if ((folder.ok && canonical_name(folder.name) != folder.name) ||
      (entry.ok && canonical_name(entry.name) != entry.name))
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  check_versions(text);
  check_record(text);
  return 0;
}
