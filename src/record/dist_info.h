// What an installed distribution says about itself, and the names that tie it
// to the package's archive. A wheel installs into site-packages beside its
// files one folder:
//
//   <name>-<version>.dist-info\      name with '-' written as '_'
//     METADATA   RFC 822 headers, then a body; every dependency is a header
//                  Requires-Dist: dep-name[extra] (>=1.0) ; python_version < "3.12"
//     RECORD     CSV (Python's csv module: ',' between fields, '"' around a
//                field that holds ',', '"' or a line end, '"' doubled inside),
//                one row per file:  path,sha256=<digest>,<size>
//                  demo/__init__.py,sha256=...,120
//                  ../../Scripts/demo.exe,sha256=...,4096
//                  demo/__pycache__/__init__.cpython-311.pyc,,
//                a path relative to site-packages with '/', or absolute.
//     INSTALLER  the tool that installed it ("pip")
//
// The package's settings name the distributions in its archive, the package's
// own first, one line each in the [distributions] section:
//
//   NAME=VERSION;DISTINFO;SPECIFIER     app=1.0;app-1.0.dist-info;
//                                       dep=1.3;dep-1.3.dist-info;>=1.0
//
// NAME is the canonical name, DISTINFO the folder's name in the archive,
// SPECIFIER what the others require of it (empty on the first line).
//
// Everything here reads files that another installer may have written, so no
// input is trusted: a RECORD path never leads outside the Python folder.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// PEP 503 canonical name: lower case, each run of '-', '_', '.' as one '-'.
std::string canonical_name(std::string_view name);

// "Demo_Pkg-1.0.dist-info" -> {ok, name "demo-pkg" (canonical), version "1.0"};
// the name ends at the first '-'. Not ok when the folder name does not end in
// ".dist-info" (in any case) or has no '-' with text on both sides.
struct dist_info_folder {
  bool ok = false;
  std::string name;
  std::string version;
};
dist_info_folder parse_dist_info_folder(std::string_view folder_name);

// One line of the [distributions] section; white space around each field is
// dropped and the name made canonical. Not ok when '=' or either ';' is
// missing or NAME, VERSION or DISTINFO is empty.
struct distribution_entry {
  bool ok = false;
  std::string name, version, dist_info, specifier;
};
distribution_entry parse_distribution_line(std::string_view line);

// The files a RECORD lists, as full Windows paths: each row's first field
// resolved against site_packages ('/' -> '\', "." and ".." segments folded).
// A row whose path is empty, absolute (a root, a drive or any ':') or resolves
// outside python_dir or onto it (compared ignoring ASCII case), onto
// site_packages or a folder above it, is left out. Other rows may still name a
// folder ("../../Scripts"): a caller that removes files checks that it is one.
std::vector<std::string> record_paths(std::string_view record_text,
                                      std::string_view site_packages,
                                      std::string_view python_dir);

// The canonical names that METADATA's "Requires-Dist:" headers name, each once
// (extras, versions and markers ignored). The headers end at the first empty line.
std::vector<std::string> required_names(std::string_view metadata_text);

// A RECORD row for a file an installation adds (a compiled file): the path
// relative to site_packages with '/' (climbing with "../" for a file outside
// it), CSV-quoted when needed, then ",," (no hash, no size, as pip lists
// compiled files) and line_end. Empty when the two paths share no root
// (another drive).
std::string record_row(std::string_view full_path, std::string_view site_packages,
                       std::string_view line_end);

// Two full paths name the same file: equal ignoring ASCII case, '/' and '\' alike.
bool same_path(std::string_view a, std::string_view b);
