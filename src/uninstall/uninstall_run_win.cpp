#include "uninstall/uninstall_run_win.h"

#include <cstdio>
#include <cstring>

#include "common/fixed_text.h"
#include "common/message_box_win.h"
#include "common/owner_crt_win.h"
#include "common/program_win.h"
#include "common/unattended_report.h"
#include "common/unattended_win.h"
#include "python_runtime/install_scripts_win.h"
#include "python_runtime/python_discovery_win.h"
#include "startup/command_line.h"
#include "uninstall/log_lines.h"
#include "uninstall/log_records.h"
#include "uninstall/ownership_win.h"
#include "uninstall/self_removal_win.h"
#include "uninstall/undo_records_win.h"

namespace {

struct undo_counts {
  int files = 0;
  int directories = 0;
  int failures = 0;
  int registry_failures = 0;  // not in the summary; an unattended run's exit code tells of them
};

// The end of a run. Attended, status is the exit code as it always was; an
// unattended run exits with its own code and writes its report.
int end_run(int status, uninstall_exit unattended_status) {
  if (!unattended_run) return status;
  write_report(uninstall_outcome_line(unattended_status));
  return static_cast<int>(unattended_status);
}

// Argument errors: no owner, no caption (the system shows its default), no icon.
int refuse_arguments(const char* text) {
  show_message_box(nullptr, text, nullptr, MB_OK);
  return end_run(1, uninstall_exit::refused);
}

int out_of_memory() {
  report_system_error(0, "Out of memory");
  return end_run(0, uninstall_exit::refused);
}

// The argument check: -u and the log; unattended, /S behind them and
// optionally /REPORT=FILE.
const char* argument_error(int argc, char** argv) {
  if (unattended_run) {
    switch (check_silent_uninstall_arguments(argc, argv)) {
      case silent_uninstall_arguments::ok: return nullptr;
      case silent_uninstall_arguments::wrong_number: return "Wrong number of args";
      case silent_uninstall_arguments::not_u: return "2. arg is not -u";
    }
  }
  if (argc != 3) return "Wrong number of args";
  if (std::strcmp(argv[1], "-u") != 0) return "2. arg is not -u";
  return nullptr;
}

bool confirmed() {
  return show_message_box(nullptr,
                          "Are you sure you want to remove\nthis package from your computer?",
                          "Please confirm", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void show_rights_message() {
  show_message_box(GetFocus(),
                   "You do not seem to have sufficient access rights\n"
                   "on this machine to uninstall this software",
                   nullptr, MB_ICONERROR | MB_OK);
}

// What is already gone counts neither as removed nor as failed.
void count_failure(DWORD error, undo_counts& counts) {
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) ++counts.failures;
}

void count_removal(bool removed, int& removed_count, undo_counts& counts) {
  DWORD error = GetLastError();
  if (removed)
    ++removed_count;
  else
    count_failure(error, counts);
}

// A directory record. One that still holds what stays in place cannot go,
// and that is no failure.
void undo_made_dir(const char* entry, const left_in_place& left, undo_counts& counts) {
  const char* path = logged_path(entry);
  if (left.keeps_folder(path)) return;
  bool removed = remove_logged_dir(entry);
  DWORD error = GetLastError();
  if (removed)
    ++counts.directories;
  else if (!left.holds_kept(path))
    count_failure(error, counts);
}

// Undoes one entry under root_hkey, which the log's root record settles;
// false when the run must stop for lack of rights.
bool undo_record(char* entry, char* scratch, const left_in_place& left, undo_counts& counts,
                 HKEY& root_hkey) {
  record_match match = classify_record(entry);
  switch (match.kind) {
    case record_kind::root_key:
      if (match.word == CURRENT_USER_ROOT) {
        root_hkey = HKEY_CURRENT_USER;
      } else if (!hklm_uninstall_writable()) {
        show_rights_message();
        return false;
      }
      break;
    case record_kind::made_dir:
      undo_made_dir(entry, left, counts);
      break;
    case record_kind::file_copy:
    case record_kind::file_overwrite:
      // Another distribution's now, or a dependency that must stay: not ours to take.
      if (left.keeps_file(logged_path(entry))) break;
      count_removal(delete_logged_file(entry), counts.files, counts);
      break;
    case record_kind::reg_key:
      if (!delete_registry_key(root_hkey, entry)) ++counts.registry_failures;
      break;
    case record_kind::reg_value:
      if (!delete_registry_value(root_hkey, entry)) ++counts.registry_failures;
      break;
    case record_kind::run_script:
      // The script runner cuts the line it is given; it gets a copy so that
      // the entry still compares equal to a repeated line behind it.
      copy_cut(scratch, LOG_PIECE_WIDTH, entry);
      run_uninstall_script(scratch, root_hkey);
      break;
    case record_kind::none:
      break;
  }
  return true;
}

}  // namespace

int run_uninstall(int argc, char** argv) {
  if (const char* error = argument_error(argc, argv)) return refuse_arguments(error);
  const char* log_path = argv[2];

  static char line[LOG_PIECE_WIDTH];
  line_table table;
  {
    unique_stream log(std::fopen(log_path, "r"));
    if (!log) return refuse_arguments("could not open logfile");
    if (!start_line_table(table)) return out_of_memory();
    if (!read_log_lines(log.get(), line, table)) return out_of_memory();
  }
  sort_lines_descending(table);

  // Unattended, the run was asked for by whoever started it: nobody is asked.
  if (!unattended_run && !confirmed()) return 0;

  left_in_place left = read_left_in_place(table, log_path);
  // The log's root record, undone first, may turn it to the current user.
  HKEY root_hkey = HKEY_LOCAL_MACHINE;
  undo_counts counts;
  const char* previous = "";
  for (int i = 0; i < table.count; ++i) {
    char* entry = table.lines[i];
    if (std::strcmp(entry, previous) == 0) continue;
    previous = entry;
    if (!undo_record(entry, line, left, counts, root_hkey)) return end_run(1, uninstall_exit::refused);
  }

  if (DeleteFileA(log_path)) {
    ++counts.files;
  } else {
    DWORD error = GetLastError();
    ++counts.failures;
    report_system_error(error, log_path);
  }

  format_summary(line, sizeof line, counts.files, counts.directories, counts.failures);
  show_message_box(nullptr, line, "Uninstall Finished!", MB_ICONINFORMATION | MB_OK);
  delete_self();
  bool all_gone = counts.failures == 0 && counts.registry_failures == 0;
  return end_run(0, all_gone ? uninstall_exit::removed : uninstall_exit::partly_removed);
}
