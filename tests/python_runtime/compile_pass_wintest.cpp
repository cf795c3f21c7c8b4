// The byte-compilation passes over compile_list.
#include <gtest/gtest.h>

#include "common/owner_win.h"
#include "python_runtime/compile_pass_win.h"
#include "python_runtime/interpreter_win.h"
#include "python_runtime/python_fixture_win.h"
#include "record/compile_list.h"
#include "record/install_log_win.h"

namespace {

// Two modules as extraction reports them; the second one's name has a quote,
// which reaches the interpreter inside a value, never inside its source.
struct two_modules {
  explicit two_modules(const python_fixture& python)
      : plain(python.dir() + "\\mod.py"), quoted(python.dir() + "\\it's.py") {
    write_file(plain, "x = 1\n");
    write_file(quoted, "x = 2\n");
    compile_list = nullptr;
    record_file_created(plain.c_str());
    record_file_created(quoted.c_str());
  }
  std::string plain, quoted;
};

struct pass_case {
  int optimize;
  const char* suffix;
};

TEST(CompilePass, RecordsEveryCompiledNameAndWritesEveryFile) {
  for (pass_case c : {pass_case{0, "c"}, pass_case{1, "o"}}) {
    python_fixture python("full");
    two_modules modules(python);
    python.open_log();
    recording_sink sink;
    run_compile_pass(python.target, c.optimize);
    std::vector<std::string> lines = split_lines(python.log_text());
    // Newest first: the quoted module was reported last.
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "200 File Copy: " + modules.quoted + c.suffix);
    EXPECT_EQ(lines[1], "200 File Copy: " + modules.plain + c.suffix);
    EXPECT_TRUE(file_exists(modules.plain + c.suffix)) << c.suffix;
    EXPECT_TRUE(file_exists(modules.quoted + c.suffix)) << c.suffix;
    std::vector<std::string> expected = {"item:Loading python...", "range:2", "pos:0", "pos:1",
                                         "item:" + modules.quoted, "pos:2", "item:" + modules.plain};
    EXPECT_EQ(sink.events(), expected);
    // The compiled names do not end in ".py", so they do not join the list.
    EXPECT_EQ(compile_list->path, modules.quoted);
    EXPECT_EQ(compile_list->next->next, nullptr);
  }
}

TEST(CompileModules, CountsTheFilesThatFailed) {
  python_fixture python("full");
  two_modules modules(python);
  record_file_created((python.dir() + "\\gone.py").c_str());
  loaded_python dll = load_python_dll(python.target);
  ASSERT_TRUE(dll);
  recording_sink sink;
  EXPECT_EQ(compile_modules(dll, 0), 1);
}

TEST(CompileModules, AnEmptyListIsZeroBeforeAnyEntryPointIsTested) {
  python_fixture python("full");
  compile_list = nullptr;
  loaded_python kernel = bind_python_dll(unique_module(LoadLibraryA("kernel32.dll")), python.target);
  EXPECT_EQ(compile_modules(kernel, 0), 0);
  record_file_created("C:\\x.py");
  EXPECT_EQ(compile_modules(kernel, 0), -1);
}

TEST(CompileModules, NeedsNeitherArgvNorErrorPrinting) {
  for (const char* variant : {"no_set_argv", "no_err_print", "no_long_from_void_ptr"}) {
    python_fixture python(variant);
    two_modules modules(python);
    loaded_python dll = load_python_dll(python.target);
    ASSERT_TRUE(dll) << variant;
    recording_sink sink;
    EXPECT_EQ(compile_modules(dll, 1), 0) << variant;
    EXPECT_TRUE(file_exists(modules.plain + "o")) << variant;
  }
}

TEST(CompilePass, WithoutALoadablePythonOnlyShowsLoading) {
  python_fixture python(nullptr);
  two_modules modules(python);
  python.open_log();
  recording_sink sink;
  run_compile_pass(python.target, 0);
  EXPECT_EQ(sink.events(), std::vector<std::string>{"item:Loading python..."});
  EXPECT_EQ(python.log_text(), "");
}

}  // namespace
