#include "python_runtime/compile_pass_win.h"

#include "archive/notify_codes.h"
#include "python_runtime/interpreter_win.h"
#include "python_runtime/python_api.h"
#include "python_runtime/python_target_win.h"
#include "python_runtime/script_texts.h"
#include "record/install_log_win.h"
#include "startup/startup_win.h"
#include "wizard/install_status_win.h"

// No messages are dispatched here: the bar and the item line only repaint
// once the pass is over.
int compile_file_list(int (*run_string)(const char* text), int optimize) {
  unsigned short count = 0;  // the bar's range travels in 16 bits
  for (compile_node* node = compile_list; node; node = node->next) ++count;
  show_progress_range(count);
  show_progress_pos(0);
  int failures = 0;
  unsigned done = 0;
  for (compile_node* node = compile_list; node; node = node->next) {
    char command[COMPILE_COMMAND_WIDTH];
    format_compile_command(command, node->path);
    if (run_string(command) != 0) ++failures;
    // Recorded whether or not it compiled: the uninstaller removes what exists.
    char compiled[COMPILE_COMMAND_WIDTH];
    if (format_compiled_name(compiled, sizeof compiled, node->path, optimize))
      notify(NOTIFY_FILE_CREATED, compiled);
    show_progress_pos(++done);
    show_item_text(node->path);
  }
  return failures;
}

int compile_modules(const loaded_python& python, int optimize) {
  const python_entry_points& api = python.api;
  if (!compile_list) return 0;
  if (!api.initialize || !api.set_program_name || !api.finalize || !api.run_simple_string ||
      !api.sys_get_object || !api.optimize_flag)
    return -1;
  // Read by the interpreter as it starts: an optimizing run writes .pyo.
  *api.optimize_flag = optimize ? 1 : 0;
  api.set_program_name(module_path);
  api.initialize();
  int failures = compile_file_list(api.run_simple_string, optimize);
  api.finalize();
  return failures;
}

void run_compile_pass(int optimize) {
  show_item_text("Loading python...");
  if (loaded_python python = load_python_dll(python_dll)) compile_modules(python, optimize);
}
