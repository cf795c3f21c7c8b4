#include "python_runtime/python_traits.h"

python_traits python_traits_for(int major, int minor) {
  bool python3 = major >= 3;
  python_traits traits{};
  traits.wide_setters = python3;
  traits.needs_legacy_setters = !python3;
  traits.builtins_module = python3 ? "builtins" : "__builtin__";
  traits.utf8_text = python3;
  traits.redirects_output_inside = python3;
  if (major > 3 || (major == 3 && minor >= 5))
    traits.compiled = compiled_layout::cache_opt_pyc;
  else if (major == 3 && minor >= 2)
    traits.compiled = compiled_layout::cache_pyo;
  else
    traits.compiled = compiled_layout::beside_source;
  traits.search = python3 ? dll_search::own_dir_then_system : dll_search::system_then_install_path;
  traits.scheme = major > 2 || (major == 2 && minor >= 2) ? site_packages_scheme : legacy_scheme;
  return traits;
}
