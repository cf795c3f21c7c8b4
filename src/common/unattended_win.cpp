#include "common/unattended_win.h"

#include <windows.h>

#include "common/owner_win.h"
#include "common/unattended_report.h"

bool unattended_run;

namespace {
const char* report_path;
report_text report;
bool report_written;
}  // namespace

void start_unattended(const char* path) {
  unattended_run = true;
  report_path = path && *path ? path : nullptr;
}

void add_to_report(const char* text) {
  if (unattended_run && text) append_report_text(report, text);
}

void write_report(const char* closing_line) {
  if (!unattended_run || !report_path || report_written) return;
  report_written = true;
  add_to_report(closing_line);
  unique_file file(CreateFileA(report_path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  const char* at = report.data;
  std::size_t left = report.size;
  while (left > 0) {
    DWORD chunk = left > 0x10000000u ? 0x10000000u : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(file.get(), at, chunk, &written, nullptr) || written == 0) return;
    at += written;
    left -= written;
  }
}
