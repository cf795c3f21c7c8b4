// The program's start, driven through its boxes like a user would see them.
#include <gtest/gtest.h>

#include "driver/driver_win.h"
#include "startup/package_layout.h"
#include "support/test_files_win.h"

namespace {

struct box_case {
  const char* caption;
  const char* text;
};

// Runs exe, answers each expected box with OK, and returns the exit code.
long run_expecting(const std::string& exe, const std::string& args,
                   std::initializer_list<box_case> boxes) {
  driven_process process(exe, args);
  EXPECT_TRUE(process.started()) << exe;
  for (const box_case& expected : boxes) {
    seen_box box = answer_box(process, IDOK);
    EXPECT_TRUE(box) << "no box: " << expected.text;
    EXPECT_EQ(box.caption, expected.caption);
    EXPECT_EQ(box.text, expected.text);
  }
  return process.wait_exit();
}

TEST(StartupE2E, BareStubNamedLikeAnUninstallerRefuses) {
  temp_folder dir;
  std::string exe = dir / "RemoveFoo.exe";
  ASSERT_TRUE(CopyFileA(stub_path().c_str(), exe.c_str(), FALSE));
  EXPECT_EQ(run_expecting(exe, "", {{"Runtime Error", "This program is normally started by windows"}}), 1);
}

TEST(StartupE2E, BareStubWithAnyOtherNameIsDamaged) {
  temp_folder dir;
  for (const char* name : {"Setup.exe", "removefoo.exe"}) {
    std::string exe = dir / name;
    ASSERT_TRUE(CopyFileA(stub_path().c_str(), exe.c_str(), FALSE));
    EXPECT_EQ(run_expecting(exe, "", {{"Runtime Error", "Setup program invalid or damaged"}}), 1) << name;
  }
}

TEST(StartupE2E, WrongMagicShowsTheMagicBoxThenRefuses) {
  temp_folder dir;
  std::string image = read_file(build_file("fixtures/example.exe"));
  ASSERT_FALSE(image.empty());
  package_location loc = locate_package(
      {reinterpret_cast<const std::byte*>(image.data()), image.size()});
  ASSERT_EQ(loc.status, package_status::ok);
  image[loc.meta_offset] ^= 1;
  std::string exe = dir / "Setup.exe";
  ASSERT_TRUE(write_file(exe, image));
  EXPECT_EQ(run_expecting(exe, "",
                          {{"Runtime Error", "Invalid cfgdata magic number (see mkpkg_kitpack)"},
                           {"Runtime Error", "Setup program invalid or damaged"}}),
            1);
}

TEST(StartupE2E, UnknownUserAccessControlValueIsReported) {
  driven_process process(build_file("fixtures/uac-force.exe"), "");
  seen_box box = answer_box(process, IDOK);
  EXPECT_EQ(box.caption, "oops");
  EXPECT_EQ(box.text, "Bad user_access_control value");
  // The run then goes on as with "none"; end it if it is still showing pages.
  process.wait_exit(3000);
}

}  // namespace
