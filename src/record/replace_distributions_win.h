// The distributions step of a package made from wheels (cfgdata's
// [distributions]; a package without it installs as a tree does). After the
// pre-install script and before extraction it looks in site-packages for
// installed versions of each distribution and keeps them or moves them
// aside, then names in the install log each distribution it extracts; the
// extraction leaves out the members of a kept dependency. When the
// installation has succeeded the compiled files join their distribution's
// RECORD and what was moved aside is deleted; after a failure this
// installation's files go and what was moved aside comes back under its
// names, byte for byte, as pip rolls back a failed upgrade.
#pragma once
#include <cstddef>
#include <span>

#include "archive/install_scheme.h"
#include "common/chosen_python_win.h"

// Takes away the installed versions that this installation replaces (moved
// aside on the same volume: their RECORD's files inside the Python folder,
// the compiled files of their sources, the folders this leaves empty, the
// .dist-info) and writes the markers. False, after set_failure and with
// everything moved put back, when something could not be moved.
bool replace_installed_distributions(const chosen_python& target, const scheme_entry* scheme,
                                     std::span<const std::byte> image);

// Whether the output path of a member belongs to a kept dependency.
bool is_kept_member(const char* path);

// Ends the step: after a successful installation appends the compiled files
// to the RECORDs and deletes what was moved aside; otherwise puts it back
// and adds to the failure text what was restored.
void finish_replacement(bool installed);
