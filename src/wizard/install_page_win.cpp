// The third page: Next here runs the installation, with its progress shown
// in the step line, the item line and the bar.
#include <windows.h>
#include <prsht.h>

#include <cstddef>
#include <span>

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

// The installer image, which the page is created with and keeps for the
// sequence; it outlives the sheet.
void keep_image(HWND page, LPARAM create_data) {
  SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<const PROPSHEETPAGEA*>(create_data)->lParam);
}

std::span<const std::byte> kept_image(HWND page) {
  auto* image = reinterpret_cast<const std::span<const std::byte>*>(GetWindowLongPtrA(page, DWLP_USER));
  return image ? *image : std::span<const std::byte>();
}

}  // namespace

INT_PTR CALLBACK install_page_proc(HWND page, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_INITDIALOG:
      keep_image(page, lparam);
      fill_install_page(page);
      return FALSE;
    case WM_PROGRESS_RANGE:
    case WM_PROGRESS_POS:
      return handle_progress_message(page, msg, wparam, lparam);
    case WM_NOTIFY:
      if (notify_code(lparam) == static_cast<UINT>(PSN_SETACTIVE))
        post_wizard_buttons(page, PSWIZB_BACK | PSWIZB_NEXT);
      else if (notify_code(lparam) == static_cast<UINT>(PSN_WIZNEXT))
        run_install_sequence(page, install_page_sink, kept_image(page));  // then 0: the sheet always goes on to the finish page
      return 0;
  }
  return 0;
}
