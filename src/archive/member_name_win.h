// A member's name in the ANSI code page (see archive/member_name.h).
#pragma once
#include <windows.h>

#include <string_view>

#include "archive/zip_walk.h"
#include "common/owner_crt_win.h"

struct ansi_member_name {
  std::string_view text;  // the name to write under; when refused, to show
  // 0, or the error that refuses the name: ERROR_NO_UNICODE_TRANSLATION (a
  // character the code page lacks, or bytes that are no UTF-8) or
  // ERROR_NOT_ENOUGH_MEMORY (text is then the stored bytes).
  DWORD refusal;
  unique_heap_text converted;  // holds text when it was converted
};

ansi_member_name ansi_member_name_of(const zip_member& member);
