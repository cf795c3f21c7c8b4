#include "startup/command_line.h"

#include <cstring>

namespace {
char ascii_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Compares without regard to ASCII case; the locale plays no part.
bool same_ignoring_case(const char* a, const char* b, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (ascii_upper(a[i]) != ascii_upper(b[i])) return false;
  return true;
}

bool is_silent_switch(const char* argument) {
  return std::strlen(argument) == 2 && same_ignoring_case(argument, "/S", 2);
}
}  // namespace

const char* switch_value(const char* argument, const char* name) {
  std::size_t n = std::strlen(name);
  if (argument[0] != '/' || std::strlen(argument + 1) < n + 1) return nullptr;
  if (!same_ignoring_case(argument + 1, name, n) || argument[1 + n] != '=') return nullptr;
  return argument + 1 + n + 1;
}

unattended_arguments parse_unattended_arguments(int argc, char** argv) {
  unattended_arguments parsed;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (is_silent_switch(argument)) parsed.silent = true;
    if (const char* value = switch_value(argument, "PYTHON")) parsed.python = value;
    if (const char* value = switch_value(argument, "REPORT")) parsed.report = value;
  }
  return parsed;
}

bool is_uninstall_form(int argc, char** argv) { return argc > 1 && std::strcmp(argv[1], "-u") == 0; }

silent_uninstall_arguments check_silent_uninstall_arguments(int argc, char** argv) {
  if (argc != 4 && argc != 5) return silent_uninstall_arguments::wrong_number;
  if (!is_uninstall_form(argc, argv)) return silent_uninstall_arguments::not_u;
  if (!is_silent_switch(argv[3])) return silent_uninstall_arguments::wrong_number;
  if (argc == 5 && !switch_value(argv[4], "REPORT")) return silent_uninstall_arguments::wrong_number;
  return silent_uninstall_arguments::ok;
}

const char* arguments_after_program(const char* command_line) {
  // MSVCRT.dll and MSVCR71.dll read the name as far as the next quote when it
  // starts with one, else up to the first blank or control character; either
  // way the character that ends it is not an argument's.
  const char* at = command_line;
  if (*at == '"') {
    ++at;
    while (*at && *at != '"') ++at;
  } else {
    while (static_cast<unsigned char>(*at) > ' ') ++at;
  }
  if (*at) ++at;
  while (*at == ' ' || *at == '\t') ++at;
  return at;
}
