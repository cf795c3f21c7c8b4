// The third page: Next here runs the installation, with its progress shown
// in the step line, the item line and the bar.
#include <windows.h>
#include <prsht.h>

#include "common/fixed_text.h"
#include "startup/setup_config.h"
#include "wizard/install_sequence_win.h"
#include "wizard/install_status_win.h"
#include "wizard/wizard_pages_win.h"

namespace {
void fill_install_page(HWND page) {
  show_package_bitmap(page);
  static char step_line[4096];
  format_cut(step_line, sizeof step_line,
             "Click Next to begin the installation of %s. If you want to review or change any "
             "of your  installation settings, click Back. Click Cancel to exit the wizard.",
             setup_config.meta_name);
  SetDlgItemTextA(page, IDC_HEADING, step_line);
  SetDlgItemTextA(page, IDC_ITEM_LINE, "Ready to install");
}

}  // namespace

INT_PTR CALLBACK install_page_proc(HWND page, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_INITDIALOG:
      fill_install_page(page);
      return FALSE;
    case WM_PROGRESS_RANGE:
    case WM_PROGRESS_POS:
      return handle_progress_message(page, msg, wparam, lparam);
    case WM_NOTIFY:
      if (notify_code(lparam) == static_cast<UINT>(PSN_SETACTIVE))
        post_wizard_buttons(page, PSWIZB_BACK | PSWIZB_NEXT);
      else if (notify_code(lparam) == static_cast<UINT>(PSN_WIZNEXT))
        run_install_sequence(page);  // then 0: the sheet always goes on to the finish page
      return 0;
  }
  return 0;
}
