#include "launcher/command_line.h"

namespace launcher {
namespace {

bool is_blank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool is_separator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Appends text to out at *at; false when it would leave no room for the NUL.
bool append(wchar_t* out, std::size_t capacity, std::size_t* at, wide_text text) {
  if (text.length >= capacity - *at) return false;
  for (std::size_t i = 0; i < text.length; ++i) out[(*at)++] = text.text[i];
  return true;
}

}  // namespace

// The program name ends at the first blank outside quotes, as the C runtime
// that Python parses its own arguments with reads it; a quote anywhere in it
// toggles quoting.
wide_text arguments_of(const wchar_t* command_line) {
  const wchar_t* p = command_line;
  bool quoted = false;
  for (; *p && (quoted || !is_blank(*p)); ++p)
    if (*p == L'"') quoted = !quoted;
  std::size_t length = 0;
  while (p[length]) ++length;
  return {p, length};
}

std::size_t python_dir_length(wide_text module_path) {
  std::size_t end = module_path.length;
  for (int folders = 0; folders < 2; ++folders) {
    while (end > 0 && !is_separator(module_path.text[end - 1])) --end;
    if (end == 0) return 0;
    --end;  // the separator itself
  }
  return end;
}

std::size_t child_command_line(wide_text python, wide_text script, wide_text arguments, wchar_t* out,
                               std::size_t capacity) {
  if (capacity == 0) return 0;
  static const wchar_t quote[] = L"\"", between[] = L"\" \"";
  std::size_t at = 0;
  bool fits = append(out, capacity, &at, {quote, 1}) && append(out, capacity, &at, python) &&
              append(out, capacity, &at, {between, 3}) && append(out, capacity, &at, script) &&
              append(out, capacity, &at, {quote, 1}) && append(out, capacity, &at, arguments);
  out[fits ? at : 0] = L'\0';
  return fits ? at : 0;
}

}  // namespace launcher
