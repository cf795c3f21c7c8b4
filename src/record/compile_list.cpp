#include "record/compile_list.h"

#include <cstdlib>
#include <cstring>

#include "record/log_format.h"

compile_node* compile_list;

void add_to_compile_list(const char* path) {
  if (!is_python_source(path)) return;
  std::size_t n = std::strlen(path) + 1;
  auto* node = static_cast<compile_node*>(std::malloc(sizeof(compile_node)));
  auto* copy = static_cast<char*>(std::malloc(n));
  if (!node || !copy) {
    std::free(node);
    std::free(copy);
    return;
  }
  std::memcpy(copy, path, n);
  *node = {copy, compile_list};
  compile_list = node;
}
