#include "python_runtime/compile_pass_win.h"

#include "common/install_status.h"
#include "common/program_win.h"
#include "python_runtime/compiled_names.h"
#include "python_runtime/interpreter_win.h"
#include "python_runtime/python_statements.h"
#include "python_runtime/sys_value_win.h"
#include "record/compile_list.h"
#include "record/install_log_win.h"

namespace {

// Python 2 (and 3.0, 3.1) compile next to the source, as Py_OptimizeFlag says.
int compile_beside_source(const loaded_python& python, const char* path, int optimize) {
  int failed = 1;
  {
    sys_value source(python, SOURCE_VALUE, path);
    if (source && source.length() <= COMPILE_SOURCE_LIMIT)
      failed = python.api.run_simple_string(COMPILE_STATEMENT) != 0;
  }
  // Recorded whether or not it compiled: the uninstaller removes what exists.
  char compiled[COMPILE_COMMAND_WIDTH];
  if (format_compiled_name(compiled, sizeof compiled, path, optimize)) record_file_created(compiled);
  return failed;
}

// From 3.2 on the compiled file goes into __pycache__ under a tagged name;
// the installer names it, so that exactly the file it records is written.
// A cache folder this pass makes is recorded before its first file, so that
// the uninstaller removes the files, then the folder.
int compile_into_cache(const loaded_python& python, const char* path, int optimize) {
  compiled_file plan = plan_compiled_file(path, python.target->py_major, python.target->py_minor, optimize);
  if (!plan.ok) return 1;
  if (CreateDirectoryA(plan.cache_dir, nullptr)) record_directory_created(plan.cache_dir);
  int failed = 1;
  {
    sys_value source(python, SOURCE_VALUE, path);
    sys_value compiled(python, COMPILED_VALUE, plan.path);
    if (source && compiled && source.length() + compiled.length() <= CACHE_COMPILE_PATHS_LIMIT)
      failed = python.api.run_simple_string(cache_compile_statement(optimize)) != 0;
  }
  record_file_created(plan.path);
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
  bool into_cache = python.traits.compiled != compiled_layout::beside_source;
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
  // deprecated (3.12) and not needed, nor is its deprecated program name
  // setter. The paths reach the interpreter as values under sys.
  if (!api.initialize || !api.finalize || !api.run_simple_string || !api.sys_get_object ||
      !api.build_value || !api.sys_set_object ||
      (python.traits.needs_legacy_setters && (!api.optimize_flag || !api.set_program_name)))
    return -1;
  // Read by the interpreter as it starts: an optimizing run writes .pyo.
  if (api.optimize_flag) *api.optimize_flag = optimize ? 1 : 0;
  set_python_program_name(python);
  api.initialize();
  int failures = compile_file_list(python, optimize);
  api.finalize();
  return failures;
}

void run_compile_pass(const chosen_python& target, int optimize) {
  show_item_text("Loading python...");
  if (loaded_python python = load_python_dll(target)) compile_modules(python, optimize);
}
