// The six functions scripts call, run inside post-install scripts whose
// output the finish page's box shows.
#include <gtest/gtest.h>

#include <objidl.h>
#include <shlobj.h>

#include "common/chosen_python_win.h"
#include "python_runtime/install_scripts_win.h"
#include "python_runtime/python_fixture_win.h"
#include "record/compile_list.h"
#include "record/install_log_win.h"
#include "support/box_recorder_win.h"
#include "wizard/install_status_win.h"

namespace {

// Runs text as the post-install script and returns what the box shows.
std::string run_post(python_fixture& python, const std::string& text) {
  python.write_postinstall("post.py", text);
  finish_window page;
  std_streams_keeper keeper;
  install_ok = 1;
  run_postinstall_script(page.get(), python.target);
  keeper.restore();
  return page.text(IDC_OUTPUT_BOX);
}

std::string lower_path(std::string s) {
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string shell_folder(int id) {
  char path[MAX_PATH] = "";
  SHGetSpecialFolderPathA(nullptr, path, id, FALSE);
  return path;
}

TEST(Builtins, GetRootHkeyGivesTheRootsUnsignedThirtyTwoBitValue) {
  struct root_case {
    HKEY root;
    const char* printed;
  } cases[] = {{HKEY_LOCAL_MACHINE, "2147483650\r\n"}, {HKEY_CURRENT_USER, "2147483649\r\n"}};
  for (const root_case& c : cases) {
    python_fixture python("full");
    python.target.root_hkey = c.root;
    EXPECT_EQ(run_post(python, "print(get_root_hkey())\n"), c.printed);
  }
}

TEST(Builtins, GetRootHkeyWithoutPyLongFromVoidPtrRaisesOsError) {
  python_fixture python("no_long_from_void_ptr");
  std::string out = run_post(python, "print(get_root_hkey())\n");
  EXPECT_NE(out.find("OSError: function not available\r\n"), std::string::npos) << out;
}

TEST(Builtins, GetSpecialFolderPathIgnoresCaseAndRefusesUnknownNames) {
  struct folder_case {
    const char* name;
    std::string expected;
  } cases[] = {
      {"CSIDL_PROGRAMS", shell_folder(2) + "\r\n"},
      {"csidl_programs", shell_folder(2) + "\r\n"},
      {"Csidl_AppData", shell_folder(0x1A) + "\r\n"},
      {"CSIDL_PERSONAL",
       "Traceback (most recent call last):\r\n  File \"<string>\", line 1, in <module>\r\n"
       "ValueError: unknown CSIDL (CSIDL_PERSONAL)\r\n"
       "*** run_installscript: internal error 0xFFFFFFFF ***\r\n"},
  };
  for (const folder_case& c : cases) {
    python_fixture python("full");
    EXPECT_EQ(run_post(python, std::string("print(get_special_folder_path('") + c.name + "'))\n"), c.expected)
        << c.name;
  }
}

TEST(Builtins, GetSpecialFolderPathArgumentsMustBeOneString) {
  python_fixture python("full");
  std::string out = run_post(python,
                             "try:\n    get_special_folder_path(5)\nexcept TypeError:\n    print('type')\n"
                             "try:\n    get_special_folder_path()\nexcept TypeError:\n    print('count')\n");
  EXPECT_EQ(out, "type\r\ncount\r\n");
}

struct link_fields {
  std::string path, arguments, directory, description, icon;
  int icon_index = -1;
};

link_fields read_link(const std::string& file) {
  link_fields f;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  IPersistFile* persist = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    wchar_t name[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, name, MAX_PATH);
    if (SUCCEEDED(persist->Load(name, STGM_READ))) {
      char text[MAX_PATH];
      if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) f.path = text;
      if (SUCCEEDED(link->GetArguments(text, MAX_PATH))) f.arguments = text;
      if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) f.directory = text;
      if (SUCCEEDED(link->GetDescription(text, MAX_PATH))) f.description = text;
      if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &f.icon_index))) f.icon = text;
    }
  }
  if (persist) persist->Release();
  if (link) link->Release();
  CoUninitialize();
  return f;
}

TEST(Builtins, CreateShortcutWithThreeArgumentsSetsOnlyTargetAndDescription) {
  python_fixture python("full");
  std::string lnk = python.dir() + "\\three.lnk";
  std::string out = run_post(python, "create_shortcut(r'C:\\windows\\notepad.exe', 'Edit notes', r'" + lnk + "')\n");
  EXPECT_EQ(out, "");
  link_fields f = read_link(lnk);
  EXPECT_EQ(lower_path(f.path), "c:\\windows\\notepad.exe");
  EXPECT_EQ(f.description, "Edit notes");
  EXPECT_EQ(f.arguments, "");
  EXPECT_EQ(f.directory, "");
  EXPECT_EQ(f.icon, "");
}

TEST(Builtins, CreateShortcutAppliesEveryOptionalArgument) {
  python_fixture python("full");
  std::string lnk = python.dir() + "\\seven.lnk";
  std::string out = run_post(python, "create_shortcut(r'C:\\windows\\notepad.exe', 'Notes', r'" + lnk +
                                         "', '-x file', r'C:\\windows', r'C:\\windows\\notepad.exe', 2)\n");
  EXPECT_EQ(out, "");
  link_fields f = read_link(lnk);
  EXPECT_EQ(f.arguments, "-x file");
  EXPECT_EQ(f.directory, "C:\\windows");
  EXPECT_EQ(f.icon, "C:\\windows\\notepad.exe");
  EXPECT_EQ(f.icon_index, 2);
}

TEST(Builtins, CreateShortcutIntoAMissingFolderRaisesOsError) {
  python_fixture python("full");
  std::string lnk = python.dir() + "\\missing\\x.lnk";
  std::string out = run_post(python, "create_shortcut(r'C:\\windows\\notepad.exe', 'd', r'" + lnk + "')\n");
  std::string expected = "OSError: Failed to create shortcut '" + lnk + "' - error 0x8";
  EXPECT_NE(out.find(expected), std::string::npos) << out;
  EXPECT_FALSE(file_exists(lnk));
}

TEST(Builtins, FileAndDirectoryCreatedWriteRecordsAndCollectSources) {
  python_fixture python("full");
  python.open_log();
  compile_list = nullptr;
  std::string out = run_post(python,
                             "print(file_created(r'C:\\p\\a.py'))\nprint(directory_created(r'C:\\p'))\n"
                             "file_created(r'C:\\p\\b.txt')\n");
  EXPECT_EQ(out, "None\r\nNone\r\n");
  std::vector<std::string> lines = split_lines(python.log_text());
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[1], "200 File Copy: C:\\p\\a.py");
  EXPECT_EQ(lines[2], "100 Made Dir: C:\\p");
  EXPECT_EQ(lines[3], "200 File Copy: C:\\p\\b.txt");
  ASSERT_NE(compile_list, nullptr);
  EXPECT_STREQ(compile_list->path, "C:\\p\\a.py");
  EXPECT_EQ(compile_list->next, nullptr);
}

TEST(Builtins, MessageBoxShowsTheTextAndReturnsTheButton) {
  python_fixture python("full");
  box_recorder boxes;
  boxes.answer_next(IDNO);
  std::string out = run_post(python, "print(message_box('Remove the old files?', 'Example', 4))\n");
  EXPECT_EQ(out, "7\r\n");
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Remove the old files?");
  EXPECT_EQ(boxes.boxes()[0].caption, "Example");
  EXPECT_EQ(boxes.boxes()[0].type, 4u);
}

}  // namespace
