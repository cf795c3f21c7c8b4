// The ids of the wizard's dialog templates, their controls and the default
// picture: what wizard_pages.rc builds, the pages fill in, the install and
// post-install steps write to, and the tests read back. Plain #defines, since
// the resource compiler reads this file too.
#pragma once

// Dialog templates of the pages, in the order the wizard shows them.
#define IDD_INTRO_PAGE 107
#define IDD_SELECT_PYTHON_PAGE 108
#define IDD_INSTALL_PAGE 109
#define IDD_FINISH_PAGE 110

// The bitmap every page shows until the package's own picture replaces it.
#define IDB_DEFAULT_PICTURE 110

// On every page: the text at the top (the install page's step line, the
// finish page's outcome) and the picture at the left.
#define IDC_HEADING 1000
#define IDC_PICTURE 1025

// Intro page.
#define IDC_INFO_TEXT 1021
#define IDC_BUILD_INFO 1024

// Select-Python page.
#define IDC_PYTHON_LIST 1022
#define IDC_PYTHON_DIR 1007
#define IDC_INSTALL_DIR 1008

// Install page: the bar and the line above it (a file name, "Loading python...").
#define IDC_PROGRESS_BAR 1003
#define IDC_ITEM_LINE 1004

// Finish page: the failure reason or the post-install script's output. The
// same id as the install page's item line, on another page.
#define IDC_OUTPUT_BOX 1004
