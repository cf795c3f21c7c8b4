// Packages made from wheels install as pip installs them: one version of each
// distribution in site-packages, a satisfied dependency kept, an earlier
// version replaced and put back when the installation fails; an uninstall
// takes back only what is still its own. Each row compares site-packages
// with what pip leaves (the fixtures' pip layouts of the same wheels).
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver/driver_win.h"
#include "e2e/wizard_session_win.h"
#include "support/test_files_win.h"

namespace {
using namespace e2e;

std::string dists(const std::string& name) { return build_file("fixtures/dists/" + name); }

void copy_tree(const std::string& from, const std::string& to) {
  CreateDirectoryA(to.c_str(), nullptr);
  for (const std::string& entry : folder_tree(from)) {
    if (entry.back() == '\\') CreateDirectoryA((to + "\\" + entry).c_str(), nullptr);
    else CopyFileA((from + "\\" + entry).c_str(), (to + "\\" + entry).c_str(), FALSE);
  }
}

// Site-packages as pip leaves a distribution ("demo-1.0"); installed by
// kitpack as the package it holds REQUESTED as well, as a dependency it
// does not (INSTALLER says who installed it).
std::vector<std::string> by_pip(const std::string& dist) { return folder_tree(dists("pip/" + dist)); }
std::vector<std::string> by_kitpack(const std::string& dist) {
  std::vector<std::string> files = by_pip(dist);
  files.push_back(dist + ".dist-info\\REQUESTED");
  return files;
}

struct action {
  enum { pip, install, install_damaged, uninstall } kind;
  const char* name;  // the distribution, or the installer's, or the package's
};

struct row {
  const char* what;
  std::vector<action> before;
  action then;
  long exit_code;
  const char* report_has;  // "" for any report
  std::vector<std::vector<std::string>> expected;  // site-packages, one listing per distribution
  std::vector<const char*> intact;  // pip's distributions whose every byte stays as pip wrote it
};

struct python_run {
  standin_install python{python312};
  std::string site_packages = python.dir() + "\\Lib\\site-packages";
  temp_folder folder;
  std::string report;

  long run(const action& a) {
    const std::string switches = " /S /REPORT=\"" + folder / "report.txt" + "\"";
    if (a.kind == action::pip) {
      copy_tree(dists(std::string("pip/") + a.name), site_packages);
      return 0;
    }
    long code;
    if (a.kind == action::uninstall) {
      const std::string exe = python.dir() + "\\Remove" + a.name + ".exe";
      driven_process p(exe, "-u \"" + python.dir() + "\\" + a.name + "-kitpack.log\"" + switches);
      code = p.wait_exit();
      EXPECT_TRUE(wait_until([&] { return !file_exists(exe) && !file_exists(exe + ".bat"); }, 10000));
    } else {
      std::string image = dists(std::string(a.name) + ".exe");
      if (a.kind == action::install_damaged) image = with_member_byte_flipped(image, folder);
      driven_process p(image, "/PYTHON=3.12" + switches);
      code = p.wait_exit(60000);
    }
    report = read_file(folder / "report.txt");
    return code;
  }
};

TEST(DistributionsE2E, SitePackagesHoldsWhatPipWouldLeave) {
  const row rows[] = {
      {"upgrade", {{action::install, "demo-1.0"}}, {action::install, "demo-2.0"}, 0, "", {by_kitpack("demo-2.0")}, {}},
      {"downgrade", {{action::install, "demo-2.0"}}, {action::install, "demo-1.0"}, 0, "", {by_kitpack("demo-1.0")}, {}},
      {"over pip's installation", {{action::pip, "demo-1.0"}}, {action::install, "demo-2.0"}, 0, "",
       {by_kitpack("demo-2.0")}, {}},
      {"then its uninstall", {{action::pip, "demo-1.0"}, {action::install, "demo-2.0"}}, {action::uninstall, "demo"},
       0, "", {}, {}},
      {"a satisfied dependency is kept", {{action::pip, "dep-1.4"}}, {action::install, "app-1.0"}, 0,
       "dep 1.4 is already installed", {by_kitpack("app-1.0"), by_pip("dep-1.4")}, {"dep-1.4"}},
      {"and stays at the uninstall", {{action::pip, "dep-1.4"}, {action::install, "app-1.0"}},
       {action::uninstall, "app"}, 0, "", {by_pip("dep-1.4")}, {"dep-1.4"}},
      {"an older dependency is replaced", {{action::pip, "dep-0.9"}}, {action::install, "app-1.0"}, 0, "",
       {by_kitpack("app-1.0"), by_pip("dep-1.3")}, {}},
      {"a failed upgrade puts the installed version back", {{action::pip, "demo-1.0"}},
       {action::install_damaged, "demo-2.0"}, 4, "demo 1.0 put back as installed before.", {by_pip("demo-1.0")},
       {"demo-1.0"}},
      {"a dependency another distribution requires stays",
       {{action::install, "app-1.0"}, {action::pip, "other-1.0"}}, {action::uninstall, "app"}, 0, "",
       {by_pip("dep-1.3"), by_pip("other-1.0")}, {"other-1.0"}},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.what);
    forget_test_pythons();
    python_run run;
    for (const action& a : r.before) ASSERT_EQ(run.run(a), 0) << a.name << "\n" << run.report;
    EXPECT_EQ(run.run(r.then), r.exit_code) << run.report;
    EXPECT_NE(run.report.find(r.report_has), std::string::npos) << run.report;

    std::vector<std::string> expected;
    for (const auto& listing : r.expected) expected.insert(expected.end(), listing.begin(), listing.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder_tree(run.site_packages), expected);
    for (const char* dist : r.intact) {
      for (const std::string& file : by_pip(dist)) {
        if (file.back() == '\\') continue;
        EXPECT_EQ(read_file(run.site_packages + "\\" + file), read_file(dists(std::string("pip/") + dist) + "\\" + file))
            << file;
      }
    }
    // What kitpack installed, its compiled files included, is in its RECORD,
    // so that pip can uninstall it.
    for (const std::string& entry : folder_tree(run.site_packages)) {
      if (entry.find(".dist-info\\INSTALLER") == std::string::npos ||
          read_file(run.site_packages + "\\" + entry) != "kitpack\n")
        continue;
      const std::string package = entry.substr(0, entry.find('-'));
      const std::string record = "\n" + read_file(run.site_packages + "\\" + entry.substr(0, entry.size() - 9) + "RECORD");
      for (std::string file : folder_tree(run.site_packages + "\\" + package)) {
        if (file.back() == '\\') continue;
        std::replace(file.begin(), file.end(), '\\', '/');
        EXPECT_NE(record.find("\n" + package + "/" + file + ","), std::string::npos) << file << "\n" << record;
      }
    }
    for (const std::string& entry : folder_tree(run.python.dir()))
      EXPECT_EQ(entry.rfind("kitpack-aside", 0), std::string::npos) << entry;
    for (const char* package : {"demo", "app"})
      RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(uninstall_key) + "\\" + package + "-py3.12").c_str());
  }
}

}  // namespace
