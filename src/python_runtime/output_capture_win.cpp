#include "python_runtime/output_capture_win.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/message_box_win.h"
#include "common/owner_crt_win.h"

static void redirect(const char* name, FILE* target, const char* failure, bool report) {
  if (name && std::freopen(name, "a", target)) return;
  if (report) show_message_box(GetFocus(), failure, nullptr, MB_OK);
}

output_capture::output_capture(bool report) : name_(_tempnam(nullptr, nullptr)) {
  redirect(name_.get(), stderr, "freopen stderr", report);
  redirect(name_.get(), stdout, "freopen stdout", report);
}

output_capture::~output_capture() {
  if (name_) std::remove(name_.get());
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
    unique_stream file(std::fopen(name_.get(), "rb"));
    if (file) n = std::fread(text, 1, width - 1, file.get());
  }
  text[n] = '\0';
}

unique_heap_text output_capture::read_all_after(const char* header) const {
  unique_stream file(name_ ? std::fopen(name_.get(), "rb") : nullptr);
  long length = 0;
  if (file && std::fseek(file.get(), 0, SEEK_END) == 0) {
    length = std::ftell(file.get());
    if (length < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) length = 0;
  }
  std::size_t header_length = std::strlen(header);
  unique_heap_text text = heap_alloc<char>(header_length + static_cast<std::size_t>(length) + 1);
  if (!text) return text;
  std::memcpy(text.get(), header, header_length);
  std::size_t n =
      length > 0 ? std::fread(text.get() + header_length, 1, static_cast<std::size_t>(length), file.get()) : 0;
  text.get()[header_length + n] = '\0';
  return text;
}
