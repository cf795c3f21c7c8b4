// The package's entry in Windows' list of installed software, and the texts
// that make it. Under the registry root (HKEY_LOCAL_MACHINE or
// HKEY_CURRENT_USER):
//
//   Software\Microsoft\Windows\CurrentVersion\Uninstall
//     <meta_name>-py<major>.<minor>             one entry per Python version
//       DisplayName      REG_SZ  Python <major>.<minor> <title>
//       UninstallString  REG_SZ  "<python_dir>\Remove<meta_name>.exe" -u "<python_dir>\<meta_name>-kitpack.log"
//       QuietUninstallString  REG_SZ  the UninstallString, then " /S"
//
// The uninstaller copy <python_dir>\Remove<meta_name>.exe is the installer
// image's stub part (a signed installer's security entry cleared, since the
// copy holds no certificate table); Windows starts it with the UninstallString.
#pragma once
#include <cstddef>

inline constexpr char UNINSTALL_KEY_PATH[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr char PACKAGE_KEY_FORMAT[] = "%s-py%d.%d";
inline constexpr char DISPLAY_NAME_FORMAT[] = "Python %d.%d %s";
inline constexpr char UNINSTALL_STRING_FORMAT[] = "\"%s\\Remove%s.exe\" -u \"%s\\%s-kitpack.log\"";
inline constexpr char QUIET_SWITCH[] = " /S";
inline constexpr char UNINSTALLER_PATH_FORMAT[] = "%s\\Remove%s.exe";
inline constexpr char INSTALL_LOG_PATH_FORMAT[] = "%s\\%s-kitpack.log";
inline constexpr char ACCESS_DENIED_TEXT[] =
    "You do not seem to have sufficient access rights\non this machine to install this software";

// The longest inputs: python_dir (260 with its NUL), meta_name and title (80).
inline constexpr std::size_t MAX_PYTHON_DIR = 259;
inline constexpr std::size_t MAX_META_NAME = 79;
inline constexpr std::size_t MAX_TITLE = 79;
inline constexpr std::size_t MAX_INT_TEXT = 11;  // -2147483648

// The package key name is composed in 256 bytes; the longest one has 105 characters.
inline constexpr std::size_t PACKAGE_KEY_WIDTH = 256;
inline constexpr std::size_t MAX_PACKAGE_KEY = MAX_META_NAME + sizeof PACKAGE_KEY_FORMAT - 7 + 2 * MAX_INT_TEXT;
static_assert(MAX_PACKAGE_KEY < PACKAGE_KEY_WIDTH);

// The paths and values are composed in buffers that hold the longest of them,
// the UninstallString of a 259-character python_dir and a 79-character
// meta_name, whole: a cut value would name another file.
inline constexpr std::size_t REGISTRATION_TEXT_WIDTH = 720;
inline constexpr std::size_t MAX_UNINSTALL_STRING =
    sizeof UNINSTALL_STRING_FORMAT - 9 + 2 * (MAX_PYTHON_DIR + MAX_META_NAME);
static_assert(MAX_UNINSTALL_STRING + sizeof QUIET_SWITCH - 1 < REGISTRATION_TEXT_WIDTH);
static_assert(sizeof DISPLAY_NAME_FORMAT - 7 + 2 * MAX_INT_TEXT + MAX_TITLE < REGISTRATION_TEXT_WIDTH);

// A "040" line holds the key path, the package key, a value name and the value:
// at most 910 characters with the QuietUninstallString.
inline constexpr std::size_t REGISTRATION_LOG_LINE_WIDTH = 1024;
static_assert(sizeof "040 Reg DB Value: [\\]QuietUninstallString=\n" + sizeof UNINSTALL_KEY_PATH +
                  MAX_PACKAGE_KEY + MAX_UNINSTALL_STRING + sizeof QUIET_SWITCH <
              REGISTRATION_LOG_LINE_WIDTH);

// Each composes whole into width bytes, or leaves dst empty and returns false.
bool format_package_key_name(char* dst, std::size_t width, const char* meta_name, int major, int minor);
bool format_display_name(char* dst, std::size_t width, int major, int minor, const char* title);
bool format_uninstall_string(char* dst, std::size_t width, const char* python_dir, const char* meta_name);
// The UninstallString followed by " /S", which removes the package unattended.
bool format_quiet_uninstall_string(char* dst, std::size_t width, const char* python_dir,
                                   const char* meta_name);
bool format_uninstaller_path(char* dst, std::size_t width, const char* python_dir, const char* meta_name);
bool format_install_log_path(char* dst, std::size_t width, const char* python_dir, const char* meta_name);

// The root's name in the "999" line.
const char* root_key_log_name(bool local_machine);

// What opening (or creating) the Uninstall key leads to: a refusal of access
// stops the installation before anything is written; any other failure is
// reported and the installation goes on without an entry.
enum class uninstall_key_action { go_on, refuse, report_and_go_on };
uninstall_key_action decide_uninstall_key(long open_result);
