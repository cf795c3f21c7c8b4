// Records the program's message boxes in Windows unit tests instead of showing
// them, and answers each with a scripted button (IDOK when none is queued).
#pragma once
#include <windows.h>

#include <deque>
#include <string>
#include <vector>

struct recorded_box {
  HWND owner;
  std::string text;
  std::string caption;  // "(null)" when the program passed no caption
  UINT type;
};

class box_recorder {
 public:
  box_recorder();   // installs itself as the program's message box
  ~box_recorder();  // puts the previous one back
  box_recorder(const box_recorder&) = delete;
  box_recorder& operator=(const box_recorder&) = delete;

  void answer_next(int button) { answers_.push_back(button); }
  const std::vector<recorded_box>& boxes() const { return boxes_; }
  void clear() { boxes_.clear(); }

 private:
  static int WINAPI record(HWND owner, const char* text, const char* caption, UINT type);
  std::vector<recorded_box> boxes_;
  std::deque<int> answers_;
  int (WINAPI* previous_)(HWND, const char*, const char*, UINT);
};
