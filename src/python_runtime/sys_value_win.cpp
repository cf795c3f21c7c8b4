#include "python_runtime/sys_value_win.h"

#include <cstring>

#include "python_runtime/python_text_win.h"

namespace {

// Binds a new reference under sys and drops the installer's own: sys keeps
// the only one. A failure leaves the interpreter's error pending; it is
// reported and cleared here, so that the next statement starts clean.
bool bind(const python_entry_points& api, const char* name, py_object* value) {
  bool bound = value && api.sys_set_object(name, value) == 0;
  if (value && api.dec_ref) api.dec_ref(value);
  if (!bound && api.err_print) api.err_print();
  return bound;
}

}  // namespace

sys_value::sys_value(const loaded_python& python, const char* name, const char* text)
    : api_(python.api), name_(name) {
  if (!api_.build_value || !api_.sys_set_object || !text) return;
  crossing_text value = python_from_ansi(text, python.traits.utf8_text);
  length_ = std::strlen(value.get());
  bound_ = bind(api_, name_, api_.build_value("s", value.get()));
}

sys_value::~sys_value() {
  if (bound_) api_.sys_set_object(name_, nullptr);
}

bool set_sys_argv(const loaded_python& python, int argc, char** argv) {
  const python_entry_points& api = python.api;
  if (!api.build_value || !api.sys_set_object) return false;
  // As many as the wide argv of PySys_SetArgv takes.
  constexpr int MAX_ARGS = 8;
  int count = argc < 0 ? 0 : argc > MAX_ARGS ? MAX_ARGS : argc;
  unique_heap_text copies[MAX_ARGS];
  const char* items[MAX_ARGS] = {};
  char format[MAX_ARGS + 3] = "[";
  for (int i = 0; i < count; ++i) {
    const char* text = argv[i] ? argv[i] : "";
    copies[i] = convert_code_page(text, CP_ACP, CP_UTF8);
    items[i] = copies[i] ? copies[i].get() : text;
    format[i + 1] = 's';
  }
  format[count + 1] = ']';
  format[count + 2] = '\0';
  // The format takes as many items as it names; the rest are not read.
  return bind(api, "argv",
              api.build_value(format, items[0], items[1], items[2], items[3], items[4], items[5],
                              items[6], items[7]));
}
