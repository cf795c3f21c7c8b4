#include "common/fixed_text.h"

#include <cstdio>
#include <cstring>

bool copy_cut(char* dst, std::size_t width, std::string_view text) {
  if (width == 0) return text.empty();
  std::size_t n = text.size() < width ? text.size() : width - 1;
  if (n) std::memcpy(dst, text.data(), n);
  dst[n] = '\0';
  return n == text.size();
}

bool append_cut(char* dst, std::size_t width, std::string_view text) {
  std::size_t used = strnlen(dst, width);
  if (used >= width) return false;
  return copy_cut(dst + used, width - used, text);
}

bool vformat_cut(char* dst, std::size_t width, const char* format, va_list args) {
  if (width == 0) return false;
#ifdef _WIN32
  // The runtime library's own formatter: the C++ headers switch the standard
  // names over to mingw's replacement, which would add 25 KiB to the stub.
  // It returns -1 when the text does not fit and then leaves it unterminated.
  int n = _vsnprintf(dst, width, format, args);
  dst[width - 1] = '\0';
  return n >= 0 && static_cast<std::size_t>(n) < width;
#else
  int n = std::vsnprintf(dst, width, format, args);
  if (n < 0) {
    dst[0] = '\0';
    return false;
  }
  return static_cast<std::size_t>(n) < width;
#endif
}

bool format_cut(char* dst, std::size_t width, const char* format, ...) {
  va_list args;
  va_start(args, format);
  bool whole = vformat_cut(dst, width, format, args);
  va_end(args);
  return whole;
}

bool format_whole(char* dst, std::size_t width, const char* format, ...) {
  va_list args;
  va_start(args, format);
  bool whole = vformat_cut(dst, width, format, args);
  va_end(args);
  if (!whole && width > 0) dst[0] = '\0';
  return whole;
}

void compose_error_text(char* dst, std::size_t width, std::string_view system_text,
                        std::string_view text) {
  copy_cut(dst, width, system_text);
  append_cut(dst, width, text);
}
