// Prints the statements the installer runs in an interpreter, and the names
// under sys that they read their paths from, for check_statements.py: each
// item as "<key> <length>\n", its bytes, "\n".
#include <cstdio>
#include <cstring>

#include "python_runtime/python_statements.h"

static void item(const char* key, const char* text) {
  std::printf("%s %zu\n", key, std::strlen(text));
  std::fwrite(text, 1, std::strlen(text), stdout);
  std::fputs("\n", stdout);
}

int main() {
  item("source_value", SOURCE_VALUE);
  item("compiled_value", COMPILED_VALUE);
  item("output_value", OUTPUT_VALUE);
  item("compile", COMPILE_STATEMENT);
  item("cache_compile_0", cache_compile_statement(0));
  item("cache_compile_1", cache_compile_statement(1));
  item("redirect", OUTPUT_REDIRECT_STATEMENT);
  item("close", OUTPUT_CLOSE_STATEMENT);
  return 0;
}
