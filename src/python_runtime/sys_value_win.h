// Texts that the installer hands to a running interpreter as values: a path
// or any other text from outside is never pasted into Python source, where
// a quote, a last backslash or a line break of it would change what the
// statement says. The statement names the value instead.
#pragma once
#include <cstddef>

#include "python_runtime/python_bind_win.h"

// An installer text (ANSI code page) bound as sys.<name> while the object
// lives, as a str in the encoding the interpreter reads char strings in
// (the same bytes for Python 2, UTF-8 from Python 3 on); removed again when
// it goes, before the interpreter ends. False when it could not be bound:
// an entry point is missing, or the interpreter refused the value (its
// error is then printed and cleared).
class sys_value {
 public:
  sys_value(const loaded_python& python, const char* name, const char* text);
  ~sys_value();
  sys_value(const sys_value&) = delete;
  sys_value& operator=(const sys_value&) = delete;

  explicit operator bool() const { return bound_; }
  // The text's length in the bytes the interpreter reads.
  std::size_t length() const { return length_; }

 private:
  const python_entry_points& api_;
  const char* name_;
  std::size_t length_ = 0;
  bool bound_ = false;
};

// Sets sys.argv to the list of argc texts through sys itself, for a Python 3
// without PySys_SetArgv; false when it could not.
bool set_sys_argv(const loaded_python& python, int argc, char** argv);
