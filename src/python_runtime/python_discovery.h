// Choosing the install target among the registered Python installations:
// the decisions, free of registry and window calls.
#pragma once
#include "archive/install_scheme.h"

// site_packages_scheme from Python 2.2 on, legacy_scheme before.
const scheme_entry* select_scheme(int major, int minor);
