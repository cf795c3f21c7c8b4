#include "support/box_recorder_win.h"

#include "common/message_box_win.h"

static box_recorder* active_recorder;

box_recorder::box_recorder() : previous_(message_box_impl) {
  active_recorder = this;
  message_box_impl = &box_recorder::record;
}

box_recorder::~box_recorder() {
  message_box_impl = previous_;
  active_recorder = nullptr;
}

int WINAPI box_recorder::record(HWND owner, const char* text, const char* caption, UINT type) {
  box_recorder* self = active_recorder;
  self->boxes_.push_back({owner, text ? text : "(null)", caption ? caption : "(null)", type});
  if (self->answers_.empty()) return IDOK;
  int answer = self->answers_.front();
  self->answers_.pop_front();
  return answer;
}
