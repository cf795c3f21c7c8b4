// Lines of the install log. Comment lines begin with "***" or "Source:" and
// are never acted on; record lines begin with a three-digit code, which sets
// the order of undoing: the uninstaller sorts every line in descending byte
// order and works from the top, so higher codes are undone first.
//
//   *** Installation started %Y/%m/%d %H:%M ***          (strftime, local time)
//   Source: <installer path>
//   999 Root Key: HKEY_LOCAL_MACHINE | HKEY_CURRENT_USER
//   020 Reg DB Key: [<uninstall key>]<package key>
//   040 Reg DB Value: [<uninstall key>\<package key>]<name>=<value>
//   100 Made Dir: <directory>
//   200 File Copy: <file>
//   200 File Overwrite: <file>
//   300 Run Script: [<python dll>]<script path>
//   *** Package distribution: <installed .dist-info folder> ***
//   *** Dependency distribution: <installed .dist-info folder> ***
//   *** Installation finished %Y/%m/%d %H:%M ***
//
// Lines end with "\n", written through a text-mode stream (CR LF on disk);
// readers trim trailing white space.
#pragma once
#include <cstdio>

inline constexpr char LOG_STARTED_FORMAT[] = "*** Installation started %Y/%m/%d %H:%M ***\n";
inline constexpr char LOG_FINISHED_FORMAT[] = "*** Installation finished %Y/%m/%d %H:%M ***\n";
inline constexpr char LOG_SOURCE[] = "Source: %s\n";
inline constexpr char LOG_ROOT_KEY[] = "999 Root Key: %s\n";
inline constexpr char LOG_REG_KEY[] = "020 Reg DB Key: [%s]%s\n";
inline constexpr char LOG_REG_VALUE[] = "040 Reg DB Value: [%s\\%s]%s=%s\n";
inline constexpr char LOG_MADE_DIR[] = "100 Made Dir: %s\n";
inline constexpr char LOG_FILE_COPY[] = "200 File Copy: %s\n";
inline constexpr char LOG_FILE_OVERWRITE[] = "200 File Overwrite: %s\n";
inline constexpr char LOG_RUN_SCRIPT[] = "300 Run Script: [%s]%s\n";

// The source-file rule: the text from the last "." on is exactly ".py".
bool is_python_source(const char* path);

// Writes a record line: the format with its one "%s" replaced by text, which
// goes in unchanged (never formatted, never cut); then flushes, so that the
// records of what was already written survive an installer that dies.
void write_record_line(std::FILE* log, const char* format, const char* text);

// Comment lines that name the .dist-info folder of each distribution an
// installation extracts, the package's own first; written after the
// replacement of installed versions and before extraction. An uninstaller
// that knows them keeps what other distributions own; one that does not
// ignores them, as it ignores every "***" line.
inline constexpr char LOG_PACKAGE_DISTRIBUTION[] = "*** Package distribution: %s ***\n";
inline constexpr char LOG_DEPENDENCY_DISTRIBUTION[] = "*** Dependency distribution: %s ***\n";
