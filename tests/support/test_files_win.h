// Files and folders for the Windows tests.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A fresh, empty folder under the temporary directory, removed with all its
// content when the object goes away.
class temp_folder {
 public:
  temp_folder();
  ~temp_folder();
  temp_folder(const temp_folder&) = delete;
  temp_folder& operator=(const temp_folder&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// A Unix path of the build machine as Wine sees it (drive Z:).
std::string windows_path(const std::string& unix_path);

// A file of the build tree (KITPACK_BINARY_DIR) or the source tree.
std::string build_file(const std::string& relative);
std::string source_file(const std::string& relative);

// The 64-bit stub that the end-to-end tests drive.
std::string stub_path();

bool read_file(const std::string& path, std::string& content);
std::string read_file(const std::string& path);
bool write_file(const std::string& path, const std::string& content);
bool file_exists(const std::string& path);
bool directory_exists(const std::string& path);
void remove_tree(const std::string& path);
// Everything below dir, relative to it, folders ending in "\", sorted.
std::vector<std::string> folder_tree(const std::string& dir);
// Waits until nothing exists at path; false when something still does after ms.
bool gone_within(const std::string& path, DWORD ms);

// An environment variable of this process set for the object's lifetime, in
// the runtime library's copy and in Windows' (which child processes inherit).
class scoped_environment {
 public:
  scoped_environment(const char* name, const std::string& value);
  ~scoped_environment();
  scoped_environment(const scoped_environment&) = delete;
  scoped_environment& operator=(const scoped_environment&) = delete;

 private:
  std::string name_;
  std::string previous_;  // empty: it was not set
};

// The headers of a DLL built for machine (an IMAGE_FILE_MACHINE_ value) and
// nothing more: all that a listing of Pythons reads of a DLL.
std::string dll_header(WORD machine);

// Lines of a text, without their line ends.
std::vector<std::string> split_lines(const std::string& text);

// A UTF-8 text in the ANSI code page, as a name the installer writes is; empty
// when the code page lacks one of its characters.
std::string ansi_text(const std::string& utf8);
