// The four wizard pages: their templates, controls and procedures, and what
// they share. Pages talk to each other only through the shared globals and
// through messages to the sheet.
#pragma once
#include <windows.h>

#include "resources/resource_ids.h"

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
