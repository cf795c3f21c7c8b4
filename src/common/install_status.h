// What the steps of an installation share, wherever they live: the outcome
// that the finish page (or an unattended run's report) reads, and the sink
// that shows their progress. The steps report here and never to a window:
// the install page is one sink, a run without a wizard brings another, and
// the uninstaller, which has no page, none.
//
// What a sink shows: a step line ("Installing files..."), an item line above
// the bar (a file name, "Loading python...") and the bar.
#pragma once

extern int install_ok;      // 1 from the start of the sequence until a failure
extern char* failure_text;  // the last failure reason, or none

// Stores a copy of text as failure_text (none without memory) and clears install_ok.
void set_failure(const char* text);

struct progress_sink {
  void (*step_text)(const char* text);
  void (*item_text)(const char* text);
  void (*set_range)(unsigned count);  // the bar runs 0 .. count (16 bits)
  void (*set_pos)(unsigned done);
  // One archive member handled: done of count, path below the target. A sink
  // without it gets the range, the position and the path as the item line.
  void (*member_done)(unsigned count, unsigned done, const char* path) = nullptr;
};

// The sink of the installation that runs, set by the install sequence; none
// shows nothing.
extern const progress_sink* install_sink;

void show_step_text(const char* text);
void show_item_text(const char* text);
void show_progress_range(unsigned count);  // the count travels in 16 bits
void show_progress_pos(unsigned done);
void show_member_done(unsigned count, unsigned done, const char* path);
