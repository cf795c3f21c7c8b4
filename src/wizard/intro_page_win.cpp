// The first page: what will be installed, the package's info text and build line.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "common/fixed_text.h"
#include "startup/package_image_win.h"
#include "startup/setup_config.h"
#include "wizard/wizard_pages_win.h"
#include "wizard/wizard_win.h"

namespace {
void fill_intro(HWND page) {
  // The intro page is created first, so the later pages find the bitmap made.
  create_package_bitmap(page);
  show_package_bitmap(page);
  center_window(GetParent(page));
  static char greeting[4096];
  format_cut(greeting, sizeof greeting,
             "This Wizard will install %s on your computer. Click Next to continue or "
             "Cancel to exit the Setup Wizard.",
             setup_config.meta_name);
  SetDlgItemTextA(page, IDC_HEADING, greeting);
  SetDlgItemTextA(page, IDC_INFO_TEXT, setup_config.info);
  SetDlgItemTextA(page, IDC_BUILD_INFO, setup_config.build_info);
}
}  // namespace

INT_PTR CALLBACK intro_page_proc(HWND page, UINT msg, WPARAM, LPARAM lparam) {
  if (msg == WM_INITDIALOG) {
    fill_intro(page);
    return FALSE;
  }
  if (msg == WM_NOTIFY && notify_code(lparam) == static_cast<UINT>(PSN_SETACTIVE))
    post_wizard_buttons(page, PSWIZB_NEXT);
  return 0;
}
