#include "startup/escapes.h"

void expand_escapes(const char* src, char* dst, std::size_t width) {
  std::size_t room = width;
  char* out = dst;
  while (*src && room > 2) {
    if (*src != '\\') {
      *out++ = *src++;
      --room;
      continue;
    }
    char next = src[1];
    if (next == 'n') {
      *out++ = '\r';
      *out++ = '\n';
      room -= 2;
      src += 2;
    } else if (next == 'r') {
      *out++ = '\r';
      --room;
      src += 2;
    } else if (next >= '0' && next <= '3') {
      unsigned value = 0;
      src += 1;
      while (*src >= '0' && *src <= '7') value = value * 8 + static_cast<unsigned>(*src++ - '0');
      char byte = static_cast<char>(value & 0xFF);
      if (byte == '\n') {
        // room > 2 here, so the CR, the LF and the NUL all fit.
        *out++ = '\r';
        --room;
      }
      *out++ = byte;
      --room;
    } else {
      // Only the backslash is consumed; the next character starts a new step.
      ++src;
    }
  }
  *out = '\0';
}
