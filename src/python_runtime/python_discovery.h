// Choosing the install target among the registered Python installations:
// the decisions and texts, free of registry and window calls.
//
// The registry layout read is drawn in common/python_registry.h. Each listed
// installation is a row "Python Version <tag> (found in registry)", its tag as
// the company registered it, so that /PYTHON= names it as the page shows it;
// the row's record holds the version the registration states.
#pragma once
#include <cstddef>
#include <string_view>

#include "archive/install_scheme.h"
#include "common/python_registry.h"

inline constexpr char PYTHON_ROW_FORMAT[] = "Python Version %s (found in registry)";
// A free-threaded build's DLL has a "t" behind the version: python313t.dll.
inline constexpr char PYTHON_DLL_FORMAT[] = "python%d%d%s.dll";

// The row text is composed in 80 characters.
inline constexpr std::size_t ROW_TEXT_WIDTH = 80;
// The longest tag whose row text fits ROW_TEXT_WIDTH; longer tags are skipped
// rather than listed under a cut name.
inline constexpr std::size_t MAX_VERSION_NAME = 40;
static_assert(sizeof PYTHON_ROW_FORMAT - 3 + MAX_VERSION_NAME < ROW_TEXT_WIDTH);

// The InstallPath default value is read with a limit of this many bytes.
inline constexpr std::size_t INSTALL_PATH_READ = 261;
// python_dir's width: the directory must fit it with its NUL.
inline constexpr std::size_t PYTHON_DIR_WIDTH = 260;

// python_requires, a version specifier set over a Python's "X.Y" (">=3.9,<4",
// "==3.12.*"), accepts it: always when blank; otherwise only a version of two
// numbers (numbers says how many of major and minor are known) that satisfies it.
bool python_requires_accepts(std::string_view python_requires, int numbers, int major, int minor);

// Whether the tag is short enough to be listed.
bool version_name_fits(std::string_view version);

// The directory in the bytes read from InstallPath, or an empty view when the
// installation must be skipped: no NUL within what was read, or a directory
// too long for python_dir (the full 261-byte value among them).
struct install_path_text {
  bool usable;
  std::string_view dir;
};
install_path_text read_install_path(const char* bytes, std::size_t read);

// What is said when no row can be chosen: the select page's box for an empty
// list, or, in an unattended run, that the version named by /PYTHON= (wanted,
// or none) is not listed. The requirement named is target_version, or else
// python_requires. Cut to width.
void format_no_python_text(char* dst, std::size_t width, const char* target_version,
                           const char* python_requires, const char* wanted);

// The requirement the select page's heading names: target_version, or else
// python_requires; empty when the package has neither.
const char* required_python_text(const char* target_version, const char* python_requires);

// "python%d%d.dll" (2.5 gives python25.dll, 2.10 python210.dll), with a "t"
// before ".dll" for a free-threaded build (python313t.dll).
bool format_python_dll(char* dst, std::size_t width, int major, int minor, bool free_threaded = false);

// The major version of a DLL name "python<major><minor>[t].dll" (the case of
// "python" aside): python312.dll and python313t.dll are 3, python27.dll 2; 0
// when no digit follows.
int python_major_of_dll(std::string_view dll_name);

// The version's install scheme: site_packages_scheme from Python 2.2 on,
// legacy_scheme before.
const scheme_entry* select_scheme(int major, int minor);

// The installation directory the page shows: python_dir, a backslash unless it
// ends with one, then the PURELIB prefix of the version's scheme. Cut to width.
void format_install_dir_text(char* dst, std::size_t width, std::string_view python_dir,
                             int major, int minor);

// Settling the registry root just before anything is registered.
enum class registry_root { local_machine, current_user, unset };
// A root that was never chosen is reported ("Strange") before it is settled.
bool root_key_is_strange(registry_root before);
// Whether the machine-wide Uninstall key must be tested for write access.
bool root_key_needs_test(registry_root before);
// The root to register under: a per-user Python stays per-user; otherwise the
// machine when the user may write there, else the user.
registry_root settle_root_key(registry_root before, bool machine_writable);
