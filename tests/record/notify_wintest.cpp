// The program's notify under Wine: records, boxes, compile_list and progress
// on a real install page (a window with a progress bar and an item line).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/notify_codes.h"
#include "record/compile_list.h"
#include "record/install_log_win.h"
#include "record/notify_win.h"
#include "resources/resource_ids.h"
#include "support/box_recorder_win.h"
#include "support/test_files_win.h"
#include "wizard/install_status_win.h"

namespace {

std::vector<std::string> compile_paths() {
  std::vector<std::string> paths;
  for (compile_node* n = compile_list; n; n = n->next) paths.push_back(n->path);
  return paths;
}

TEST(Notify, RecordsEachCodeAndCollectsPythonSources) {
  temp_folder dir;
  std::string log_path = dir / "p-kitpack.log";
  ASSERT_TRUE(open_install_log(log_path.c_str()));
  compile_list = nullptr;
  const struct {
    int code;
    const char* text;
  } calls[] = {
      {NOTIFY_DIR_CREATED, "C:\\P\\pkg.py"},  // a directory: logged, never compiled
      {NOTIFY_FILE_CREATED, "C:\\P\\pkg\\a.py"},
      {NOTIFY_FILE_CREATED, "C:\\P\\pkg\\a.py"},  // twice: two lines, two nodes
      {NOTIFY_FILE_CREATED, "C:\\P\\pkg\\b.pyc"},
      {NOTIFY_FILE_KEPT, "C:\\P\\pkg\\c.py"},
      {NOTIFY_FILE_KEPT, "C:\\P\\pkg\\D.PY"},
      {NOTIFY_CAN_OVERWRITE, "C:\\P\\x.py"},
      {42, "C:\\P\\y.py"},
      {NOTIFY_FILE_CREATED, "C:\\P\\100%d%s.py"},
  };
  for (const auto& call : calls) EXPECT_EQ(notify(call.code, call.text), 1) << call.code;
  drop_install_log();
  EXPECT_EQ(split_lines(read_file(log_path)), (std::vector<std::string>{
                                                  "100 Made Dir: C:\\P\\pkg.py",
                                                  "200 File Copy: C:\\P\\pkg\\a.py",
                                                  "200 File Copy: C:\\P\\pkg\\a.py",
                                                  "200 File Copy: C:\\P\\pkg\\b.pyc",
                                                  "200 File Overwrite: C:\\P\\pkg\\c.py",
                                                  "200 File Overwrite: C:\\P\\pkg\\D.PY",
                                                  "200 File Copy: C:\\P\\100%d%s.py",
                                              }));
  // A text-mode stream: CR LF on disk.
  EXPECT_EQ(read_file(log_path).substr(0, 28), "100 Made Dir: C:\\P\\pkg.py\r\n2");
  EXPECT_EQ(compile_paths(), (std::vector<std::string>{"C:\\P\\100%d%s.py", "C:\\P\\pkg\\c.py",
                                                       "C:\\P\\pkg\\a.py", "C:\\P\\pkg\\a.py"}));
}

TEST(Notify, WithoutALogNothingIsWrittenButSourcesAreStillCollected) {
  drop_install_log();
  compile_list = nullptr;
  notify(NOTIFY_FILE_CREATED, "C:\\P\\m.py");
  notify(NOTIFY_DIR_CREATED, "C:\\P\\d");
  EXPECT_EQ(compile_paths(), (std::vector<std::string>{"C:\\P\\m.py"}));
}

TEST(Notify, ClosingTheLogWritesTheFinishedLineOnce) {
  temp_folder dir;
  std::string log_path = dir / "p-kitpack.log";
  open_install_log(log_path.c_str());
  notify(NOTIFY_FILE_CREATED, "C:\\P\\f.txt");
  close_install_log();
  EXPECT_FALSE(install_log_is_open());
  close_install_log();  // not open: nothing
  std::vector<std::string> lines = split_lines(read_file(log_path));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "200 File Copy: C:\\P\\f.txt");
  // "*** Installation finished YYYY/MM/DD HH:MM ***"
  ASSERT_EQ(lines[1].size(), 46u);
  EXPECT_EQ(lines[1].substr(0, 26), "*** Installation finished ");
  EXPECT_EQ(lines[1].substr(30, 1) + lines[1].substr(33, 1) + lines[1].substr(39, 1), "//:");
  EXPECT_EQ(lines[1].substr(42), " ***");
}

