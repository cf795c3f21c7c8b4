// The batch file that removes the uninstaller copy, and its hidden process.
#include <gtest/gtest.h>

#include <string>

#include "common/owner_win.h"
#include "support/test_files_win.h"
#include "uninstall/self_removal_win.h"

namespace {

std::string expected_batch(const std::string& exe) {
  return ":Repeat\r\ndel \"" + exe + "\"\r\nif exist \"" + exe + "\" goto Repeat\r\ndel \"" + exe +
         ".bat\"\r\n";
}

bool gone_within(const std::string& path, DWORD ms) {
  DWORD start = GetTickCount();
  while (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (GetTickCount() - start > ms) return false;
    Sleep(50);
  }
  return true;
}

TEST(SelfRemoval, BatchHoldsExactlyFourLinesInTextMode) {
  temp_folder dir;
  const std::string cases[] = {dir / "Removeexample.exe", dir / "Remove with blanks.exe",
                               dir / "Remove%s%d.exe"};
  for (const std::string& exe : cases) {
    std::string batch = exe + ".bat";
    ASSERT_TRUE(write_removal_batch(exe.c_str(), batch.c_str())) << exe;
    EXPECT_EQ(read_file(batch), expected_batch(exe));
  }
  // An existing batch is truncated, not appended to.
  std::string exe = dir / "Removeexample.exe";
  ASSERT_TRUE(write_removal_batch(exe.c_str(), (exe + ".bat").c_str()));
  EXPECT_EQ(read_file(exe + ".bat"), expected_batch(exe));
  EXPECT_FALSE(write_removal_batch(exe.c_str(), (dir / "missing\\x.bat").c_str()));
}

TEST(SelfRemoval, BatchWaitsForTheExecutableThenRemovesBoth) {
  temp_folder dir;
  std::string exe = dir / "Removeexample.exe";
  ASSERT_TRUE(write_file(exe, "stand-in executable"));
  // Held open without delete sharing, as a running executable is.
  unique_file held(CreateFileA(exe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  ASSERT_TRUE(start_self_removal(exe.c_str()));
  Sleep(1000);
  EXPECT_TRUE(file_exists(exe));
  EXPECT_EQ(read_file(exe + ".bat"), expected_batch(exe));
  held.reset();
  EXPECT_TRUE(gone_within(exe, 10000));
  EXPECT_TRUE(gone_within(exe + ".bat", 10000));
}

TEST(SelfRemoval, PathWithBlanksIsRemovedToo) {
  temp_folder dir;
  ASSERT_TRUE(CreateDirectoryA((dir / "Program Files").c_str(), nullptr));
  std::string exe = dir / "Program Files\\Remove ex.exe";
  ASSERT_TRUE(write_file(exe, "stand-in executable"));
  ASSERT_TRUE(start_self_removal(exe.c_str()));
  EXPECT_TRUE(gone_within(exe, 10000));
  EXPECT_TRUE(gone_within(exe + ".bat", 10000));
}

TEST(SelfRemoval, PathWithoutRoomForBatSuffixIsSkipped) {
  temp_folder dir;
  struct length_case {
    std::size_t length;  // of the executable's path
    bool started;
  };
  // The batch path needs the executable's path, ".bat" and its NUL in 260 bytes.
  const length_case cases[] = {{255, true}, {256, false}, {259, false}};
  for (const length_case& c : cases) {
    std::string exe = dir.path() + "\\";
    exe += std::string(c.length - exe.size() - 4, 'r') + ".exe";
    ASSERT_EQ(exe.size(), c.length);
    // Never created: the batch only loops until the file is gone.
    EXPECT_EQ(start_self_removal(exe.c_str()), c.started) << c.length;
    if (c.started) {
      EXPECT_TRUE(gone_within(exe + ".bat", 10000));
    } else {
      std::string cut = (exe + ".bat").substr(0, 259);
      EXPECT_FALSE(file_exists(cut)) << c.length;
    }
  }
}

}  // namespace
