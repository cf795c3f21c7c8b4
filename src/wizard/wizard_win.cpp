#include "wizard/wizard_win.h"

#include <commctrl.h>
#include <prsht.h>

#include "startup/package_image_win.h"
#include "wizard/wizard_layout.h"
#include "wizard/wizard_pages_win.h"

namespace {
// data reaches the page's WM_INITDIALOG in the PROPSHEETPAGE it is given.
HPROPSHEETPAGE create_page(HINSTANCE module, int template_id, DLGPROC proc, LPARAM data = 0) {
  PROPSHEETPAGEA page{};
  page.dwSize = sizeof page;  // the record that carries the header title fields
  page.dwFlags = PSP_HIDEHEADER;
  page.hInstance = module;
  page.pszTemplate = MAKEINTRESOURCEA(template_id);
  page.pfnDlgProc = proc;
  page.lParam = data;
  return CreatePropertySheetPageA(&page);
}
}  // namespace

void run_wizard(HWND owner, std::span<const std::byte> installer_image) {
  InitCommonControls();  // the install page's progress bar
  HINSTANCE module = GetModuleHandleA(nullptr);
  HPROPSHEETPAGE pages[] = {
      create_page(module, IDD_INTRO_PAGE, intro_page_proc),
      create_page(module, IDD_SELECT_PYTHON_PAGE, select_python_page_proc),
      create_page(module, IDD_INSTALL_PAGE, install_page_proc, reinterpret_cast<LPARAM>(&installer_image)),
      create_page(module, IDD_FINISH_PAGE, finish_page_proc),
  };
  // No caption of its own: the sheet takes the pages' "Setup".
  PROPSHEETHEADERA header{};
  header.dwSize = sizeof header;  // the record with watermark and header bitmaps
  header.dwFlags = PSH_WIZARD;
  header.hwndParent = owner;
  header.hInstance = module;
  header.nPages = sizeof pages / sizeof pages[0];
  header.nStartPage = 0;
  header.phpage = pages;
  PropertySheetA(&header);
}

void center_window(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  int x = centered_origin(GetSystemMetrics(SM_CXSCREEN), rect.right - rect.left);
  int y = centered_origin(GetSystemMetrics(SM_CYSCREEN), rect.bottom - rect.top);
  SetWindowPos(window, nullptr, x, y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void show_package_bitmap(HWND page) {
  if (package_bitmap)
    SendDlgItemMessageA(page, IDC_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(package_bitmap));
}

void post_wizard_buttons(HWND page, DWORD buttons) {
  PostMessageA(GetParent(page), PSM_SETWIZBUTTONS, 0, buttons);
}

UINT notify_code(LPARAM lparam) { return reinterpret_cast<const NMHDR*>(lparam)->code; }
