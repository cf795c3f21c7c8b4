// A whole file mapped read-only: the view's owner and the file's size, handed
// to the logic as bytes. Unmapping happens once, when the owner goes.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>

#include "common/owner_win.h"

class mapped_file {
 public:
  mapped_file() = default;
  mapped_file(unique_view view, std::uint32_t size) : view_(std::move(view)), size_(size) {}

  explicit operator bool() const { return static_cast<bool>(view_); }
  std::span<const std::byte> bytes() const {
    return {static_cast<const std::byte*>(view_.get()), view_ ? size_ : 0};
  }

 private:
  unique_view view_;
  std::uint32_t size_ = 0;
};
