// An unattended run (/S) shows no window. What its message boxes and its
// finish page would have shown is collected instead, and written to the file
// named by /REPORT= when the run ends, in the ANSI code page with CR LF line
// ends:
//
//   <text of each box or page, in the order they came, each ending in CR LF>
//   <one closing line naming the outcome and the exit code> CR LF
//
// The exit codes of an unattended run, and the closing lines that name them.
#pragma once
#include <cstddef>
#include <string_view>

enum class install_exit : int {
  installed = 0,
  damaged_package = 1,     // the package cannot be read, or the program holds none
  no_python = 2,           // none registered, the named one is not, or it misses target_version
  preinstall_failed = 3,   // nothing was extracted
  extraction_failed = 4,   // the archive could not be extracted
  postinstall_failed = 5,  // the files are installed; the post-install script failed
  not_elevated = 6,        // administrator rights were needed and not given
};

enum class uninstall_exit : int {
  removed = 0,
  refused = 1,         // nothing was removed: arguments, log, rights or memory
  partly_removed = 2,  // something named in the log is still there
};

const char* install_outcome_line(install_exit code);
const char* uninstall_outcome_line(uninstall_exit code);

// The button a message box of this type (MB_OK, MB_YESNO, ... with
// MB_DEFBUTTON1..4) answers when Enter is pressed: the default button that
// the type names, or the first one when it names none of the box's buttons.
// 0, as from a box that could not be shown, for a type without buttons.
int default_button(unsigned type);

// The collected texts: a growing heap buffer, not terminated.
struct report_text {
  char* data = nullptr;
  std::size_t size = 0;
  std::size_t capacity = 0;

  report_text() = default;
  ~report_text();
  report_text(const report_text&) = delete;
  report_text& operator=(const report_text&) = delete;
};

// Appends text with every lone LF turned into CR LF, and a CR LF behind it
// unless it ends in one already; an empty text adds nothing. False when
// memory ran out (the report then lacks the text).
bool append_report_text(report_text& report, std::string_view text);
