// A stand-in that lets the uninstaller link until the Python runtime's own
// definition is part of the build; this file goes when it arrives (the link
// then reports both, so it cannot be forgotten). A weak definition would not
// do: the linker does not take it out of the object archives.
#include "python_runtime/install_scripts_win.h"

int run_uninstall_script(char*) { return 0; }
