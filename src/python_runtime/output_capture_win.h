// What a script step's interpreter writes to the standard output and error
// streams, caught in a temporary file named by the runtime library.
//
// Both streams append to the same file in text mode ("\n" becomes CR LF);
// it is read back untranslated. After end() the standard streams stay closed
// until the next capture reopens them.
#pragma once
#include <cstddef>

#include "common/owner_crt_win.h"

class output_capture {
 public:
  // Sends stderr, then stdout, into a fresh capture file. With report set, a
  // redirection that fails (also for want of a file name) shows its box.
  explicit output_capture(bool report);
  ~output_capture();  // deletes the file
  output_capture(const output_capture&) = delete;
  output_capture& operator=(const output_capture&) = delete;

  // Flushes and closes stderr, then stdout.
  void end();

  // Up to width - 1 bytes of the file, terminated; empty when unreadable.
  void read_start(char* text, std::size_t width) const;

  // header followed by the whole file, on the heap; header alone when the
  // file cannot be read; none without memory.
  unique_heap_text read_all_after(const char* header) const;

 private:
  unique_heap_text name_;  // from _tempnam, or none
};
