// Drives a program under test through its windows, as a user would: starts it,
// waits for its message boxes and dialogs, reads their texts, presses buttons,
// and collects its exit code. Used by the end-to-end tests.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Every wait of the driver takes its timeout times KITPACK_TIMEOUT_FACTOR (a
// whole number, 1 when unset): a slow machine, such as the emulated 32-bit
// guest, sets it instead of the tests sleeping longer.
DWORD scaled_timeout(DWORD ms);

class driven_process {
 public:
  // Starts exe with the command line "exe" args (exe quoted), in cwd when set.
  driven_process(const std::string& exe, const std::string& args, const std::string& cwd = "");
  ~driven_process();  // ends the process if it still runs
  driven_process(const driven_process&) = delete;
  driven_process& operator=(const driven_process&) = delete;

  bool started() const { return info_.hProcess != nullptr; }
  DWORD pid() const { return info_.dwProcessId; }
  bool running() const;
  // The exit code, or -1 when the process did not end within ms.
  long wait_exit(DWORD ms = 20000);

 private:
  PROCESS_INFORMATION info_{};
};

// A run that no one answers: the exit code (-1 when it did not end within
// the time), every top-level window of its process that was seen shown while
// it ran, and those that were there but never seen shown, as "class 'caption'".
// The 32-bit Wine of the guest sometimes makes a window meant to be
// message-only a hidden top-level one, so the hidden ones are kept apart.
struct watched_run {
  long exit_code = -1;
  std::vector<std::string> windows;
  std::vector<std::string> hidden_windows;
};

// The hidden windows of a run other than the unattended install's list of
// Pythons, the one window it makes (message-only, never shown).
std::vector<std::string> unexpected_hidden_windows(const watched_run& run);

// Runs exe with args to its end, looking at the top-level windows of its
// process every few milliseconds from its start until it has ended.
watched_run run_watching_windows(const std::string& exe, const std::string& args,
                                 DWORD ms = 60000);

// A message box of the process: its window, caption and text.
struct seen_box {
  HWND window = nullptr;
  std::string caption;
  std::string text;
  explicit operator bool() const { return window != nullptr; }
};

// Waits for a visible top-level dialog of the process (class "#32770") whose
// caption equals caption (any caption when null); null after ms.
HWND wait_dialog(const driven_process& process, const char* caption, DWORD ms = 20000);

// Waits for a message box of the process (a dialog with a static text 0xFFFF).
seen_box wait_box(const driven_process& process, DWORD ms = 20000);

std::string window_text(HWND window);
std::string item_text(HWND dialog, int id);
bool item_enabled(HWND dialog, int id);

// Presses a button of a dialog (IDOK, IDYES, ...) by sending it WM_COMMAND.
void press(HWND dialog, int id);

// Waits for a box, presses button and returns what the box showed.
seen_box answer_box(const driven_process& process, int button, DWORD ms = 20000);

// Polls condition every 20 ms until it holds (true) or ms have passed (false).
bool wait_until(const std::function<bool()>& condition, DWORD ms = 20000);

// Waits for a visible top-level window of the process with this class name
// and, when caption is not null, this caption; null after ms.
HWND wait_window(const driven_process& process, const char* class_name, const char* caption,
                 DWORD ms = 20000);

// Waits until no visible window on the screen has a part left to repaint;
// false when one still has after ms.
bool painting_done(DWORD ms = 5000);

// A wizard (a property sheet, "#32770", with the pages' caption): its current
// page, the page's index, and its buttons (PSBTN_BACK, _NEXT, _FINISH, _CANCEL).
HWND current_page(HWND sheet);
int current_page_index(HWND sheet);
// Waits until the page with this index is shown; its window, or null after ms.
HWND wait_page(HWND sheet, int index, DWORD ms = 20000);
// Presses a wizard button as the user would (posted, so that a long step that
// the press starts does not block the caller).
void press_wizard_button(HWND sheet, int psbtn);
// Whether the button is shown and enabled.
bool wizard_button_enabled(HWND sheet, int psbtn);

// List box rows of a dialog's control: count, text, selection (LB_ERR: none).
int list_count(HWND dialog, int id);
std::string list_text(HWND dialog, int id, int row);
int list_selection(HWND dialog, int id);
// Selects a row as a click would: the selection, then LBN_SELCHANGE to the dialog.
void select_list_row(HWND dialog, int id, int row);
