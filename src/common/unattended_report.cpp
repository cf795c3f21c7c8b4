#include "common/unattended_report.h"

#include <cstdlib>
#include <cstring>

const char* install_outcome_line(install_exit code) {
  switch (code) {
    case install_exit::installed: return "Installed (exit code 0)";
    case install_exit::damaged_package: return "Not installed: the setup program is damaged (exit code 1)";
    case install_exit::no_python: return "Not installed: no usable Python (exit code 2)";
    case install_exit::preinstall_failed:
      return "Not installed: the pre-installation script failed (exit code 3)";
    case install_exit::extraction_failed:
      return "Installation failed: the files could not be extracted (exit code 4)";
    case install_exit::postinstall_failed:
      return "Installed, but the post-install script failed (exit code 5)";
    case install_exit::not_elevated:
      return "Not installed: administrator rights were needed (exit code 6)";
  }
  return "";
}

const char* uninstall_outcome_line(uninstall_exit code) {
  switch (code) {
    case uninstall_exit::removed: return "Uninstalled (exit code 0)";
    case uninstall_exit::refused: return "Not uninstalled (exit code 1)";
    case uninstall_exit::partly_removed:
      return "Uninstalled in part: something could not be removed (exit code 2)";
  }
  return "";
}

int default_button(unsigned type) {
  // The buttons of each MB_ type in their order on the box, as IDOK (1),
  // IDCANCEL (2), IDABORT (3), IDRETRY (4), IDIGNORE (5), IDYES (6), IDNO (7),
  // IDTRYAGAIN (10), IDCONTINUE (11).
  static constexpr int buttons[7][3] = {
      {1, 0, 0},    // MB_OK
      {1, 2, 0},    // MB_OKCANCEL
      {3, 4, 5},    // MB_ABORTRETRYIGNORE
      {6, 7, 2},    // MB_YESNOCANCEL
      {6, 7, 0},    // MB_YESNO
      {4, 2, 0},    // MB_RETRYCANCEL
      {2, 10, 11},  // MB_CANCELTRYCONTINUE
  };
  unsigned kind = type & 0xFu;            // MB_TYPEMASK
  unsigned chosen = (type & 0xF00u) >> 8;  // MB_DEFMASK: MB_DEFBUTTON1 .. 4
  if (kind >= 7) return 0;
  // A default beyond the box's buttons (MB_HELP's button answers nothing)
  // falls back to the first.
  if (chosen >= 3 || buttons[kind][chosen] == 0) chosen = 0;
  return buttons[kind][chosen];
}

report_text::~report_text() { std::free(data); }

namespace {
bool reserve(report_text& report, std::size_t more) {
  if (more <= report.capacity - report.size) return true;
  std::size_t capacity = report.capacity ? report.capacity : 1024;
  while (capacity - report.size < more) {
    if (capacity > static_cast<std::size_t>(-1) / 2) return false;
    capacity *= 2;
  }
  void* grown = std::realloc(report.data, capacity);
  if (!grown) return false;
  report.data = static_cast<char*>(grown);
  report.capacity = capacity;
  return true;
}
}  // namespace

bool append_report_text(report_text& report, std::string_view text) {
  if (text.empty()) return true;
  // At most one CR per byte, and the closing CR LF.
  if (text.size() > static_cast<std::size_t>(-1) / 2 - 2 || !reserve(report, 2 * text.size() + 2))
    return false;
  char* out = report.data + report.size;
  char previous = '\0';
  for (char c : text) {
    if (c == '\n' && previous != '\r') *out++ = '\r';
    *out++ = c;
    previous = c;
  }
  if (previous != '\n') {
    *out++ = '\r';
    *out++ = '\n';
  }
  report.size = static_cast<std::size_t>(out - report.data);
  return true;
}
