// The batch file that removes the uninstaller copy, and its hidden process.
#include <windows.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/owner_win.h"
#include "driver/driver_win.h"
#include "support/test_files_win.h"
#include "uninstall/self_removal_win.h"

namespace {

std::string system_dir() {
  char dir[MAX_PATH];
  UINT n = GetSystemDirectoryA(dir, sizeof dir);
  return std::string(dir, n < sizeof dir ? n : 0);
}

std::string expected_batch(const std::string& system) {
  return "set tries=0\r\n:Repeat\r\ndel \"%~n0\"\r\nif not exist \"%~n0\" goto Done\r\n"
         "set /a tries+=1\r\nif %tries% geq 20 goto Done\r\n\"" +
         system + "\\ping.exe\" -n 2 127.0.0.1 >nul\r\ngoto Repeat\r\n:Done\r\ndel \"%~nx0\"\r\n";
}

// Whether a command interpreter that the process pid started still runs: the
// batch's process. (Wine's own helpers, such as its desktop process, may be
// children too.)
bool batch_running(DWORD pid) {
  unique_file snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
    if (entry.th32ParentProcessID == pid && _stricmp(entry.szExeFile, "cmd.exe") == 0) return true;
  return false;
}

TEST(SelfRemoval, BatchHoldsItsLinesInTextModeAndNamesOnlyAPlainSystemDirectory) {
  temp_folder dir;
  std::string batch = dir / "Removeexample.exe.bat";
  // An existing batch is truncated, not appended to.
  ASSERT_TRUE(write_removal_batch(batch.c_str(), system_dir().c_str()));
  ASSERT_TRUE(write_removal_batch(batch.c_str(), system_dir().c_str()));
  EXPECT_EQ(read_file(batch), expected_batch(system_dir()));
  EXPECT_FALSE(write_removal_batch((dir / "missing\\x.bat").c_str(), system_dir().c_str()));
  // cmd would expand the %, read the letter in another code page, or end the path at the quote.
  for (const char* system : {"C:\\Win%OS%", "C:\\Win\xf6", "C:\\Win\"&x"})
    EXPECT_FALSE(write_removal_batch((dir / "other.bat").c_str(), system)) << system;
  EXPECT_FALSE(file_exists(dir / "other.bat"));
}

TEST(SelfRemoval, BatchWaitsForTheExecutableThenRemovesBoth) {
  temp_folder dir;
  std::string exe = dir / "Removeexample.exe";
  ASSERT_TRUE(write_file(exe, "stand-in executable"));
  // Held open without delete sharing, as a running executable is.
  unique_file held(CreateFileA(exe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  ASSERT_TRUE(start_self_removal(exe.c_str()));
  // The batch runs while the executable is held, and cannot remove it yet.
  EXPECT_TRUE(wait_until([] { return batch_running(GetCurrentProcessId()); }, 10000));
  EXPECT_TRUE(file_exists(exe));
  EXPECT_EQ(read_file(exe + ".bat"), expected_batch(system_dir()));
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

TEST(SelfRemoval, NameWithoutRoomForBatSuffixOrWithPercentIsSkipped) {
  temp_folder dir;
  auto of_length = [&](std::size_t length) {
    std::string exe = dir.path() + "\\";
    return exe + std::string(length - exe.size() - 4, 'r') + ".exe";
  };
  struct row {
    std::string exe;
    bool started;
  };
  // The batch path needs the executable's path, ".bat" and its NUL in 260
  // bytes; cmd would expand a % in the name it is handed.
  const row rows[] = {{of_length(255), true},
                      {of_length(256), false},
                      {of_length(259), false},
                      {dir / "Remove100%.exe", false},
                      {dir / "Remove%OS%.exe", false}};
  for (const row& r : rows) {
    // Never created: the batch only tries until the file is gone.
    EXPECT_EQ(start_self_removal(r.exe.c_str()), r.started) << r.exe;
    if (r.started) {
      EXPECT_TRUE(gone_within(r.exe + ".bat", 10000));
    } else {
      EXPECT_FALSE(file_exists((r.exe + ".bat").substr(0, 259))) << r.exe;
    }
  }
}

// A name of the rows below in the ANSI code page, as the uninstaller sees it.
std::string ansi(const char* utf8) {
  wchar_t wide[MAX_PATH];
  char text[MAX_PATH] = "";
  BOOL lossy = FALSE;
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, MAX_PATH);
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, GetACP() == CP_UTF8 ? nullptr : &lossy);
  EXPECT_FALSE(lossy) << utf8;
  return text;
}

// What a planted decoy is: a program or a batch that leaves "<path>.ran"
// when something starts it, a folder, or a read-only program.
enum class decoy_kind { program, batch, folder, read_only };
struct decoy {
  decoy_kind kind;
  const char* path;  // UTF-8
};

// The folders and decoys one row plants, removed again when it goes.
class planted {
 public:
  planted() = default;
  planted(const planted&) = delete;
  planted& operator=(const planted&) = delete;
  ~planted() {
    for (const std::string& file : files_) {
      SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(file.c_str());
      DeleteFileA((file + ".ran").c_str());
    }
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder) remove_tree(*folder);
  }
  // Makes the folder and each missing one above it.
  void folder(const std::string& path) {
    for (std::size_t at = path.find('\\', 3); ; at = path.find('\\', at + 1)) {
      std::string part = path.substr(0, at);
      if (!directory_exists(part) && CreateDirectoryA(part.c_str(), nullptr)) folders_.push_back(part);
      if (at == std::string::npos) return;
    }
  }
  void plant(const decoy& d) {
    std::string path = ansi(d.path);
    // A decoy that an earlier, faulty run started late may have left its mark.
    DeleteFileA((path + ".ran").c_str());
    folder(path.substr(0, path.rfind('\\')));
    if (d.kind == decoy_kind::folder) {
      folder(path);
      return;
    }
    files_.push_back(path);
    if (d.kind == decoy_kind::batch) {
      ASSERT_TRUE(write_file(path, "echo ran>\"" + path + ".ran\"\r\n"));
      return;
    }
    ASSERT_TRUE(CopyFileA(windows_path(MARK_RUN).c_str(), path.c_str(), FALSE));
    if (d.kind == decoy_kind::read_only) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  }

 private:
  std::vector<std::string> folders_;
  std::vector<std::string> files_;
};

// The uninstaller copy in folders of every kind, run as its QuietUninstallString
// runs it: the copy and its batch go, and each decoy planted where a misread
// path of the batch would lead stays as it was, never started.
TEST(SelfRemovalE2E, EveryFolderLosesTheCopyAndTheBatchAndNothingElse) {
  using enum decoy_kind;
  struct row {
    const char* folder;  // UTF-8
    std::vector<decoy> decoys;
  };
  const row rows[] = {
      {"C:\\Program Files\\Python311", {{program, "C:\\Program.exe"}}},
      {"C:\\Program Files (x86)\\Python311-32", {{program, "C:\\Program.exe"}}},
      {"C:\\Py&x", {{program, "C:\\Py.exe"}, {batch, "C:\\x\\Removeedgepkg.exe.bat"}}},
      {"C:\\Py^x", {{batch, "C:\\Pyx\\Removeedgepkg.exe.bat"}}},
      {"C:\\Tools\\100%\\Py311", {{program, "C:\\Tools\\100\\Py311\\Removeedgepkg.exe"}}},
      {"C:\\Py%NOSUCHVAR%u", {{program, "C:\\Pyu\\Removeedgepkg.exe"}}},
      {"C:\\Py%OS%x", {{program, "C:\\PyWindows_NTx\\Removeedgepkg.exe"}}},
      {"C:\\Py%NOSUCHVAR%d", {{folder, "C:\\Pyd\\Removeedgepkg.exe"}}},
      {"C:\\Py%NOSUCHVAR%d", {{read_only, "C:\\Pyd\\Removeedgepkg.exe"}}},
      {"C:\\Py(x)", {{program, "C:\\Py.exe"}}},
      {"C:\\Py!x!", {{program, "C:\\Py\\Removeedgepkg.exe"}}},
      {"C:\\O'Neil ^&(1)!\\Py311", {{program, "C:\\O'Neil.exe"}}},
      {"C:\\Pythön311", {{program, "C:\\Pyth÷n311\\Removeedgepkg.exe"}}},
      {"C:\\users\\Jürgen\\AppData\\Local\\Programs\\Python\\Python313", {}},
      {"C:\\Python Ø 3", {}},  // a letter the OEM code page lacks
  };
  const std::string mark_run = read_file(windows_path(MARK_RUN));
  for (const row& r : rows) {
    SCOPED_TRACE(r.folder);
    planted scene;
    const std::string python = ansi(r.folder);
    scene.folder(python);
    for (const decoy& d : r.decoys) scene.plant(d);
    const std::string copy = python + "\\Removeedgepkg.exe";
    const std::string log = python + "\\edgepkg-kitpack.log";
    ASSERT_TRUE(CopyFileA(stub_path().c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(write_file(log, ""));

    driven_process uninstaller(copy, "-u \"" + log + "\" /S");
    EXPECT_EQ(uninstaller.wait_exit(), 0);
    EXPECT_TRUE(wait_until([&] { return !batch_running(uninstaller.pid()); }, 30000)) << "the batch runs on";
    EXPECT_EQ(folder_tree(python), std::vector<std::string>{});
    for (const decoy& d : r.decoys) {
      const std::string path = ansi(d.path);
      EXPECT_FALSE(file_exists(path + ".ran")) << d.path << " ran";
      if (d.kind == folder) {
        EXPECT_TRUE(directory_exists(path)) << d.path;
      } else {
        // Not EXPECT_EQ: a changed program is no text to print.
        EXPECT_TRUE(read_file(path) == (d.kind == batch ? "echo ran>\"" + path + ".ran\"\r\n" : mark_run))
            << d.path << " changed";
      }
    }
  }
}

}  // namespace
