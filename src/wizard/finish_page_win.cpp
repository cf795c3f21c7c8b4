// The last page: the outcome of the installation, then the post-install
// script's output.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "common/install_status.h"
#include "python_runtime/install_scripts_win.h"
#include "wizard/install_sequence_win.h"
#include "wizard/wizard_pages_win.h"

namespace {
void show_outcome(HWND page) {
  show_package_bitmap(page);
  if (!install_ok)
    SetDlgItemTextA(page, IDC_OUTPUT_BOX, failure_text ? failure_text : "Installation failed.");
  // The script runs from the queue, so the page is on screen while it works.
  PostMessageA(page, WM_USER, 0, 0);
}
}  // namespace

INT_PTR CALLBACK finish_page_proc(HWND page, UINT msg, WPARAM, LPARAM lparam) {
  switch (msg) {
    case WM_INITDIALOG:
      show_outcome(page);
      return TRUE;
    case WM_USER:
      run_postinstall_script(page, install_target());
      return TRUE;
    case WM_NOTIFY:
      if (notify_code(lparam) == static_cast<UINT>(PSN_SETACTIVE))
        post_wizard_buttons(page, PSWIZB_FINISH);
      return 0;
  }
  return 0;
}
