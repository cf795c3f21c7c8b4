// The distributions a package made from wheels brings, as cfgdata's
// [distributions] section lists them (the package's own first):
//
//   [distributions]
//   app=1.0;app-1.0.dist-info;
//   dep=1.3;dep-1.3.dist-info;>=1.0
//   NAME (canonical) = VERSION ; DISTINFO (folder in the archive) ; SPECIFIER
//
// and what an installation does with each against the distributions of the
// same name that site-packages already holds, as pip does: the package's own
// replaces any installed version; a dependency whose installed versions all
// satisfy its specifier is kept (neither extracted nor logged), otherwise it
// replaces them. A distribution's files are the members its RECORD lists.
#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "record/dist_info.h"

// The section as GetPrivateProfileSection gives it: "key=value" strings,
// each ended by a NUL, the last followed by another NUL (or the span's end).
// Lines that do not parse are left out.
std::vector<distribution_entry> parse_distributions_section(std::span<const char> section);

enum class distribution_action { install, replace, keep };

// package: the section's first line. installed: the versions of the
// .dist-info folders of the same name in site-packages.
distribution_action decide_distribution(bool package, std::string_view specifier,
                                        std::span<const std::string> installed);

// The archive member that holds a distribution's RECORD: KEY/DISTINFO/RECORD
// with a scheme key of one segment.
bool is_record_member(std::string_view member_name, std::string_view dist_info);

// The source a compiled file belongs to: mod.pyc or mod.pyo beside it, or
// __pycache__\mod.TAG.pyc one folder up; empty for any other path.
std::string source_of_compiled(std::string_view path);

// Whether replacing may take away a folder that it left empty: only folders
// inside python_dir other than the ones an installation puts files into
// (site-packages, Lib, Scripts, Include), compared ignoring ASCII case.
bool may_remove_empty_folder(std::string_view folder, std::string_view python_dir,
                             std::string_view site_packages);
