#include "python_runtime/python_text_win.h"

unique_heap<wchar_t> wide_from_ansi(const char* text) {
  if (!text) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (n <= 0) return {};
  unique_heap<wchar_t> wide = heap_alloc<wchar_t>(static_cast<std::size_t>(n) * sizeof(wchar_t));
  if (wide && MultiByteToWideChar(CP_ACP, 0, text, -1, wide.get(), n) != n) wide.reset();
  return wide;
}

unique_heap_text convert_code_page(const char* text, UINT from, UINT to) {
  if (!text) return {};
  int n = MultiByteToWideChar(from, 0, text, -1, nullptr, 0);
  if (n <= 0) return {};
  unique_heap<wchar_t> wide = heap_alloc<wchar_t>(static_cast<std::size_t>(n) * sizeof(wchar_t));
  if (!wide || MultiByteToWideChar(from, 0, text, -1, wide.get(), n) != n) return {};
  int m = WideCharToMultiByte(to, 0, wide.get(), n, nullptr, 0, nullptr, nullptr);
  if (m <= 0) return {};
  unique_heap_text out = heap_alloc<char>(static_cast<std::size_t>(m));
  if (out && WideCharToMultiByte(to, 0, wide.get(), n, out.get(), m, nullptr, nullptr) != m) out.reset();
  return out;
}
