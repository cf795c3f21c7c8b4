// The shipped stubs' first code, in place of the compiler's start-up objects.
// Those bring TLS callbacks, pseudo-relocation patching, a floating-point
// exception handler and the C runtime's initialiser tables, none of which this
// program uses (it is linked with auto-import off, so a data reference that
// would need patching fails the link instead). What is left of their work for
// a GUI program: the runtime library splits the command line into __argc and
// __argv as before (no wildcard expansion), static constructors run, and
// exit() runs the registered destructors and the runtime's own clean-up.
#include <windows.h>

#include <float.h>
#include <stdlib.h>

extern "C" {
struct runtime_startup_info {
  int new_mode;  // what _set_new_mode would set; 0 as the compiler's start-up leaves it
};
__declspec(dllimport) int __cdecl __getmainargs(int* argc, char*** argv, char*** env,
                                                int expand_wildcards, runtime_startup_info* info);
__declspec(dllimport) void __cdecl __set_app_type(int type);
__declspec(dllimport) _onexit_t __cdecl _onexit(_onexit_t function);
void __main();  // runs the static constructors and registers their destructors

// Static destructors register here; the runtime library calls them in
// reverse order from exit().
int __cdecl atexit(void (*function)()) {
  return _onexit(reinterpret_cast<_onexit_t>(reinterpret_cast<void*>(function))) ? 0 : -1;
}

[[noreturn]] __attribute__((force_align_arg_pointer)) void WinMainCRTStartup() {
  enum { gui_app = 2 };
  __set_app_type(gui_app);
  _fpreset();
  int argc = 0;
  char** argv = nullptr;
  char** env = nullptr;
  runtime_startup_info info = {0};
  if (__getmainargs(&argc, &argv, &env, 0, &info) < 0) ExitProcess(255);
  __main();

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
  exit(WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), show));
}
}
