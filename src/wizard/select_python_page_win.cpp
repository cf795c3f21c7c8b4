// The second page: the registered Python installations to choose from, and
// the two directories that the choice gives.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "common/fixed_text.h"
#include "common/message_box_win.h"
#include "python_runtime/python_discovery.h"
#include "python_runtime/python_discovery_win.h"
#include "startup/setup_config.h"
#include "wizard/install_sequence_win.h"
#include "wizard/wizard_pages_win.h"

namespace {
HWND python_list(HWND page) { return GetDlgItem(page, IDC_PYTHON_LIST); }

bool has_selection(HWND page) {
  return SendMessageA(python_list(page), LB_GETCURSEL, 0, 0) != LB_ERR;
}

void apply_selection(HWND page) {
  post_wizard_buttons(page, PSWIZB_BACK | PSWIZB_NEXT);
  int row = static_cast<int>(SendMessageA(python_list(page), LB_GETCURSEL, 0, 0));
  char install_dir[MAX_PATH * 2];
  if (row == LB_ERR) post_wizard_buttons(page, PSWIZB_BACK);
  chosen_python& target = install_target();
  apply_python_selection(python_list(page), row, target, install_dir, sizeof install_dir);
  SetDlgItemTextA(page, IDC_PYTHON_DIR, row == LB_ERR ? "" : target.python_dir);
  SetDlgItemTextA(page, IDC_INSTALL_DIR, row == LB_ERR ? "" : install_dir);
}

void report_no_python(HWND page) {
  char text[512];
  format_no_python_text(text, sizeof text, setup_config.target_version, setup_config.python_requires,
                        nullptr);
  show_message_box(page, text, "Cannot install", MB_ICONERROR);
}

void fill_python_list(HWND page) {
  show_package_bitmap(page);
  HWND list = python_list(page);
  const char* wanted = setup_config.target_version;
  list_all_python_installs(list, wanted);
  int row = preselected_python_row(list, nullptr);
  if (row != LB_ERR) SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  const char* required = required_python_text(wanted, setup_config.python_requires);
  if (required[0]) {
    char heading[512];
    format_cut(heading, sizeof heading,
               "Python %s is required for this package. Select installation to use:", required);
    SetDlgItemTextA(page, IDC_HEADING, heading);
  }
  if (row == LB_ERR) report_no_python(page);
  apply_selection(page);
}
}  // namespace

INT_PTR CALLBACK select_python_page_proc(HWND page, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_INITDIALOG:
      fill_python_list(page);
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDC_PYTHON_LIST && HIWORD(wparam) == LBN_SELCHANGE)
        apply_selection(page);
      return 0;
    case WM_NOTIFY:
      if (notify_code(lparam) == static_cast<UINT>(PSN_SETACTIVE))
        post_wizard_buttons(page, has_selection(page) ? PSWIZB_BACK | PSWIZB_NEXT : PSWIZB_BACK);
      return 0;
  }
  return 0;
}
