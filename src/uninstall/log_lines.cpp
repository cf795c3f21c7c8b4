#include "uninstall/log_lines.h"

#include <cstdlib>
#include <cstring>

line_table::~line_table() {
  for (int i = 0; i < count; ++i) std::free(lines[i]);
  std::free(lines);
}

bool start_line_table(line_table& table) {
  table.lines = static_cast<char**>(std::malloc(LINE_TABLE_STEP * sizeof(char*)));
  if (!table.lines) return false;
  table.count = 0;
  table.capacity = LINE_TABLE_STEP;
  return true;
}

bool add_line(line_table& table, const char* piece) {
  std::size_t size = std::strlen(piece) + 1;
  char* copy = static_cast<char*>(std::malloc(size));
  // A lost copy would leave a hole in the table that the sort reads.
  if (!copy) return false;
  std::memcpy(copy, piece, size);
  table.lines[table.count++] = copy;
  if (table.count < table.capacity) return true;
  int capacity = table.capacity + LINE_TABLE_STEP;
  void* grown = std::realloc(table.lines, static_cast<std::size_t>(capacity) * sizeof(char*));
  if (!grown) return false;
  table.lines = static_cast<char**>(grown);
  table.capacity = capacity;
  return true;
}

static bool is_log_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void trim_trailing_space(char* text) {
  std::size_t n = std::strlen(text);
  while (n > 0 && is_log_space(text[n - 1])) --n;
  text[n] = '\0';
}

bool read_log_lines(std::FILE* stream, char* buffer, line_table& table) {
  while (std::fgets(buffer, static_cast<int>(LOG_PIECE_WIDTH), stream)) {
    trim_trailing_space(buffer);
    if (!add_line(table, buffer)) return false;
  }
  return true;
}

int compare_lines_descending(const void* first, const void* second) {
  // strcmp compares as unsigned char, so bytes above 127 sort above ASCII.
  return std::strcmp(*static_cast<char* const*>(second), *static_cast<char* const*>(first));
}

void sort_lines_descending(line_table& table) {
  if (table.count > 1)
    std::qsort(table.lines, static_cast<std::size_t>(table.count), sizeof(char*),
               compare_lines_descending);
}