TEST(Notify, ZlibAndSystemErrorsShowTheirBoxes) {
  box_recorder boxes;
  SetLastError(ERROR_FILENAME_EXCED_RANGE);
  notify(NOTIFY_SYSTEM_ERROR, "CreateFile (%s)", "C:\\P\\long");
  notify(NOTIFY_ZLIB_ERROR, "inflate returns %d", -3);
  ASSERT_EQ(boxes.boxes().size(), 2u);
  const recorded_box& system = boxes.boxes()[0];
  EXPECT_EQ(system.caption, "Runtime Error");
  char expected_text[512] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 ERROR_FILENAME_EXCED_RANGE, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                 expected_text, sizeof expected_text, nullptr);
  EXPECT_EQ(system.text, std::string(expected_text) + "CreateFile (C:\\P\\long)");
  const recorded_box& zlib = boxes.boxes()[1];
  EXPECT_EQ(zlib.text, "inflate returns -3");
  EXPECT_EQ(zlib.caption, "Error");
  EXPECT_EQ(zlib.type, static_cast<UINT>(MB_ICONEXCLAMATION | MB_OK));
  EXPECT_EQ(zlib.owner, GetFocus());
}

TEST(Notify, ALongErrorMessageIsCutToTheBuffer) {
  box_recorder boxes;
  std::string long_path(3000, 'p');
  const struct {
    int code;
    std::size_t shown;
  } rows[] = {{NOTIFY_ZLIB_ERROR, 1023}, {NOTIFY_SYSTEM_ERROR, 1023}};
  for (const auto& row : rows) {
    boxes.clear();
    SetLastError(0);  // no system text in front of the message
    notify(row.code, "inflateEnd returns %d %s", -2, long_path.c_str());
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text.size(), row.shown);
    EXPECT_EQ(boxes.boxes()[0].text.substr(0, 22), "inflateEnd returns -2 ");
  }
}

// ---- progress on a real install page ---------------------------------------

// How many WM_APP messages the page has handled (posted by the tests).
int posted_handled;

LRESULT CALLBACK page_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (handle_progress_message(window, message, wparam, lparam)) return TRUE;
  if (message == WM_APP) ++posted_handled;
  return DefWindowProcA(window, message, wparam, lparam);
}

// Counts what reaches a control, then lets it do its work.
struct message_counter {
  static inline WNDPROC original_bar, original_item;
  static inline int set_range, set_pos, set_text;
  static LRESULT CALLBACK bar(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == PBM_SETRANGE) ++set_range;
    if (m == PBM_SETPOS) ++set_pos;
    return CallWindowProcA(original_bar, w, m, wp, lp);
  }
  static LRESULT CALLBACK item(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_SETTEXT) ++set_text;
    return CallWindowProcA(original_item, w, m, wp, lp);
  }
  explicit message_counter(HWND page) {
    set_range = set_pos = set_text = 0;
    original_bar = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        GetDlgItem(page, IDC_PROGRESS_BAR), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(bar)));
    original_item = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        GetDlgItem(page, IDC_ITEM_LINE), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(item)));
  }
};

