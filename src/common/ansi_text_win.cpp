#include "common/ansi_text_win.h"

ansi_conversion ansi_from_wide(const wchar_t* wide, int count, char* out, int width) {
  // A UTF-8 code page holds every character, and the conversion to it
  // refuses both the flag and the default character.
  if (GetACP() == CP_UTF8) return {WideCharToMultiByte(CP_ACP, 0, wide, count, out, width, nullptr, nullptr), true};
  BOOL defaulted = FALSE;
  int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, count, out, width, "?", &defaulted);
  return {length, !defaulted};
}
