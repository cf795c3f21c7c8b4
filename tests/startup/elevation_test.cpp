// When the installer restarts itself as an administrator, and which tests it
// asks on the way.
#include <gtest/gtest.h>

#include <string>

#include "startup/elevation.h"

namespace {

// The fake tests answer from these and count how often they were asked.
bool admin_answer;
bool target_answer;
int admin_asked;
int target_asked;

bool fake_is_user_admin() {
  ++admin_asked;
  return admin_answer;
}
bool fake_target_needs_admin() {
  ++target_asked;
  return target_answer;
}

struct decision_row {
  const char* value;
  bool admin;
  bool target_for_all_users;
  bool restart;
  int admin_asks;
  int target_asks;
};

TEST(Elevation, RestartsExactlyWhenTheSettingAndTheTestsSaySo) {
  const decision_row rows[] = {
      // "force" restarts every non-administrator, whatever the target.
      {"force", false, false, true, 1, 0},
      {"force", false, true, true, 1, 0},
      {"force", true, true, false, 1, 0},
      // "auto" asks about the target only for a non-administrator.
      {"auto", false, true, true, 1, 1},
      {"auto", false, false, false, 1, 1},
      {"auto", true, true, false, 1, 0},
      // Nothing else elevates or asks anything; the values are case-sensitive.
      {"none", false, true, false, 0, 0},
      {"", false, true, false, 0, 0},
      {"Force", false, true, false, 0, 0},
      {"AUTO", false, true, false, 0, 0},
      {"forced", false, true, false, 0, 0},
      {"auto ", false, true, false, 0, 0},
  };
  for (const decision_row& row : rows) {
    admin_answer = row.admin;
    target_answer = row.target_for_all_users;
    admin_asked = target_asked = 0;
    bool restart = needs_elevated_restart(row.value, {fake_is_user_admin, fake_target_needs_admin});
    std::string label = std::string("\"") + row.value + "\" admin=" + (row.admin ? "1" : "0") +
                        " all-users=" + (row.target_for_all_users ? "1" : "0");
    EXPECT_EQ(restart, row.restart) << label;
    EXPECT_EQ(admin_asked, row.admin_asks) << label;
    EXPECT_EQ(target_asked, row.target_asks) << label;
  }
}

TEST(Elevation, TargetRegistrationMattersFromSystemVersionFiveForANamedVersion) {
  struct row {
    unsigned major;
    const char* target_version;
    bool applies;
  };
  const row rows[] = {
      {4, "2.5", false}, {5, "2.5", true}, {6, "2.7", true},
      {10, "3.1", true}, {6, "", false},   {3, "", false},
  };
  for (const row& r : rows)
    EXPECT_EQ(target_version_check_applies(r.major, r.target_version), r.applies)
        << r.major << " \"" << r.target_version << "\"";
}

}  // namespace
