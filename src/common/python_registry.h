// Where Python distributions register each installation (PEP 514), the same
// under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER:
//
//   Software\Python\<company>\<tag>               one subkey per installation
//     SysVersion                                  "X.Y", the version (optional)
//   Software\Python\<company>\<tag>\InstallPath   default value: the directory
//
// PythonCore is python.org's company; its tags are versions ("2.5", "3.5-32",
// "3.13t"). Other companies (uv's Astral, conda's) name their tags as they
// like and state the version in SysVersion. The discovery lists every
// company's keys and the elevation check looks for the target among the
// machine's (python_registry_win.h walks them); the DLL fallback opens one
// PythonCore version's InstallPath.
#pragma once
#include <cstddef>
#include <string_view>

inline constexpr char PYTHON_KEY[] = "Software\\Python";
inline constexpr char PYTHON_CORE_COMPANY[] = "PythonCore";
inline constexpr char TAG_KEY_FORMAT[] = "Software\\Python\\%s\\%s";
inline constexpr char INSTALL_PATH_SUBKEY[] = "InstallPath";
inline constexpr char SYS_VERSION_VALUE[] = "SysVersion";
inline constexpr char INSTALL_PATH_KEY_FORMAT[] = "Software\\Python\\PythonCore\\%s\\InstallPath";

// Company and tag names are enumerated into 80 characters each, so a tag's
// key path always fits its 256.
inline constexpr std::size_t REGISTRY_NAME_WIDTH = 80;
inline constexpr std::size_t TAG_KEY_WIDTH = 256;
static_assert(sizeof TAG_KEY_FORMAT - 5 + 2 * (REGISTRY_NAME_WIDTH - 1) < TAG_KEY_WIDTH);
// SysVersion is read into this many bytes; a longer value is no "X.Y".
inline constexpr std::size_t SYS_VERSION_WIDTH = 16;

// What a registration says of its Python. numbers: how many of major and
// minor are known, in order (0, 1 or 2). free_threaded: a build without the
// global interpreter lock, whose DLL is pythonXYt.dll; its tag has a "t"
// right behind its version ("3.13t", "3.14t-32", "CPython3.13.1t").
struct registered_version {
  int numbers;
  int major;
  int minor;
  bool free_threaded;
};

// A PythonCore tag is its version, read as "%d.%d" would read it ("3.5-32"
// is 3.5; "abc" yields nothing and is listed all the same, as it always
// was). Another company's version is its SysVersion when that is "X.Y",
// else the tag's start when that is "X.Y" ("3.12.4"); without either it has
// none and is not listed. sys_version is empty when the value is missing.
registered_version registration_version(bool python_core, std::string_view tag,
                                         std::string_view sys_version);

// An empty target accepts every registration; otherwise the tag itself, or
// the registration's X.Y ("3.13" accepts 3.13, 3.13t and CPython3.13.1 with
// SysVersion 3.13; "2.5" accepts neither 2.50 nor 2.4).
bool version_accepted(std::string_view target_version, std::string_view tag,
                      const registered_version& version);
