// What the install steps share: the outcome, and the install page that shows
// their progress.
//
// The install page shows a step line ("Installing files..."), an item line
// above the bar (a file name, "Loading python...") and the bar. Steps write
// them through the show_* operations below, which go to progress_page, or to a
// stand-in sink where no wizard exists.
#pragma once
#include <windows.h>

extern int install_ok;       // 1 from the start of the sequence until a failure
extern char* failure_text;   // the last failure reason, or none
extern HWND progress_page;   // the install page

inline constexpr UINT WM_PROGRESS_RANGE = WM_USER + 1;  // lParam: count << 16
inline constexpr UINT WM_PROGRESS_POS = WM_USER + 2;    // wParam: done, lParam: text

// Stands in for the install page: the four things a step can show.
struct progress_sink {
  void (*step_text)(const char* text);
  void (*item_text)(const char* text);
  void (*set_range)(unsigned count);  // the bar runs 0 .. count (16 bits)
  void (*set_pos)(unsigned done);
};

// When set, the show_* operations go here instead of to progress_page.
extern const progress_sink* install_sink;

void show_step_text(const char* text);
void show_item_text(const char* text);
void show_progress_range(unsigned count);
void show_progress_pos(unsigned done);

// Stores a copy of text as failure_text (none without memory) and clears install_ok.
void set_failure(const char* text);

// The install page's handling of WM_PROGRESS_RANGE and WM_PROGRESS_POS: the
// range goes on unchanged to the bar as PBM_SETRANGE; the position goes to
// the bar and the text (lParam) into the item line; then waiting messages are
// dispatched. True when the message was one of the two (the page answers TRUE).
bool handle_progress_message(HWND page, UINT message, WPARAM wparam, LPARAM lparam);

// Dispatches every waiting message of the thread; never waits.
void drain_messages();
