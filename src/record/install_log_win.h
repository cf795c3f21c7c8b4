// The install log's one owner. The registration opens it (with its header),
// every step writes its records through the functions below, and the
// post-install step closes it with the finished line; when no post-install
// script runs it stays open until the process ends. Every writer writes only
// while it is open: without a log (python_dir read-only, say) the records are
// dropped and the installation goes on. The line formats are log_format.h's.
#pragma once

// Opens the log at path for appending (text mode); false when it cannot.
bool open_install_log(const char* path);

// The header: the started line, "Source:" with source and "999 Root Key:"
// with root_name.
void log_installation_started(const char* source, const char* root_name);

bool install_log_is_open();

// The registration's records: "020 Reg DB Key" and "040 Reg DB Value".
void log_registry_key(const char* key_path, const char* package_key);
void log_registry_value(const char* key_path, const char* package_key, const char* name,
                        const char* value);

// "100 Made Dir" for a directory an installation made or a script reported.
void record_directory_created(const char* path);

// "200 File Copy" (a file written or reported) and "200 File Overwrite" (an
// existing file that was kept); a Python source among them joins
// compile_list, also while no log is open.
void record_file_created(const char* path);
void record_file_kept(const char* path);

// "300 Run Script" with the DLL and the script path, written before the
// post-install script runs.
void log_run_script(const char* python_dll, const char* script_path);

// A comment line naming the .dist-info folder of a distribution that this
// installation extracts: the package's own, or a dependency it brings.
void log_distribution(bool package, const char* dist_info_path);

// Writes the finished line and closes the log; nothing when it is not open.
void close_install_log();

// Closes the log without the finished line, as the end of the process does.
void drop_install_log();
