// Move-only owners for what the C runtime library hands out: streams, file
// descriptors and heap blocks. They share the Win32 owners' template, so
// releasing one keeps GetLastError intact as well.
#pragma once
#include <io.h>

#include <cstdio>
#include <cstdlib>

#include "common/owner_win.h"

namespace owner_traits {
struct stream {  // fopen, _fdopen
  using type = std::FILE*;
  static type invalid() { return nullptr; }
  static void close(type f) { std::fclose(f); }
};
struct crt_fd {  // _open: -1 on failure
  using type = int;
  static type invalid() { return -1; }
  static void close(type fd) { _close(fd); }
};
template <typename T>
struct heap_block {  // malloc, calloc, _tempnam, _strdup
  using type = T*;
  static type invalid() { return nullptr; }
  static void close(type p) { std::free(p); }
};
}  // namespace owner_traits

using unique_stream = unique_owner<owner_traits::stream>;
using unique_fd = unique_owner<owner_traits::crt_fd>;
template <typename T>
using unique_heap = unique_owner<owner_traits::heap_block<T>>;
using unique_heap_text = unique_heap<char>;

// A heap block of n bytes for a T (T must need no constructor), or none.
template <typename T>
unique_heap<T> heap_alloc(std::size_t n = sizeof(T)) {
  return unique_heap<T>(static_cast<T*>(std::malloc(n)));
}
