// The four wizard pages: their templates, controls and procedures, and what
// they share. Pages talk to each other only through the shared globals and
// through messages to the sheet.
#pragma once
#include <windows.h>

// Dialog templates of the pages, in the order the wizard shows them.
inline constexpr int IDD_INTRO_PAGE = 107;
inline constexpr int IDD_SELECT_PYTHON_PAGE = 108;
inline constexpr int IDD_INSTALL_PAGE = 109;
inline constexpr int IDD_FINISH_PAGE = 110;
inline constexpr int IDB_DEFAULT_PICTURE = 110;

// Controls (1000, 1003 and 1004 of the install page are in install_status_win.h).
inline constexpr int IDC_HEADING = 1000;
inline constexpr int IDC_PYTHON_DIR = 1007;
inline constexpr int IDC_INSTALL_DIR = 1008;
inline constexpr int IDC_INFO_TEXT = 1021;
inline constexpr int IDC_PYTHON_LIST = 1022;
inline constexpr int IDC_BUILD_INFO = 1024;
inline constexpr int IDC_PICTURE = 1025;
inline constexpr int IDC_OUTPUT_BOX = 1004;  // the finish page's text box

INT_PTR CALLBACK intro_page_proc(HWND page, UINT msg, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK select_python_page_proc(HWND page, UINT msg, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK install_page_proc(HWND page, UINT msg, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK finish_page_proc(HWND page, UINT msg, WPARAM wparam, LPARAM lparam);

// Puts package_bitmap, when there is one, into the page's picture control.
void show_package_bitmap(HWND page);

// Sets the sheet's wizard buttons (PSWIZB_*) by posting to the page's parent.
void post_wizard_buttons(HWND page, DWORD buttons);

// The notification code of a WM_NOTIFY, from its lParam.
UINT notify_code(LPARAM lparam);
