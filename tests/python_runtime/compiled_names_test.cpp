// Where each compile pass puts the compiled file, for every interpreter
// version and optimizing level.
#include "python_runtime/compiled_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CompiledNames, CompiledFileOfEachVersionAndLevel) {
  struct row {
    int major, minor, optimize;
    bool in_cache;
    const char* cache_dir;
    const char* path;
  };
  const char* source = "C:\\P\\Lib\\site-packages\\example\\__init__.py";
  const row rows[] = {
      {2, 7, 0, false, "", "C:\\P\\Lib\\site-packages\\example\\__init__.pyc"},
      {2, 7, 1, false, "", "C:\\P\\Lib\\site-packages\\example\\__init__.pyo"},
      {3, 0, 0, false, "", "C:\\P\\Lib\\site-packages\\example\\__init__.pyc"},
      {3, 1, 1, false, "", "C:\\P\\Lib\\site-packages\\example\\__init__.pyo"},
      {3, 2, 0, true, "C:\\P\\Lib\\site-packages\\example\\__pycache__",
       "C:\\P\\Lib\\site-packages\\example\\__pycache__\\__init__.cpython-32.pyc"},
      {3, 4, 1, true, "C:\\P\\Lib\\site-packages\\example\\__pycache__",
       "C:\\P\\Lib\\site-packages\\example\\__pycache__\\__init__.cpython-34.pyo"},
      {3, 5, 1, true, "C:\\P\\Lib\\site-packages\\example\\__pycache__",
       "C:\\P\\Lib\\site-packages\\example\\__pycache__\\__init__.cpython-35.opt-1.pyc"},
      {3, 12, 0, true, "C:\\P\\Lib\\site-packages\\example\\__pycache__",
       "C:\\P\\Lib\\site-packages\\example\\__pycache__\\__init__.cpython-312.pyc"},
      {3, 12, 1, true, "C:\\P\\Lib\\site-packages\\example\\__pycache__",
       "C:\\P\\Lib\\site-packages\\example\\__pycache__\\__init__.cpython-312.opt-1.pyc"},
  };
  for (const row& r : rows) {
    compiled_file plan = plan_compiled_file(source, r.major, r.minor, r.optimize);
    std::string what = std::to_string(r.major) + "." + std::to_string(r.minor) + " -O" + std::to_string(r.optimize);
    EXPECT_TRUE(plan.ok) << what;
    EXPECT_EQ(plan.in_cache, r.in_cache) << what;
    EXPECT_EQ(std::string(plan.path), r.path) << what;
    if (r.in_cache) {
      EXPECT_EQ(std::string(plan.cache_dir), r.cache_dir) << what;
    }
  }
}

TEST(CompiledNames, OnlyTheLastDotEndsTheStem) {
  compiled_file plan = plan_compiled_file("C:\\a.b\\mod.test.py", 3, 12, 0);
  EXPECT_EQ(std::string(plan.path), "C:\\a.b\\__pycache__\\mod.test.cpython-312.pyc");
}

// A compiled name that does not fit is refused, never cut into another name.
TEST(CompiledNames, ACompiledPathThatDoesNotFitIsRefused) {
  std::string dir = "C:\\" + std::string(230, 'd');
  compiled_file fits = plan_compiled_file((dir + "\\m.py").c_str(), 3, 12, 1);
  EXPECT_TRUE(fits.ok);
  std::string long_dir = "C:\\" + std::string(250, 'd');
  compiled_file too_long = plan_compiled_file((long_dir + "\\" + std::string(60, 'm') + ".py").c_str(), 3, 12, 1);
  EXPECT_FALSE(too_long.ok);
  EXPECT_STREQ(too_long.path, "");
  EXPECT_STREQ(too_long.cache_dir, "");
}

TEST(CompiledNames, CacheCompilingStartsWithPython32) {
  EXPECT_FALSE(compiles_into_cache(2, 7));
  EXPECT_FALSE(compiles_into_cache(3, 1));
  EXPECT_TRUE(compiles_into_cache(3, 2));
  EXPECT_TRUE(compiles_into_cache(4, 0));
}

}  // namespace
