// What the install steps share: the outcome, and the install page that shows
// their progress.
#pragma once
#include <windows.h>

extern int install_ok;       // 1 from the start of the sequence until a failure
extern char* failure_text;   // the last failure reason, or none
extern HWND progress_page;   // the install page

inline constexpr UINT WM_PROGRESS_RANGE = WM_USER + 1;  // lParam: count << 16
inline constexpr UINT WM_PROGRESS_POS = WM_USER + 2;    // wParam: done, lParam: text

// Stores a copy of text as failure_text (none without memory) and clears install_ok.
void set_failure(const char* text);

// Dispatches every waiting message of the thread; never waits.
void drain_messages();
