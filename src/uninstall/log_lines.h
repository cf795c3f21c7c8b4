// The install log as the uninstaller holds it: every line read into memory as
// its own heap copy, trailing white space trimmed, then sorted in descending
// byte order so that the record codes set the order of undoing (999 root key,
// 300 scripts, 200 files, 100 directories, 040 values, 020 keys; comment and
// empty lines fall to either end and are never acted on).
#pragma once
#include <cstddef>
#include <cstdio>

// One read of the log takes at most LOG_PIECE_WIDTH - 1 characters; a longer
// line is stored as several pieces, each an entry of its own.
inline constexpr std::size_t LOG_PIECE_WIDTH = 4096;
// The table starts with room for this many entries and grows by as many.
inline constexpr int LINE_TABLE_STEP = 10;

struct line_table {
  char** lines = nullptr;
  int count = 0;
  int capacity = 0;

  line_table() = default;
  ~line_table();  // frees every entry and the table
  line_table(const line_table&) = delete;
  line_table& operator=(const line_table&) = delete;
};

// Allocates room for LINE_TABLE_STEP entries; false when memory ran out.
bool start_line_table(line_table& table);

// Stores a heap copy of piece; when the count reaches the capacity, the table
// grows by LINE_TABLE_STEP. False when memory ran out.
bool add_line(line_table& table, const char* piece);

// Moves the end of text back over blanks, tabs, line feeds, vertical tabs,
// form feeds and carriage returns.
void trim_trailing_space(char* text);

// Reads the whole stream piece by piece into buffer (LOG_PIECE_WIDTH bytes),
// trimming and storing each piece. False when memory ran out.
bool read_log_lines(std::FILE* stream, char* buffer, line_table& table);

// qsort comparison of two entries (each a char*): the second against the
// first, bytes taken as unsigned, so that sorting yields descending order.
int compare_lines_descending(const void* first, const void* second);

void sort_lines_descending(line_table& table);
