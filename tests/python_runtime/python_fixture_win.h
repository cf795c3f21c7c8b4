// A chosen Python for the runtime tests: the stand-in interpreter DLL
// registered as Python 2.7 in the test prefix's registry, a python_dir with a
// Scripts folder, and the finish page's two controls.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "common/chosen_python_win.h"
#include "resources/resource_ids.h"
#include "support/test_files_win.h"

// The folder holding one build of the stand-in python27.dll: "full",
// "no_err_print", "no_set_argv" or "no_long_from_void_ptr".
std::string standin_folder(const std::string& variant);

// Sets the default value of Software\Python\PythonCore\2.7\InstallPath.
void register_install_path(HKEY root, const std::string& directory);
// Removes the 2.7 key under both roots (the prefix is shared with other tests).
void unregister_python();

class python_fixture {
 public:
  // Registers variant under HKEY_CURRENT_USER (none: nothing registered) and
  // sets target (python_dir, py_major, py_minor, python_dll, root_hkey) and
  // install_ok.
  explicit python_fixture(const char* variant = "full");
  ~python_fixture();
  python_fixture(const python_fixture&) = delete;
  python_fixture& operator=(const python_fixture&) = delete;

  const std::string& dir() const { return dir_.path(); }
  std::string script_path(const std::string& name) const { return dir_ / ("Scripts\\" + name); }
  // Writes Scripts\name and makes it the package's post-install script.
  std::string write_postinstall(const std::string& name, const std::string& text) const;
  // Opens the install log (a file in the temporary folder) for the records.
  void open_log();
  // The log's content; closes it first when still open.
  std::string log_text();
  // Writes source ("x = 1"), makes it all of compile_list, opens the log and
  // runs the .pyc and the .pyo pass; returns the log.
  std::string compile_module(const std::string& source);

  // The chosen Python that the steps under test are handed.
  chosen_python target;

 private:
  temp_folder dir_;
  temp_folder log_dir_;
};

// Reopens stdout and stderr on the test program's own output after a capture
// closed them, so that the test can still report.
class std_streams_keeper {
 public:
  std_streams_keeper();
  ~std_streams_keeper();
  void restore();

 private:
  int out_;
  int err_;
};

// A window with the finish page's controls: the heading and the output box.
class finish_window {
 public:
  finish_window();
  ~finish_window();
  HWND get() const { return window_; }
  std::string text(int id) const;

 private:
  HWND window_;
};

// Records what the steps show on the install page as "step:..", "item:..",
// "range:n" and "pos:n".
class recording_sink {
 public:
  recording_sink();
  ~recording_sink();
  const std::vector<std::string>& events() const;
};

// Lines of the captured text split at CR LF.
std::vector<std::string> crlf_lines(const std::string& text);
