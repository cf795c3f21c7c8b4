// Versions and version specifiers of Python distributions (PEP 440).
//
//   version     [v][N!]N(.N)*[{a|b|rc}N][.postN][.devN][+local]
//               spellings: any case; "alpha" "beta" "c" "pre" "preview" for
//               a b rc; "rev" "r" or "-N" for post; '-', '_' or '.' (or
//               nothing) before a label or its number, which defaults to 0;
//               local parts [a-z0-9]+ joined by '-', '_' or '.'
//   specifiers  clause(,clause)*         ">=3.9, <4"   "==3.12.*"   "~=1.4.2"
//   clause      OP VERSION               OP one of == != < <= > >= ~= ===
//               == and != alone take a local label or a trailing ".*" (on a
//               release only); ~= needs two release numbers; === takes any
//               text without white space.
//
// Order: epoch, then release (trailing zeros ignored), then a dev release of
// it before its pre-releases, before it, before its post-releases; then the
// local label, after none.
#pragma once
#include <string_view>

// True when version satisfies every clause of specifiers: clauses separated by
// commas, white space around them ignored; operators ==, !=, <, <=, >, >=, ~=, ===,
// and == / != with a trailing ".*"; epochs, pre-, post-, dev-releases, local labels
// as PEP 440 orders them. An empty or blank set allows every version. A version or
// a clause that does not parse never satisfies. Pre-releases match like any other
// version (an installed pre-release is accepted): only a clause excludes them.
bool version_satisfies(std::string_view version, std::string_view specifiers);
