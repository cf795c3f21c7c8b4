// Installers started with /S, as software management starts them: no window
// of the process appears, /PYTHON= picks the Python, and every outcome has its
// exit code and its report.
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "driver/driver_win.h"
#include "e2e/wizard_session_win.h"
#include "startup/package_layout.h"
#include "support/test_files_win.h"
#include "support/test_registry_win.h"

namespace {
using namespace e2e;

const std::vector<std::string> no_windows;
const std::vector<std::string> bare_python312 = {"Lib\\", "Lib\\site-packages\\", "Scripts\\", "python312.dll"};

void forget_example_entries() {
  for (const std::string& key : registered_packages("example-py"))
    forget_package(HKEY_CURRENT_USER, key.substr(std::string("example-py").size()).c_str());
}

TEST(UnattendedE2E, PythonSwitchPicksTheNamedRowAndWithoutItTheLastOne) {
  struct row {
    const char* fixture;
    const char* args;
    const char* chosen;
  };
  const row rows[] = {{"no-compile-no-script", "/S", "9.7"},
                      {"no-compile-no-script", "/s /python=9.5", "9.5"},
                      {"no-compile-no-script", "/PYTHON=9.7 /S", "9.7"},
                      {"unattended-requires", "/S", "9.5"}};  // python_requires >=9.0, <9.7
  for (const row& r : rows) {
    SCOPED_TRACE(std::string(r.fixture) + " " + r.args);
    forget_test_pythons();
    registered_python p95(HKEY_CURRENT_USER, "9.5"), p97(HKEY_CURRENT_USER, "9.7");
    watched_run run = run_watching_windows(fixture(r.fixture), r.args);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.windows, no_windows);
    EXPECT_EQ(unexpected_hidden_windows(run), no_windows);
    const bool into95 = std::string(r.chosen) == "9.5";
    EXPECT_EQ(file_exists(p95.dir() + "\\example-kitpack.log"), into95);
    EXPECT_EQ(file_exists(p97.dir() + "\\example-kitpack.log"), !into95);
    EXPECT_TRUE(file_exists((into95 ? p95 : p97).dir() + "\\Lib\\site-packages\\example\\__init__.py"));
    EXPECT_EQ(registered_packages("example-py"), std::vector<std::string>{std::string("example-py") + r.chosen});
    forget_example_entries();
  }
}

// The image of a case, made in the case's own folder.
using image_maker = std::function<std::string(const temp_folder&)>;

image_maker fixture_image(const char* name) {
  return [name](const temp_folder&) { return fixture(name); };
}

std::string with_wrong_magic(const temp_folder& folder) {
  std::string image = read_file(fixture("example"));
  package_location loc = locate_package({reinterpret_cast<const std::byte*>(image.data()), image.size()});
  EXPECT_EQ(loc.status, package_status::ok);
  image[loc.meta_offset] ^= 1;
  std::string path = folder / "Setup.exe";
  EXPECT_TRUE(write_file(path, image));
  return path;
}

std::string bare_stub(const temp_folder& folder) {
  std::string path = folder / "Setup.exe";
  EXPECT_TRUE(CopyFileA(stub_path().c_str(), path.c_str(), FALSE));
  return path;
}

