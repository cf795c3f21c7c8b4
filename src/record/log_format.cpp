#include "record/log_format.h"

#include <cstring>

bool is_python_source(const char* path) {
  const char* dot = std::strrchr(path, '.');
  return dot && std::strcmp(dot, ".py") == 0;
}
