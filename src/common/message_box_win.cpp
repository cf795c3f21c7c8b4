#include "common/message_box_win.h"

#include "common/unattended_report.h"
#include "common/unattended_win.h"

message_box_fn message_box_impl = MessageBoxA;

int show_message_box(HWND owner, const char* text, const char* caption, UINT type) {
  if (unattended_run) {
    // Nobody is there to answer: the text is kept for the report, and the
    // box answers as Enter would.
    add_to_report(text);
    return default_button(type);
  }
  return message_box_impl(owner, text, caption, type);
}
