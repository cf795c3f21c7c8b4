#include "archive/member_name.h"

name_reading member_name_reading(bool utf8_flag, std::string_view name, unsigned ansi_code_page) {
  if (!utf8_flag || ansi_code_page == CODE_PAGE_UTF8) return name_reading::as_stored;
  for (char c : name)
    if (static_cast<unsigned char>(c) >= 0x80) return name_reading::from_utf8;
  return name_reading::as_stored;
}
