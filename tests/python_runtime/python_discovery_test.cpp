#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "python_runtime/python_discovery.h"

namespace {

TEST(VersionFilter, AcceptsEveryVersionTheTagOrItsXY) {
  struct row {
    const char* target;
    const char* tag;
    bool python_core;
    const char* sys_version;
    bool accepted;
  };
  const row rows[] = {
      {"", "2.5", true, "", true},           {"", "", true, "", true},
      {"2.5", "2.5", true, "", true},        {"2.5", "2.4", true, "", false},
      {"2.5", "2.6", true, "", false},       {"2.5", "2.5.1", true, "", true},
      {"2.5", "2.50", true, "", false},      {"2.5", "2", true, "", false},
      {"3.0a", "3.0A", true, "", false},     {"3.0a", "3.0a", true, "", true},
      {"2.5", "", true, "", false},          {"3.13", "3.13t", true, "", true},
      {"3.13", "3.13-32", true, "", true},   {"3.12", "CPython3.12.4", false, "3.12", true},
      {"3.1", "CPython3.12.4", false, "3.12", false},
      {"CPython3.12.4", "CPython3.12.4", false, "3.12", true},
      {"3.12", "CPython3.12", false, "3.11", false},  // another company's SysVersion holds
  };
  for (const row& r : rows)
    EXPECT_EQ(version_accepted(r.target, r.tag, registration_version(r.python_core, r.tag, r.sys_version)),
              r.accepted)
        << r.target << " / " << r.tag;
}

TEST(VersionFilter, ListsNamesUpToFortyCharacters) {
  EXPECT_TRUE(version_name_fits(""));
  EXPECT_TRUE(version_name_fits("2.5"));
  EXPECT_TRUE(version_name_fits(std::string(40, 'v')));
  EXPECT_FALSE(version_name_fits(std::string(41, 'v')));
  EXPECT_FALSE(version_name_fits(std::string(79, 'v')));
}

TEST(InstallPath, TakesATerminatedDirectoryThatFitsPythonDir) {
  struct row {
    std::string bytes;  // exactly what the registry handed back
    bool usable;
    std::string dir;
  };
  const row rows[] = {
      {std::string("C:\\Python25\0", 12), true, "C:\\Python25"},
      {std::string("C:\\Python25\\\0", 13), true, "C:\\Python25\\"},
      {std::string("\0", 1), true, ""},
      {std::string("C:\\Py\0junk", 10), true, "C:\\Py"},
      {std::string("C:\\Python25", 11), false, ""},  // no NUL in what was read
      {std::string(), false, ""},                      // an empty value
      {std::string(259, 'p') + std::string(1, '\0'), true, std::string(259, 'p')},
      {std::string(260, 'p') + std::string(1, '\0'), false, ""},  // the full 261 bytes
      {std::string(261, 'p'), false, ""},
  };
  for (const row& r : rows) {
    install_path_text got = read_install_path(r.bytes.data(), r.bytes.size());
    EXPECT_EQ(got.usable, r.usable) << r.bytes.size();
    EXPECT_EQ(std::string(got.dir), r.dir) << r.bytes.size();
  }
}

TEST(RegistrationVersion, PythonCoreTagsAsScanfReadsThemOthersBySysVersionOrTheirStart) {
  struct row {
    bool python_core;
    const char* tag;
    const char* sys_version;
    int numbers, major, minor;
    bool free_threaded;
  };
  const row rows[] = {
      {true, "2.5", "", 2, 2, 5, false},
      {true, "2.10", "", 2, 2, 10, false},
      {true, "02.05", "", 2, 2, 5, false},
      {true, "2.5.1", "", 2, 2, 5, false},
      {true, "+2.-5", "", 2, 2, -5, false},
      {true, "   2. \t5", "", 2, 2, 5, false},  // %d skips blanks before its number
      {true, "2 .5", "", 1, 2, 0, false},       // '.' must follow the digits at once
      {true, "4", "", 1, 4, 0, false},
      {true, "2.x", "", 1, 2, 0, false},
      {true, "abc", "", 0, 0, 0, false},
      {true, "- 2.5", "", 0, 0, 0, false},      // a sign needs a digit behind it
      {true, ".5", "", 0, 0, 0, false},
      {true, "4294967298.1", "", 2, 2, 1, false},  // overlong numbers wrap around
      {true, "3.12", "3.11", 2, 3, 12, false},  // PythonCore's tag is its version
      {true, "3.5-32", "", 2, 3, 5, false},
      {true, "3.13t", "", 2, 3, 13, true},
      {true, "3.14t-32", "", 2, 3, 14, true},
      {false, "CPython3.12.4", "3.12", 2, 3, 12, false},
      {false, "CPython3.13.1t", "3.13", 2, 3, 13, true},
      {false, "Anaconda39-64", "3.9", 2, 3, 9, false},
      {false, "3.13t", "3.1x", 2, 3, 13, true},  // no X.Y in SysVersion: the tag's start
      {false, "Anaconda39-64", "", 0, 0, 0, false},  // no version: not listed
      {false, "CPython3.12.4", "", 0, 0, 0, false},
      {false, "CPython3.12.4", "3.12-64", 0, 0, 0, false},
  };
  for (const row& r : rows) {
    registered_version got = registration_version(r.python_core, r.tag, r.sys_version);
    EXPECT_EQ(got.numbers, r.numbers) << r.tag;
    EXPECT_EQ(got.free_threaded, r.free_threaded) << r.tag;
    if (got.numbers >= 1) {
      EXPECT_EQ(got.major, r.major) << r.tag;
    }
    if (got.numbers >= 2) {
      EXPECT_EQ(got.minor, r.minor) << r.tag;
    }
  }
}

TEST(PythonDll, JoinsTheNumbersWithoutLeadingZeros) {
  struct row {
    int major, minor;
    const char* dll;
    bool free_threaded = false;
  };
  const row rows[] = {
      {2, 5, "python25.dll"}, {2, 10, "python210.dll"}, {3, 0, "python30.dll"},
      {1, 5, "python15.dll"}, {2, -5, "python2-5.dll"}, {3, 13, "python313t.dll", true},
      {-2147483647 - 1, -2147483647 - 1, "python-2147483648-2147483648.dll"},
  };
  for (const row& r : rows) {
    char dll[260];
    EXPECT_TRUE(format_python_dll(dll, sizeof dll, r.major, r.minor, r.free_threaded));
    EXPECT_STREQ(dll, r.dll);
  }
}

TEST(NoPythonText, NamesWhatWasWantedAndWhatThePackageRequires) {
  struct row {
    const char* target_version;
    const char* python_requires;
    const char* wanted;  // /PYTHON=, or none
    const char* text;
  };
  const row rows[] = {
      {"", "", nullptr, "No Python installation found in the registry."},
      {"2.5", "", nullptr, "Python version 2.5 required, which was not found in the registry."},
      {"", "", "3.12", "Python version 3.12 was not found in the registry."},
      {"3.12", "", "3.12", "Python version 3.12 was not found in the registry."},
      {"3.12", "", "3.11", "Python 3.11 was asked for, but this package requires Python 3.12."},
      {"3.12", "", "CPython3.12.4", "Python version CPython3.12.4 was not found in the registry."},
      {"", "", "100%s", "Python version 100%s was not found in the registry."},
      {"", ">=3.9,<4", nullptr, "Python version >=3.9,<4 required, which was not found in the registry."},
      {"3.12", ">=3.9", nullptr, "Python version 3.12 required, which was not found in the registry."},
      {"", ">=3.9,<4", "3.8", "Python 3.8 was asked for, but this package requires Python >=3.9,<4."},
      {"", "==3.12.*", "3.12-32", "Python version 3.12-32 was not found in the registry."},
      {"3.12", ">=3.13", "3.11", "Python 3.11 was asked for, but this package requires Python 3.12."},
      {"", ">=3.9", "3", "Python 3 was asked for, but this package requires Python >=3.9."},
  };
  for (const row& r : rows) {
    char text[256];
    format_no_python_text(text, sizeof text, r.target_version, r.python_requires, r.wanted);
    EXPECT_STREQ(text, r.text);
  }
}

TEST(Scheme, SitePackagesFromPython22On) {
  struct row {
    int major, minor;
    const scheme_entry* scheme;
  };
  const row rows[] = {
      {3, 0, site_packages_scheme}, {2, 2, site_packages_scheme}, {2, 5, site_packages_scheme},
      {2, 10, site_packages_scheme}, {4, -1, site_packages_scheme}, {2, 1, legacy_scheme},
      {2, 0, legacy_scheme},         {1, 5, legacy_scheme},        {0, 0, legacy_scheme},
      {2, -3, legacy_scheme},
  };
  for (const row& r : rows)
    EXPECT_EQ(select_scheme(r.major, r.minor), r.scheme) << r.major << "." << r.minor;
}

TEST(InstallDirText, AddsOneBackslashAndThePurelibPrefix) {
  struct row {
    const char* dir;
    int major, minor;
    const char* text;
  };
  const row rows[] = {
      {"C:\\Python25\\", 2, 5, "C:\\Python25\\Lib\\site-packages\\"},
      {"C:\\Python25", 2, 5, "C:\\Python25\\Lib\\site-packages\\"},
      {"C:\\Python21", 2, 1, "C:\\Python21\\"},
      {"C:\\Python21\\", 2, 1, "C:\\Python21\\"},
      {"D:\\py30", 3, 0, "D:\\py30\\Lib\\site-packages\\"},
      {"C:\\Python25/", 2, 5, "C:\\Python25/\\Lib\\site-packages\\"},  // only a backslash counts
      {"", 2, 5, "\\Lib\\site-packages\\"},
  };
  for (const row& r : rows) {
    char text[300];
    format_install_dir_text(text, sizeof text, r.dir, r.major, r.minor);
    EXPECT_STREQ(text, r.text) << r.dir;
  }
}

TEST(InstallDirText, IsCutToTheGivenWidth) {
  char text[16];
  std::memset(text, '#', sizeof text);
  format_install_dir_text(text, 12, "C:\\Python25", 2, 5);
  EXPECT_STREQ(text, "C:\\Python25");
  EXPECT_EQ(text[12], '#');
  format_install_dir_text(text, 14, "C:\\Python25", 2, 5);
  EXPECT_STREQ(text, "C:\\Python25\\L");
  EXPECT_EQ(text[14], '#');
}

TEST(RootKey, SettlesAsTheTableSays) {
  using enum registry_root;
  struct row {
    registry_root before;
    bool machine_writable;
    bool strange;
    bool tested;
    registry_root after;
  };
  const row rows[] = {
      {current_user, true, false, false, current_user},   // never moved to the machine
      {current_user, false, false, false, current_user},
      {local_machine, true, false, true, local_machine},
      {local_machine, false, false, true, current_user},
      {unset, true, true, true, local_machine},
      {unset, false, true, true, current_user},
  };
  for (const row& r : rows) {
    EXPECT_EQ(root_key_is_strange(r.before), r.strange);
    EXPECT_EQ(root_key_needs_test(r.before), r.tested);
    EXPECT_EQ(settle_root_key(r.before, r.machine_writable), r.after);
  }
}

TEST(PythonDiscovery, MajorVersionOfARecordedDllName) {
  struct row {
    const char* name;
    int major;
  };
  const row rows[] = {
      {"python312.dll", 3}, {"python313t.dll", 3}, {"python27.dll", 2}, {"PYTHON30.DLL", 3}, {"python3.dll", 3},
      {"python.dll", 0},    {"pythonx.dll", 0},  {"", 0},             {"py312.dll", 0},
  };
  for (const row& r : rows) EXPECT_EQ(python_major_of_dll(r.name), r.major) << r.name;
}

}  // namespace