double milliseconds_since(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

class install_page {
 public:
  install_page() {
    InitCommonControls();
    WNDCLASSA c{};
    c.lpfnWndProc = page_procedure;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = "kitpack_test_page";
    RegisterClassA(&c);
    window_ = CreateWindowA("kitpack_test_page", "page", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200,
                            nullptr, nullptr, c.hInstance, nullptr);
    CreateWindowA(PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 50, 300, 20, window_,
                  reinterpret_cast<HMENU>(IDC_PROGRESS_BAR), c.hInstance, nullptr);
    CreateWindowA("STATIC", "Ready to install", WS_CHILD | WS_VISIBLE | SS_CENTER, 10, 20, 300, 20,
                  window_, reinterpret_cast<HMENU>(IDC_ITEM_LINE), c.hInstance, nullptr);
  }
  ~install_page() { DestroyWindow(window_); }
  HWND get() const { return window_; }
  PBRANGE range() const {
    PBRANGE r{};
    SendDlgItemMessageA(window_, IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
  }
  int pos() const { return static_cast<int>(SendDlgItemMessageA(window_, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0)); }
  std::string item() const {
    char text[512] = "";
    GetDlgItemTextA(window_, IDC_ITEM_LINE, text, sizeof text);
    return text;
  }

 private:
  HWND window_;
};

TEST(ProgressPage, EachMemberMovesTheBarAndNamesTheMember) {
  install_page page;
  ASSERT_NE(page.get(), nullptr);
  progress_page = page.get();
  install_sink = &install_page_sink;
  const struct {
    const char* text;
    int total, done;
    int high;  // the bar's range
  } rows[] = {
      {"Lib\\site-packages\\pkg\\a.py", 3, 1, 3},
      {"Lib\\site-packages\\pkg\\b.py", 3, 2, 3},
      {"Scripts\\tool.py", 3, 3, 3},
      {"big\\x.dat", 70000, 5, 70000 & 0xFFFF},  // the count travels in 16 bits
  };
  for (const auto& row : rows) {
    EXPECT_EQ(notify(NOTIFY_PROGRESS, row.text, row.total, row.done), 1);
    // A member that follows the last shown one within a frame waits for the
    // next frame; what waits, shown, is this member's state.
    show_pending_progress(page.get());
    EXPECT_EQ(page.range().iLow, 0) << row.text;
    EXPECT_EQ(page.range().iHigh, row.high) << row.text;
    EXPECT_EQ(page.pos(), row.done) << row.text;
    EXPECT_EQ(page.item(), row.text);
  }
  progress_page = nullptr;
  install_sink = nullptr;
}

TEST(ProgressPage, FastMembersRepaintAtMostOnceAFrameAndEndOnTheLast) {
  install_page page;
  progress_page = page.get();
  install_sink = &install_page_sink;
  message_counter counted(page.get());
  posted_handled = 0;
  const int members = 400;
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  for (int done = 1; done <= members; ++done) {
    // A message that waits when the member arrives is handled before the
    // progress handling returns, for every member.
    PostMessageA(page.get(), WM_APP, 0, 0);
    std::string path = "Lib\\site-packages\\m" + std::to_string(done) + ".py";
    notify(NOTIFY_PROGRESS, path.c_str(), members, done);
    ASSERT_EQ(posted_handled, done) << "member " << done;
  }
  double elapsed = milliseconds_since(start);
  progress_page = nullptr;
  install_sink = nullptr;
  EXPECT_EQ(page.pos(), members);
  EXPECT_EQ(page.range().iHigh, members);
  EXPECT_EQ(page.item(), "Lib\\site-packages\\m400.py");
  // One position a frame (1/60 s) at most, and the bar's end at once.
  int frames = static_cast<int>(elapsed * 60 / 1000) + 1;
  EXPECT_LE(counted.set_pos, frames + 1) << elapsed << " ms";
  EXPECT_LE(counted.set_text, frames + 1) << elapsed << " ms";
  EXPECT_GE(counted.set_pos, 1);
  EXPECT_EQ(counted.set_range, 1) << "an unchanged range is not set again";
}

TEST(ProgressPage, WhatWaitsForItsFrameIsShownOnRequest) {
  install_page page;
  progress_page = page.get();
  install_sink = &install_page_sink;
  // Ten members in a row, far quicker than a frame: the first is shown, the
  // rest wait, and the latest of them is what shows once asked.
  for (int done = 1; done <= 10; ++done)
    notify(NOTIFY_PROGRESS, ("pkg\\f" + std::to_string(done) + ".py").c_str(), 100, done);
  message_counter counted(page.get());
  show_pending_progress(page.get());
  show_pending_progress(page.get());
  progress_page = nullptr;
  install_sink = nullptr;
  EXPECT_EQ(page.pos(), 10);
  EXPECT_EQ(page.item(), "pkg\\f10.py");
  EXPECT_LE(counted.set_pos, 1) << "nothing waits the second time";
  // A changed range still reaches the bar.
  handle_progress_message(page.get(), WM_PROGRESS_RANGE, 0, MAKELPARAM(0, 7));
  EXPECT_EQ(page.range().iHigh, 7);
}

TEST(ProgressPage, AnotherPageGetsTheRangeAndPositionItself) {
  // What the handling keeps of one page (its controls, the range it set)
  // never stands for another page's.
  for (int round = 0; round < 2; ++round) {
    install_page page;
    progress_page = page.get();
    install_sink = &install_page_sink;
    notify(NOTIFY_PROGRESS, "pkg\\same.py", 5, 5);
    progress_page = nullptr;
    install_sink = nullptr;
    EXPECT_EQ(page.range().iHigh, 5) << "page " << round;
    EXPECT_EQ(page.pos(), 5) << "page " << round;
    EXPECT_EQ(page.item(), "pkg\\same.py") << "page " << round;
  }
}

TEST(ProgressPage, ThePageAnswersOnlyTheTwoProgressMessages) {
  install_page page;
  const struct {
    UINT message;
    bool handled;
  } rows[] = {{WM_PROGRESS_RANGE, true}, {WM_PROGRESS_POS, true}, {WM_USER, false},
              {WM_USER + 3, false}, {WM_COMMAND, false}};
  for (const auto& row : rows) {
    LPARAM lparam = row.message == WM_PROGRESS_POS ? reinterpret_cast<LPARAM>("x") : MAKELPARAM(0, 9);
    EXPECT_EQ(handle_progress_message(page.get(), row.message, 1, lparam), row.handled) << row.message;
  }
}

TEST(ProgressPage, HandlingAMessageDispatchesWhatWaits) {
  install_page page;
  // A message waiting in the queue for a window of the thread is dispatched
  // before the progress handling returns.
  PostMessageA(page.get(), WM_NULL, 0, 0);
  PostThreadMessageA(GetCurrentThreadId(), WM_USER + 77, 0, 0);
  handle_progress_message(page.get(), WM_PROGRESS_POS, 1, reinterpret_cast<LPARAM>("y"));
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST(ProgressSink, StandsInForThePage) {
  static std::vector<std::string> seen;
  seen.clear();
  static const progress_sink sink = {
      [](const char* t) { seen.push_back(std::string("step ") + t); },
      [](const char* t) { seen.push_back(std::string("item ") + t); },
      [](unsigned n) { seen.push_back("range " + std::to_string(n)); },
      [](unsigned n) { seen.push_back("pos " + std::to_string(n)); },
  };
  install_sink = &sink;
  notify(NOTIFY_PROGRESS, "a.py", 3, 1);
  notify(NOTIFY_PROGRESS, "b.py", 65537, 2);
  show_step_text("Installing files...");
  install_sink = nullptr;
  EXPECT_EQ(seen, (std::vector<std::string>{"range 3", "pos 1", "item a.py", "range 1", "pos 2",
                                            "item b.py", "step Installing files..."}));
}

TEST(InstallStatus, TheLastFailureWins) {
  install_ok = 1;
  set_failure("first");
  set_failure("Failed to unzip installation files");
  EXPECT_EQ(install_ok, 0);
  ASSERT_NE(failure_text, nullptr);
  EXPECT_STREQ(failure_text, "Failed to unzip installation files");
}

}  // namespace
