#include "uninstall/uninstall_run_win.h"

int run_uninstall(int, char**) { return 1; }