bool starts_with(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }
bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(UnattendedE2E, EachOutcomeHasItsExitCodeAndItsReport) {
  struct row {
    const char* what;
    image_maker image;
    std::vector<const char*> pythons;  // registered for the current user, without a DLL
    const standin_python* stand_in;    // the stand-in as well, which runs scripts
    const char* args;                  // behind /S and /REPORT=
    long exit_code;
    bool registers;
    std::string begins, contains, ends;  // the report
    // Files installed into the stand-in (UTF-8 names below it), which the
    // QuietUninstallString then removes with everything else of the package.
    std::vector<std::string> installed = {};
  };
  const std::string preinstall_failure =
      "Running the pre-installation script failed\r\n"
      "checking the target\r\n"
      "Traceback (most recent call last):\r\n"
      "  File \"<string>\", line 3, in <module>\r\n"
      "ValueError: this package refuses to install\r\n";
  const row rows[] = {
      {"no Python registered", fixture_image("example"), {}, nullptr, "", 2, false,
       "No Python installation found in the registry.\r\nNot installed: no usable Python (exit code 2)\r\n", "", ""},
      {"the named Python is not registered", fixture_image("example"), {"9.5"}, nullptr, "/PYTHON=9.9", 2, false,
       "Python version 9.9 was not found in the registry.\r\n", "", "(exit code 2)\r\n"},
      {"the named Python is not the one required", fixture_image("unattended-target"), {"9.5", "9.6"}, nullptr,
       "/PYTHON=9.5", 2, false, "Python 9.5 was asked for, but this package requires Python 9.6.\r\n", "",
       "(exit code 2)\r\n"},
      {"no Python satisfies python_requires", fixture_image("unattended-requires"), {"9.7"}, nullptr, "", 2, false,
       "Python version >=9.0, <9.7 required, which was not found in the registry.\r\n"
       "Not installed: no usable Python (exit code 2)\r\n", "", ""},
      {"the named Python is not one python_requires allows", fixture_image("unattended-requires"), {"9.5", "9.7"},
       nullptr, "/PYTHON=9.7", 2, false, "Python 9.7 was asked for, but this package requires Python >=9.0, <9.7.\r\n",
       "", "(exit code 2)\r\n"},
      {"the pre-install script fails", fixture_image("failing-preinstall"), {}, &python27, "", 3, true,
       preinstall_failure + "Not installed: the pre-installation script failed (exit code 3)\r\n", "", ""},
      {"the archive is damaged", [](const temp_folder& f) { return with_broken_archive(fixture("no-compile-no-script"), f); },
       {"9.3"}, nullptr, "", 4, true, "", "",
       "Failed to unzip installation files\r\nInstallation failed: the files could not be extracted (exit code 4)\r\n"},
      // The boxes' texts, then the script's output: the answers of their
      // default buttons (IDYES; IDNO for MB_DEFBUTTON2) and its traceback.
      {"the post-install script raises", fixture_image("unattended-post"), {}, &python27, "", 5, true,
       "Go on?\r\nReally?\r\n6\r\n7\r\n", "RuntimeError: the post-install script gives up\r\n",
       "Installed, but the post-install script failed (exit code 5)\r\n"},
      {"the package's magic number is wrong", with_wrong_magic, {}, nullptr, "", 1, false,
       "Invalid cfgdata magic number (see mkpkg_kitpack)\r\nSetup program invalid or damaged\r\n"
       "Not installed: the setup program is damaged (exit code 1)\r\n", "", ""},
      {"a stub without a package", bare_stub, {"9.5"}, nullptr, "/PYTHON=9.5", 1, false,
       "Setup program invalid or damaged\r\nNot installed: the setup program is damaged (exit code 1)\r\n", "", ""},
      // Names in UTF-8: the e acute ones go in under their names, the
      // omega, which the code page cannot hold, is reported and not written.
      {"a member name the code page cannot hold", fixture_image("names"), {}, &python312, "", 4, true, "",
       "\\?.txt)\r\n", "Installation failed: the files could not be extracted (exit code 4)\r\n",
       {"Lib\\site-packages\\caf\xC3\xA9\\__init__.py", "Lib\\site-packages\\caf\xC3\xA9\\donn\xC3\xA9" "es.txt"}},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.what);
    forget_test_pythons();
    std::vector<std::unique_ptr<registered_python>> pythons;
    for (const char* version : r.pythons)
      pythons.push_back(std::make_unique<registered_python>(HKEY_CURRENT_USER, version));
    std::optional<standin_install> stand_in;
    if (r.stand_in) stand_in.emplace(*r.stand_in);
    temp_folder folder;
    const std::string report = folder / "report.txt";
    watched_run run = run_watching_windows(r.image(folder), std::string("/S /REPORT=\"") + report + "\" " + r.args);
    EXPECT_EQ(run.exit_code, r.exit_code);
    EXPECT_EQ(run.windows, no_windows);
    EXPECT_EQ(unexpected_hidden_windows(run), no_windows);
    const std::string text = read_file(report);
    EXPECT_TRUE(starts_with(text, r.begins)) << text;
    EXPECT_NE(text.find(r.contains), std::string::npos) << text;
    EXPECT_TRUE(ends_with(text, r.ends)) << text;
    EXPECT_EQ(registered_packages("example-py").empty(), !r.registers);
    if (!r.installed.empty()) {
      for (const std::string& name : r.installed)
        EXPECT_TRUE(file_exists(stand_in->dir() + "\\" + ansi_text(name))) << name;
      std::string quiet = registry_text(HKEY_CURRENT_USER, std::string(uninstall_key) + "\\example-py" +
                                        r.stand_in->version, "QuietUninstallString");
      std::size_t exe_end = quiet.find('"', 1);
      ASSERT_NE(exe_end, std::string::npos) << quiet;
      EXPECT_EQ(run_watching_windows(quiet.substr(1, exe_end - 1), quiet.substr(exe_end + 2)).exit_code, 0);
      EXPECT_TRUE(wait_until([&] { return folder_tree(stand_in->dir()) == bare_python312; }, 10000));
    }
    forget_example_entries();
  }
}

}  // namespace
