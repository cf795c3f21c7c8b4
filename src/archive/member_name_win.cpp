#include "archive/member_name_win.h"

#include "archive/member_name.h"
#include "common/ansi_text_win.h"

ansi_member_name ansi_member_name_of(const zip_member& member) {
  ansi_member_name name{member.name, 0, {}};
  if (member_name_reading(member.utf8_name, member.name, GetACP()) == name_reading::as_stored)
    return name;
  const char* utf8 = member.name.data();
  int size = static_cast<int>(member.name.size());  // 16 bits
  // Bytes that are no UTF-8 refuse the name; it is shown with "?" for them.
  DWORD flags = MB_ERR_INVALID_CHARS;
  int units = MultiByteToWideChar(CP_UTF8, flags, utf8, size, nullptr, 0);
  if (units == 0) {
    name.refusal = ERROR_NO_UNICODE_TRANSLATION;
    flags = 0;
    units = MultiByteToWideChar(CP_UTF8, flags, utf8, size, nullptr, 0);
  }
  unique_heap<wchar_t> wide = heap_alloc<wchar_t>(static_cast<std::size_t>(units) * sizeof(wchar_t));
  int length = 0;
  if (wide && MultiByteToWideChar(CP_UTF8, flags, utf8, size, wide.get(), units) == units)
    length = ansi_from_wide(wide.get(), units, nullptr, 0).length;
  if (length > 0) name.converted = heap_alloc<char>(static_cast<std::size_t>(length));
  ansi_conversion ansi{0, false};
  if (name.converted) ansi = ansi_from_wide(wide.get(), units, name.converted.get(), length);
  if (ansi.length != length || length == 0) {
    name.refusal = ERROR_NOT_ENOUGH_MEMORY;
    return name;
  }
  if (!ansi.exact) name.refusal = ERROR_NO_UNICODE_TRANSLATION;
  name.text = {name.converted.get(), static_cast<std::size_t>(length)};
  return name;
}
