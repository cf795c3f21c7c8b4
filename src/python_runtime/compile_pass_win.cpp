#include "python_runtime/compile_pass_win.h"

#include "archive/notify_codes.h"
#include "common/program_win.h"
#include "python_runtime/interpreter_win.h"
#include "python_runtime/python3_texts.h"
#include "python_runtime/python_text_win.h"
#include "python_runtime/python_target_win.h"
#include "python_runtime/script_texts.h"
#include "record/install_log_win.h"
#include "wizard/install_status_win.h"

namespace {

// Python 2 (and 3.0, 3.1) compile next to the source, as Py_OptimizeFlag says.
int compile_beside_source(const loaded_python& python, const char* path, int optimize) {
  crossing_text source = python_from_ansi(path, python.is_python3());
  char command[COMPILE_COMMAND_WIDTH];
  format_compile_command(command, source.get());
  int failed = python.api.run_simple_string(command) != 0;
  // Recorded whether or not it compiled: the uninstaller removes what exists.
  char compiled[COMPILE_COMMAND_WIDTH];
  if (format_compiled_name(compiled, sizeof compiled, path, optimize)) notify(NOTIFY_FILE_CREATED, compiled);
  return failed;
}

// From 3.2 on the compiled file goes into __pycache__ under a tagged name;
// the installer names it, so that exactly the file it records is written.
// A cache folder this pass makes is recorded before its first file, so that
// the uninstaller removes the files, then the folder.
int compile_into_cache(const loaded_python& python, const char* path, int optimize) {
  compiled_file plan = plan_compiled_file(path, py_major, py_minor, optimize);
  if (!plan.ok) return 1;
  if (CreateDirectoryA(plan.cache_dir, nullptr)) notify(NOTIFY_DIR_CREATED, plan.cache_dir);
  crossing_text source = python_from_ansi(path, true);
  crossing_text compiled = python_from_ansi(plan.path, true);
  char command[3 * (MAX_PATH + COMPILE_COMMAND_WIDTH)];
  int failed = !format_cache_compile_command(command, sizeof command, source.get(), compiled.get(), optimize) ||
               python.api.run_simple_string(command) != 0;
  notify(NOTIFY_FILE_CREATED, plan.path);
  return failed;
}

}  // namespace

// No messages are dispatched here: the bar and the item line only repaint
// once the pass is over.
int compile_file_list(const loaded_python& python, int optimize) {
  unsigned short count = 0;  // the bar's range travels in 16 bits
  for (compile_node* node = compile_list; node; node = node->next) ++count;
  show_progress_range(count);
  show_progress_pos(0);
  bool into_cache = python.is_python3() && compiles_into_cache(py_major, py_minor);
  int failures = 0;
  unsigned done = 0;
  for (compile_node* node = compile_list; node; node = node->next) {
    failures += into_cache ? compile_into_cache(python, node->path, optimize)
                           : compile_beside_source(python, node->path, optimize);
    show_progress_pos(++done);
    show_item_text(node->path);
  }
  return failures;
}

int compile_modules(const loaded_python& python, int optimize) {
  const python_entry_points& api = python.api;
  if (!compile_list) return 0;
  // Python 3 is given the level with each file; its Py_OptimizeFlag is
  // deprecated (3.12) and not needed.
  if (!api.initialize || !api.set_program_name || !api.finalize || !api.run_simple_string ||
      !api.sys_get_object || (!api.optimize_flag && !python.is_python3()))
    return -1;
  // Read by the interpreter as it starts: an optimizing run writes .pyo.
  if (api.optimize_flag) *api.optimize_flag = optimize ? 1 : 0;
  set_python_program_name(python);
  api.initialize();
  int failures = compile_file_list(python, optimize);
  api.finalize();
  return failures;
}

void run_compile_pass(int optimize) {
  show_item_text("Loading python...");
  if (loaded_python python = load_python_dll(python_dll)) compile_modules(python, optimize);
}
