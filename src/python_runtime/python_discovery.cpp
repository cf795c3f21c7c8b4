#include "python_runtime/python_discovery.h"

#include <cstring>

#include "common/fixed_text.h"
#include "common/pep440.h"
#include "python_runtime/python_traits.h"

bool python_requires_accepts(std::string_view python_requires, int numbers, int major, int minor) {
  if (python_requires.find_first_not_of(" \t") == std::string_view::npos) return true;
  char x_y[2 * 11 + 2];
  return numbers == 2 && format_whole(x_y, sizeof x_y, "%d.%d", major, minor) &&
         version_satisfies(x_y, python_requires);
}

bool version_name_fits(std::string_view version) { return version.size() <= MAX_VERSION_NAME; }

install_path_text read_install_path(const char* bytes, std::size_t read) {
  const void* nul = std::memchr(bytes, '\0', read);
  if (!nul) return {false, {}};
  std::size_t length = static_cast<std::size_t>(static_cast<const char*>(nul) - bytes);
  if (length >= PYTHON_DIR_WIDTH) return {false, {}};
  return {true, {bytes, length}};
}

namespace {

const char* purelib_prefix(const scheme_entry* scheme) {
  for (const scheme_entry* entry = scheme; entry->name; ++entry)
    if (std::strcmp(entry->name, "PURELIB") == 0) return entry->prefix;
  return "";
}

}  // namespace

const char* required_python_text(const char* target_version, const char* python_requires) {
  return target_version[0] ? target_version : python_requires;
}

void format_no_python_text(char* dst, std::size_t width, const char* target_version,
                           const char* python_requires, const char* wanted) {
  // The requirement that refuses the version asked for, if one does: the
  // /PYTHON= name read as a PythonCore tag; one naming no version the package
  // names was just not found.
  registered_version asked = wanted ? registration_version(true, wanted, "") : registered_version{};
  const char* refused_by = nullptr;
  if (wanted && target_version[0] && asked.numbers == 2 && !version_accepted(target_version, wanted, asked))
    refused_by = target_version;
  else if (wanted && !python_requires_accepts(python_requires, asked.numbers, asked.major, asked.minor))
    refused_by = python_requires;
  const char* required = required_python_text(target_version, python_requires);
  if (refused_by)
    format_cut(dst, width, "Python %s was asked for, but this package requires Python %s.", wanted,
               refused_by);
  else if (wanted)
    format_cut(dst, width, "Python version %s was not found in the registry.", wanted);
  else if (required[0])
    format_cut(dst, width, "Python version %s required, which was not found in the registry.",
               required);
  else
    copy_cut(dst, width, "No Python installation found in the registry.");
}

bool format_python_dll(char* dst, std::size_t width, int major, int minor, bool free_threaded) {
  return format_whole(dst, width, PYTHON_DLL_FORMAT, major, minor, free_threaded ? "t" : "");
}

int python_major_of_dll(std::string_view dll_name) {
  constexpr std::string_view prefix = "python";
  if (dll_name.size() <= prefix.size()) return 0;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if ((dll_name[i] | 0x20) != prefix[i]) return 0;
  char digit = dll_name[prefix.size()];
  return digit >= '0' && digit <= '9' ? digit - '0' : 0;
}

const scheme_entry* select_scheme(int major, int minor) { return python_traits_for(major, minor).scheme; }

void format_install_dir_text(char* dst, std::size_t width, std::string_view python_dir,
                             int major, int minor) {
  copy_cut(dst, width, python_dir);
  if (python_dir.empty() || python_dir.back() != '\\') append_cut(dst, width, "\\");
  append_cut(dst, width, purelib_prefix(select_scheme(major, minor)));
}

bool root_key_is_strange(registry_root before) { return before == registry_root::unset; }

bool root_key_needs_test(registry_root before) { return before != registry_root::current_user; }

registry_root settle_root_key(registry_root before, bool machine_writable) {
  if (before == registry_root::current_user) return registry_root::current_user;
  return machine_writable ? registry_root::local_machine : registry_root::current_user;
}
