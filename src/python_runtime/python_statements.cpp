#include "python_runtime/python_statements.h"

const char* cache_compile_statement(int optimize) {
  return optimize ? "import sys, py_compile; py_compile.compile(sys._kitpack_source, "
                    "cfile=sys._kitpack_compiled, optimize=1)"
                  : "import sys, py_compile; py_compile.compile(sys._kitpack_source, "
                    "cfile=sys._kitpack_compiled, optimize=0)";
}
