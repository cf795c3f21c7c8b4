// The launcher passes its arguments on exactly as they stand after its program
// name, finds the Python folder above its own, and never writes past the
// command line's buffer.
#include "launcher/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {
using launcher::wide_text;

wide_text text(const std::wstring& s) { return {s.data(), s.size()}; }

TEST(LauncherCommandLine, ArgumentsAreTheTextAfterTheProgramName) {
  const struct {
    const wchar_t* command_line;
    const wchar_t* arguments;
  } rows[] = {
      {L"tool.exe", L""},
      {L"tool.exe a b", L" a b"},
      {L"\"C:\\Py 3\\Scripts\\tool.exe\" a", L" a"},
      {L"\"C:\\Py 3\\Scripts\\tool.exe\"", L""},
      // Blanks, tabs, empty and quoted arguments and backslashes stay as typed.
      {L"tool.exe\t \"\" \"a \\\"b\\\" c\" C:\\dir\\\\\" x", L"\t \"\" \"a \\\"b\\\" c\" C:\\dir\\\\\" x"},
      {L"tool.exe   ", L"   "},
      // A quote inside the name quotes the blank after it.
      {L"C:\\Py\" 3\"\\tool.exe -v", L" -v"},
      {L"tool.exe caf\u00e9 \u65e5\u672c", L" caf\u00e9 \u65e5\u672c"},
      {L"", L""},
  };
  for (const auto& row : rows) {
    wide_text args = launcher::arguments_of(row.command_line);
    EXPECT_EQ(std::wstring(args.text, args.length), row.arguments) << row.command_line;
  }
}

TEST(LauncherCommandLine, ThePythonFolderIsTheOneAboveTheLaunchersFolder) {
  const struct {
    const wchar_t* module;
    const wchar_t* python_dir;  // null: none
  } rows[] = {
      {L"C:\\Py\\Scripts\\tool.exe", L"C:\\Py"},
      {L"C:\\Program Files\\Python312\\Scripts\\tool.exe", L"C:\\Program Files\\Python312"},
      {L"\\\\server\\share\\Scripts\\tool.exe", L"\\\\server\\share"},
      {L"\\\\?\\C:\\Py\\Scripts\\tool.exe", L"\\\\?\\C:\\Py"},
      {L"C:/Py/Scripts/tool.exe", L"C:/Py"},
      {L"C:\\Scripts\\tool.exe", L"C:"},
      {L"C:\\tool.exe", nullptr},
      {L"tool.exe", nullptr},
  };
  for (const auto& row : rows) {
    std::wstring module = row.module;
    size_t length = launcher::python_dir_length(text(module));
    if (row.python_dir)
      EXPECT_EQ(module.substr(0, length), row.python_dir) << row.module;
    else
      EXPECT_EQ(length, 0u) << row.module;
  }
}

TEST(LauncherCommandLine, TheChildsCommandLineQuotesBothPathsAndFitsItsBuffer) {
  const std::wstring python = L"C:\\Py 3\\python.exe", script = L"C:\\Py 3\\Scripts\\t.exe", args = L" \"\" x";
  const std::wstring whole = L"\"C:\\Py 3\\python.exe\" \"C:\\Py 3\\Scripts\\t.exe\" \"\" x";
  const struct {
    size_t capacity;
    size_t written;
  } rows[] = {
      {whole.size() + 1, whole.size()},  // just fits with its NUL
      {whole.size(), 0},                  // no room for the NUL
      {10, 0},
      {1, 0},
  };
  for (const auto& row : rows) {
    std::wstring buffer(row.capacity + 4, L'#');
    size_t n = launcher::child_command_line(text(python), text(script), text(args), buffer.data(), row.capacity);
    EXPECT_EQ(n, row.written) << row.capacity;
    EXPECT_EQ(std::wstring(buffer.c_str()), n ? whole : L"") << row.capacity;
    EXPECT_EQ(buffer.substr(row.capacity), L"####") << "wrote past the buffer at " << row.capacity;
  }
  wchar_t none = L'#';
  EXPECT_EQ(launcher::child_command_line(text(python), text(script), text(args), &none, 0), 0u);
  EXPECT_EQ(none, L'#');
  wchar_t bare[64];
  launcher::child_command_line(text(python), text(script), {L"", 0}, bare, 64);
  EXPECT_EQ(std::wstring(bare), L"\"C:\\Py 3\\python.exe\" \"C:\\Py 3\\Scripts\\t.exe\"");
}

}  // namespace
