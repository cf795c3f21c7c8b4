// The bytes a member's name is written under. The stub calls the ANSI API, so
// a name reaches the system in the ANSI code page: a name stored in UTF-8
// (the zip's UTF-8 flag, as the packer and wheels store any name outside
// ASCII) is converted first; a name without the flag is taken as it stands.
// The conversion takes no best-fit substitute ("Ω" is not written as "O"):
// a name the code page cannot hold is refused, never written under another.
#pragma once
#include <string_view>

inline constexpr unsigned CODE_PAGE_UTF8 = 65001;

enum class name_reading {
  as_stored,  // the stored bytes are the ANSI name
  from_utf8,  // the stored bytes are UTF-8 to convert
};

// How a member's name is read on a machine whose ANSI code page is
// ansi_code_page. ASCII reads alike in both; a UTF-8 code page takes UTF-8.
name_reading member_name_reading(bool utf8_flag, std::string_view name, unsigned ansi_code_page);
