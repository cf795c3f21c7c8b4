// What differs between interpreter versions, as one table.
#include "python_runtime/python_traits.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PythonTraits, EachVersionGetsItsSettersTextsLayoutSearchAndScheme) {
  struct row {
    int major, minor;
    bool wide, legacy_setters;
    const char* builtins;
    bool utf8, redirect_inside;
    compiled_layout compiled;
    dll_search search;
    const scheme_entry* scheme;
  };
  using enum compiled_layout;
  using enum dll_search;
  const row rows[] = {
      {2, 1, false, true, "__builtin__", false, false, beside_source, system_then_install_path, legacy_scheme},
      {2, 7, false, true, "__builtin__", false, false, beside_source, system_then_install_path, site_packages_scheme},
      {3, 0, true, false, "builtins", true, true, beside_source, own_dir_then_system, site_packages_scheme},
      {3, 1, true, false, "builtins", true, true, beside_source, own_dir_then_system, site_packages_scheme},
      {3, 2, true, false, "builtins", true, true, cache_pyo, own_dir_then_system, site_packages_scheme},
      {3, 4, true, false, "builtins", true, true, cache_pyo, own_dir_then_system, site_packages_scheme},
      {3, 5, true, false, "builtins", true, true, cache_opt_pyc, own_dir_then_system, site_packages_scheme},
      {3, 12, true, false, "builtins", true, true, cache_opt_pyc, own_dir_then_system, site_packages_scheme},
  };
  for (const row& r : rows) {
    python_traits t = python_traits_for(r.major, r.minor);
    std::string what = std::to_string(r.major) + "." + std::to_string(r.minor);
    EXPECT_EQ(t.wide_setters, r.wide) << what;
    EXPECT_EQ(t.needs_legacy_setters, r.legacy_setters) << what;
    EXPECT_STREQ(t.builtins_module, r.builtins) << what;
    EXPECT_EQ(t.utf8_text, r.utf8) << what;
    EXPECT_EQ(t.redirects_output_inside, r.redirect_inside) << what;
    EXPECT_EQ(t.compiled, r.compiled) << what;
    EXPECT_EQ(t.search, r.search) << what;
    EXPECT_EQ(t.scheme, r.scheme) << what;
  }
}

}  // namespace
