// The unattended run (/S): no window at all. Message boxes are not shown;
// their texts, and what the finish page would show, go to the report, which
// is written once, when the run ends (formats in common/unattended_report.h).
#pragma once

// Set at the program's start when /S is among the arguments; never cleared.
extern bool unattended_run;

// Makes this run unattended; report_path (the value of /REPORT=, or none)
// names the file the report goes to. The path is kept, not copied: it points
// into the argument vector, which lives as long as the process.
void start_unattended(const char* report_path);

// Adds a text to the report; nothing outside an unattended run.
void add_to_report(const char* text);

// Writes the collected texts and the closing line to the report file
// (created or replaced), once; nothing without a report file or outside an
// unattended run. A file that cannot be written is left as it is: there is no
// one to tell.
void write_report(const char* closing_line);
