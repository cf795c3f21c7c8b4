#include "python_runtime/output_capture_win.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/message_box_win.h"

namespace {
struct stream {
  FILE* f;
  ~stream() {
    if (f) std::fclose(f);
  }
};
}  // namespace

static void redirect(const char* name, FILE* target, const char* failure, bool report) {
  if (name && std::freopen(name, "a", target)) return;
  if (report) show_message_box(GetFocus(), failure, nullptr, MB_OK);
}

output_capture::output_capture(bool report) : name_(_tempnam(nullptr, nullptr)) {
  redirect(name_, stderr, "freopen stderr", report);
  redirect(name_, stdout, "freopen stdout", report);
}

output_capture::~output_capture() {
  if (!name_) return;
  std::remove(name_);
  std::free(name_);
}

void output_capture::end() {
  std::fflush(stderr);
  std::fclose(stderr);
  std::fflush(stdout);
  std::fclose(stdout);
}

void output_capture::read_start(char* text, std::size_t width) const {
  std::size_t n = 0;
  if (name_) {
    stream file{std::fopen(name_, "rb")};
    if (file.f) n = std::fread(text, 1, width - 1, file.f);
  }
  text[n] = '\0';
}

char* output_capture::read_all_after(const char* header) const {
  stream file{name_ ? std::fopen(name_, "rb") : nullptr};
  long length = 0;
  if (file.f && std::fseek(file.f, 0, SEEK_END) == 0) {
    length = std::ftell(file.f);
    if (length < 0 || std::fseek(file.f, 0, SEEK_SET) != 0) length = 0;
  }
  std::size_t header_length = std::strlen(header);
  auto* text = static_cast<char*>(std::malloc(header_length + static_cast<std::size_t>(length) + 1));
  if (!text) return nullptr;
  std::memcpy(text, header, header_length);
  std::size_t n = length > 0 ? std::fread(text + header_length, 1, static_cast<std::size_t>(length), file.f) : 0;
  text[header_length + n] = '\0';
  return text;
}
