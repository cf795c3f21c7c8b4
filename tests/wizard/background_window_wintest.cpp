// The backdrop: its class, caption, size and what it paints.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "startup/setup_config.h"
#include "support/box_recorder_win.h"
#include "wizard/wizard_win.h"

namespace {

std::string caption_of(HWND window) {
  char text[512];
  int n = GetWindowTextA(window, text, sizeof text);
  return std::string(text, n > 0 ? n : 0);
}

void pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

TEST(BackgroundWindow, IsAMaximisedDarkBlueWindowCaptionedWithTheTitle) {
  std::strcpy(setup_config.title, "Example 1.0");
  HWND window = create_background_window(setup_config.title);
  ASSERT_NE(window, nullptr);
  char cls[64];
  GetClassNameA(window, cls, sizeof cls);
  EXPECT_STREQ(cls, "SetupWindowClass");
  EXPECT_EQ(caption_of(window), "Setup Example 1.0");
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_TRUE(IsZoomed(window));
  EXPECT_EQ(GetClassLongPtrA(window, GCL_STYLE), static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW));
  LOGBRUSH brush{};
  GetObjectA(reinterpret_cast<HBRUSH>(GetClassLongPtrA(window, GCLP_HBRBACKGROUND)), sizeof brush,
             &brush);
  EXPECT_EQ(brush.lbColor, RGB(0, 0, 128));
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
  DestroyWindow(window);
}

TEST(BackgroundWindow, PaintsTheTitleInWhiteOnTheBlueFill) {
  std::strcpy(setup_config.title, "Example 1.0");
  HWND window = create_background_window(setup_config.title);
  ASSERT_NE(window, nullptr);
  pump();
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RECT client;
  GetClientRect(window, &client);
  HDC dc = GetDC(window);
  EXPECT_EQ(GetPixel(dc, client.right - 5, client.bottom - 5), RGB(0, 0, 128));
  int white = 0, black = 0;
  for (int y = 10; y < 10 + 76; y += 2)
    for (int x = 10; x < 400; x += 2) {
      COLORREF c = GetPixel(dc, x, y);
      if (c == RGB(255, 255, 255)) ++white;
      if (c == RGB(0, 0, 0)) ++black;
    }
  ReleaseDC(window, dc);
  EXPECT_GT(white, 50) << "the title";
  EXPECT_GT(black, 10) << "its shadow";
  DestroyWindow(window);
}

TEST(BackgroundWindow, AnEmptyTitleGivesACaptionEndingInABlank) {
  setup_config.title[0] = '\0';
  HWND window = create_background_window(setup_config.title);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(caption_of(window), "Setup ");
  DestroyWindow(window);
}

TEST(BackgroundWindow, ASecondRegistrationIsReportedAndTheWindowStillMade) {
  box_recorder boxes;
  HWND first = create_background_window("a");
  HWND second = create_background_window("b");
  EXPECT_NE(first, nullptr);
  EXPECT_NE(second, nullptr);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Could not register window class");
  EXPECT_EQ(boxes.boxes()[0].caption, "Setup.exe");
  EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_OK));
  DestroyWindow(first);
  DestroyWindow(second);
}

}  // namespace
