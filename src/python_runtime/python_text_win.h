// Texts crossing between the installer (the ANSI code page, as every Win32
// call and the install log take them) and the interpreter: Python 2 takes
// and gives the same bytes; Python 3 reads and writes char strings as UTF-8
// and takes wide strings for its program name and argv.
#pragma once
#include <windows.h>

#include "common/owner_crt_win.h"

// text converted between code pages, on the heap; none for a null text or
// when it cannot be converted.
unique_heap_text convert_code_page(const char* text, UINT from, UINT to);

// A text on its way into or out of an interpreter: the given bytes unchanged
// when no conversion is wanted (Python 2), else a converted copy; the given
// bytes again should the conversion fail, so that a text is never lost.
class crossing_text {
 public:
  crossing_text(const char* text, bool convert, UINT from, UINT to)
      : copy_(convert ? convert_code_page(text, from, to) : unique_heap_text()), text_(text) {}
  const char* get() const { return copy_ ? copy_.get() : text_; }

 private:
  unique_heap_text copy_;
  const char* text_;
};

// A text of the interpreter's, as Win32 calls and the install log want it.
inline crossing_text ansi_from_python(const char* text, bool utf8) {
  return crossing_text(text, utf8, CP_UTF8, CP_ACP);
}
// An installer text, as the interpreter reads char strings.
inline crossing_text python_from_ansi(const char* text, bool utf8) {
  return crossing_text(text, utf8, CP_ACP, CP_UTF8);
}

// An ANSI text as a wide string on the heap; none when it cannot be converted.
unique_heap<wchar_t> wide_from_ansi(const char* text);
