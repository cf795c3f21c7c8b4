#include "common/install_status.h"

#include <cstdlib>
#include <cstring>

int install_ok;
char* failure_text;
const progress_sink* install_sink;

void set_failure(const char* text) {
  std::free(failure_text);
  std::size_t n = std::strlen(text) + 1;
  failure_text = static_cast<char*>(std::malloc(n));
  if (failure_text) std::memcpy(failure_text, text, n);
  install_ok = 0;
}

void show_step_text(const char* text) {
  if (install_sink) install_sink->step_text(text);
}

void show_item_text(const char* text) {
  if (install_sink) install_sink->item_text(text);
}

void show_progress_range(unsigned count) {
  if (install_sink) install_sink->set_range(count & 0xFFFF);
}

void show_progress_pos(unsigned done) {
  if (install_sink) install_sink->set_pos(done);
}

void show_member_done(unsigned count, unsigned done, const char* path) {
  if (!install_sink) return;
  if (install_sink->member_done) return install_sink->member_done(count & 0xFFFF, done, path);
  show_progress_range(count);
  show_progress_pos(done);
  show_item_text(path);
}
