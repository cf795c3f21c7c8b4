#include "record/log_format.h"

#include <cstring>

bool is_python_source(const char* path) {
  const char* dot = std::strrchr(path, '.');
  return dot && std::strcmp(dot, ".py") == 0;
}

void write_record_line(std::FILE* log, const char* format, const char* text) {
  const char* slot = std::strstr(format, "%s");
  if (!slot) {
    std::fputs(format, log);
  } else {
    std::fwrite(format, 1, static_cast<std::size_t>(slot - format), log);
    std::fputs(text, log);
    std::fputs(slot + 2, log);
  }
  std::fflush(log);
}
