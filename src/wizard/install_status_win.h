// The install page's side of the progress the steps report: its sink, which
// shows the step line, the item line and the bar on the page, and its two
// progress messages, through which each archive member reaches the page.
#pragma once
#include <windows.h>

#include "common/install_status.h"

extern HWND progress_page;  // the install page, set by the install sequence

inline constexpr UINT WM_PROGRESS_RANGE = WM_USER + 1;  // lParam: count << 16
inline constexpr UINT WM_PROGRESS_POS = WM_USER + 2;    // wParam: done, lParam: text

// Shows what the steps report on progress_page; an archive member arrives as
// the two messages, sent to the page.
extern const progress_sink install_page_sink;

// The install page's handling of WM_PROGRESS_RANGE and WM_PROGRESS_POS: the
// range goes on unchanged to the bar as PBM_SETRANGE; the position goes to
// the bar and the text (lParam) into the item line; then waiting messages are
// dispatched, after every message. While positions arrive faster than one a
// display frame (1/60 s), the bar and the item line show at most one a frame
// and the latest waits; a position at the bar's end is shown at once. True
// when the message was one of the two (the page answers TRUE).
bool handle_progress_message(HWND page, UINT message, WPARAM wparam, LPARAM lparam);

// Shows the position that is still waiting for its frame, if any: the page's
// state after the last message that arrived.
void show_pending_progress(HWND page);

// Dispatches every waiting message of the thread; never waits.
void drain_messages();
