// What an uninstall leaves in place although its log names it. An installation
// made from wheels marks in its log each distribution it extracted (comment
// lines, drawn in log_records.h); every other .dist-info folder in the
// site-packages folders that hold those is another's. The uninstall takes back
// only what is still ours:
//
//   - a file that another distribution's RECORD lists (pip or another
//     installer has taken it over) stays, and so do the compiled files of a
//     listed .py (beside it, and in __pycache__ beside it);
//   - a dependency we installed that another distribution requires (a
//     Requires-Dist of its METADATA names it; markers and versions ignored,
//     since keeping too much is safe and removing too much is not) stays whole:
//     every file its RECORD lists and its .dist-info folder. What a kept
//     dependency requires in turn stays as well;
//   - the package's own distribution always goes;
//   - a marked folder whose INSTALLER names another tool was installed anew
//     by it (pip install --force-reinstall): it counts as another's.
//
// A log without markers leaves nothing in place: it is undone as it always was.
#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "uninstall/log_records.h"

struct installed_distribution {
  std::string folder;  // full path of the .dist-info folder
  distribution_mark mark = distribution_mark::none;  // none: another's
  std::vector<std::string> files;     // what its RECORD lists, full paths
  std::vector<std::string> required;  // canonical names its Requires-Dist headers give
};

// What our installations write into a .dist-info's INSTALLER.
inline constexpr std::string_view OUR_INSTALLER = "kitpack";

// INSTALLER's text names a tool other than ours. An empty or missing file
// names none: the marker stands.
bool installed_by_another(std::string_view installer_text);

// The paths a run must neither remove nor count, as sorted keys (ASCII lower
// case, '\' for '/'), so that a large site-packages costs a binary search per
// record.
class left_in_place {
 public:
  left_in_place() = default;
  left_in_place(std::vector<std::string> files, std::vector<std::string> folders);

  // A file record whose file stays: another's or a kept dependency's, or
  // compiled from such a .py.
  bool keeps_file(std::string_view path) const;
  // A directory record that stays as it is: a kept dependency's .dist-info.
  bool keeps_folder(std::string_view path) const;
  // A directory that cannot go because what stays lies below it: a failure
  // to remove it is no failure of the uninstall.
  bool holds_kept(std::string_view folder) const;

 private:
  std::vector<std::string> files_;
  std::vector<std::string> folders_;
};

// The decision over our marked distributions and the others beside them.
left_in_place decide_left_in_place(std::span<const installed_distribution> distributions);
