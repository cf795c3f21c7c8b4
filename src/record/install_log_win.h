// The install log: one record per line in python_dir, appended to while an
// installation runs and read back by the uninstaller.
#pragma once
#include <cstdio>

// Open stream of the install log, or none; opened by open_install_record.
extern FILE* log_file;

// Installed Python source files to byte-compile, newest first; never freed.
struct compile_node {
  char* path;
  compile_node* next;
};
extern compile_node* compile_list;

// The program's callback for extraction, byte-compilation and the builtins:
// writes the records, collects compile_list, shows errors, and hands each
// archive member on to the install sink.
// Always returns 1.
int notify(int code, const char* text, ...);

// Writes a header line (strftime of the local time) when the log is open.
void write_log_time_line(const char* format);

// Writes a record line with one text argument, flushed at once; nothing when
// the log is not open.
void write_log_record(const char* format, const char* text);

// Writes the finished line and closes the log; nothing when it is not open.
void close_install_log();
