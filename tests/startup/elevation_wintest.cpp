// The shell side of elevation: the administrator test, the all-users test of
// the target Python in the registry, and a restart that fails.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/program_win.h"
#include "startup/elevation_win.h"
#include "startup/setup_config.h"
#include "support/box_recorder_win.h"
#include "support/test_files_win.h"
#include "support/test_registry_win.h"

namespace {

void set_target(const char* version) {
  std::strcpy(setup_config.target_version, version);
}

TEST(ElevationShell, AdministratorTestIsTheShellsAnswer) {
  EXPECT_EQ(is_user_admin(), IsUserAnAdmin() != FALSE);
}

TEST(ElevationShell, TargetNeedsAdminOnlyWhenRegisteredForAllUsers) {
  registered_python all_users(HKEY_LOCAL_MACHINE, "9.8");
  registered_python one_user(HKEY_CURRENT_USER, "9.7");
  struct row {
    const char* target;
    bool needs_admin;
  };
  const row rows[] = {{"9.8", true}, {"9.7", false}, {"9.6", false}, {"", false}, {"9", false}};
  for (const row& r : rows) {
    set_target(r.target);
    EXPECT_EQ(target_python_needs_admin(), r.needs_admin) << r.target;
  }
  set_target("");
}

TEST(ElevationShell, AFailedRestartIsReportedWithTheShellsResult) {
  box_recorder boxes;
  std::strcpy(module_path, "C:\\no such folder\\Setup.exe");
  auto expected = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, "runas", module_path, "", nullptr, SW_SHOWNORMAL));
  ASSERT_LE(expected, 32);
  restart_elevated();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  const recorded_box& box = boxes.boxes()[0];
  EXPECT_EQ(box.text, "Failed to start elevated process (ShellExecute returned " +
                          std::to_string(expected) + ")");
  EXPECT_EQ(box.caption, "Setup");
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(box.type, static_cast<UINT>(MB_ICONERROR | MB_OK));
}

TEST(ElevationShell, AnUnattendedRestartGetsTheArgumentsAndDirectoryAndIsWaitedFor) {
  temp_folder dir;
  char previous[MAX_PATH];
  GetCurrentDirectoryA(sizeof previous, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
  char system[MAX_PATH];
  GetSystemDirectoryA(system, sizeof system);
  std::strcpy(module_path, (std::string(system) + "\\cmd.exe").c_str());
  elevated_copy copy = restart_elevated_and_wait("/c cd > where.txt & exit 7");
  SetCurrentDirectoryA(previous);
  EXPECT_TRUE(copy.ran);
  EXPECT_EQ(copy.exit_code, 7u);
  EXPECT_EQ(read_file(dir / "where.txt").rfind(dir.path(), 0), 0u) << read_file(dir / "where.txt");

  box_recorder boxes;
  std::strcpy(module_path, "C:\\no such folder\\Setup.exe");
  copy = restart_elevated_and_wait("/S");
  EXPECT_FALSE(copy.ran);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text.rfind("Failed to start elevated process (ShellExecute returned ", 0), 0u);
}

TEST(ElevationShell, AnAdministratorIsNeverRestarted) {
  if (!IsUserAnAdmin()) GTEST_SKIP() << "this prefix's user is no administrator";
  registered_python all_users(HKEY_LOCAL_MACHINE, "9.8");
  box_recorder boxes;
  set_target("9.8");
  for (const char* value : {"force", "auto", "none", ""}) {
    std::strcpy(setup_config.user_access_control, value);
    EXPECT_FALSE(apply_user_access_control().restarted) << value;
  }
  EXPECT_TRUE(boxes.boxes().empty());
  set_target("");
}

}  // namespace
