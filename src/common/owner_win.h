// Move-only owners for Win32 handles. One template; each handle kind names its
// invalid value and how it is released. Releasing keeps GetLastError intact, so
// an owner going out of scope never hides the error the caller is reporting.
#pragma once
#include <windows.h>
#include <utility>

template <typename Traits>
class unique_owner {
 public:
  using value_type = typename Traits::type;

  unique_owner() = default;
  explicit unique_owner(value_type value) : value_(value) {}
  ~unique_owner() { reset(); }
  unique_owner(const unique_owner&) = delete;
  unique_owner& operator=(const unique_owner&) = delete;
  unique_owner(unique_owner&& other) noexcept : value_(other.release()) {}
  unique_owner& operator=(unique_owner&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  value_type get() const { return value_; }
  explicit operator bool() const { return value_ != Traits::invalid(); }

  value_type release() { return std::exchange(value_, Traits::invalid()); }

  void reset(value_type value = Traits::invalid()) {
    value_type old = std::exchange(value_, value);
    if (old != Traits::invalid()) {
      DWORD error = GetLastError();
      Traits::close(old);
      SetLastError(error);
    }
  }

  // Releases the current value and hands out the address for an API to fill.
  value_type* put() {
    reset();
    return &value_;
  }

 private:
  value_type value_ = Traits::invalid();
};

namespace owner_traits {
struct file {  // CreateFile: INVALID_HANDLE_VALUE on failure
  using type = HANDLE;
  static type invalid() { return INVALID_HANDLE_VALUE; }
  static void close(type h) { CloseHandle(h); }
};
struct kernel {  // mappings, processes, threads: null on failure
  using type = HANDLE;
  static type invalid() { return nullptr; }
  static void close(type h) { CloseHandle(h); }
};
struct reg_key {
  using type = HKEY;
  static type invalid() { return nullptr; }
  static void close(type h) { RegCloseKey(h); }
};
struct find {
  using type = HANDLE;
  static type invalid() { return INVALID_HANDLE_VALUE; }
  static void close(type h) { FindClose(h); }
};
struct view {
  using type = void*;
  static type invalid() { return nullptr; }
  static void close(type p) { UnmapViewOfFile(p); }
};
struct module {
  using type = HMODULE;
  static type invalid() { return nullptr; }
  static void close(type h) { FreeLibrary(h); }
};
struct gdi_object {
  using type = HGDIOBJ;
  static type invalid() { return nullptr; }
  static void close(type h) { DeleteObject(h); }
};
}  // namespace owner_traits

using unique_file = unique_owner<owner_traits::file>;
using unique_handle = unique_owner<owner_traits::kernel>;
using unique_hkey = unique_owner<owner_traits::reg_key>;
using unique_find = unique_owner<owner_traits::find>;
using unique_view = unique_owner<owner_traits::view>;
using unique_module = unique_owner<owner_traits::module>;
using unique_gdi_object = unique_owner<owner_traits::gdi_object>;
