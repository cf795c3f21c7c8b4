#include "common/message_box_win.h"

message_box_fn message_box_impl = MessageBoxA;

int show_message_box(HWND owner, const char* text, const char* caption, UINT type) {
  return message_box_impl(owner, text, caption, type);
}
