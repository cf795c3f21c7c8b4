// Wide text on its way to the ANSI API: converted to the ANSI code page with
// no best-fit substitutes, so that a character the code page lacks never
// becomes a look-alike ("Ω" an "O", a full-width colon a colon) that names
// another file. Such a character is reported, and shown as "?".
#pragma once
#include <windows.h>

struct ansi_conversion {
  int length;  // bytes written (or needed, for no buffer); 0 when they do not fit
  bool exact;  // every character has its own in the code page
};

// Converts count units of wide (-1: through its NUL) into out, width bytes;
// no out and a width of 0 ask for the length.
ansi_conversion ansi_from_wide(const wchar_t* wide, int count, char* out, int width);
