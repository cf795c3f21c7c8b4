// The start-up shell under Wine: the error box, the mapped image, the package's
// temporary settings file, the settings and the picture.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "startup/package_image_win.h"
#include "startup/package_layout.h"
#include "startup/setup_config.h"
#include "startup/setup_config_win.h"
#include "startup/startup_win.h"
#include "support/box_recorder_win.h"
#include "support/test_files_win.h"

namespace {

std::string u32(std::uint32_t x) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((x >> (8 * i)) & 0xFF);
  return s;
}

// stub | bitmap | cfgdata | meta_header | a zip holding only its end record.
std::string make_image(const std::string& stub, const std::string& bitmap, const std::string& cfgdata,
                       std::uint32_t magic = META_MAGIC) {
  std::string eocd = u32(EOCD_SIGNATURE) + std::string(8, '\0') + u32(0) + u32(0) + std::string(2, '\0');
  return stub + bitmap + cfgdata + u32(magic) + u32(static_cast<std::uint32_t>(cfgdata.size())) +
         u32(static_cast<std::uint32_t>(bitmap.size())) + eocd;
}

int open(const std::string& image) {
  return open_package(reinterpret_cast<const std::byte*>(image.data()),
                      static_cast<std::uint32_t>(image.size()));
}

struct temp_config {
  ~temp_config() {
    if (config_path) DeleteFileA(config_path);
  }
};

TEST(ReportSystemError, ShowsTheTextAloneWithoutErrorCode) {
  box_recorder boxes;
  EXPECT_EQ(report_system_error(0, "Could not open archive"), 0);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Could not open archive");
  EXPECT_EQ(boxes.boxes()[0].caption, "Runtime Error");
  EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_ICONERROR | MB_OK));
}

TEST(ReportSystemError, PutsTheSystemTextFirstAndKeepsPercentSigns) {
  box_recorder boxes;
  char* system = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, ERROR_ACCESS_DENIED, 0, reinterpret_cast<char*>(&system), 0, nullptr);
  ASSERT_NE(system, nullptr);
  std::string expected = std::string(system) + "100% %s %d";
  LocalFree(system);
  report_system_error(ERROR_ACCESS_DENIED, "100% %s %d");
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, expected);
}

TEST(MapImage, MapsAWholeFileReadOnlyOrReportsWhyNot) {
  temp_folder dir;
  ASSERT_TRUE(write_file(dir / "a.bin", "hello image"));
  mapped_image image = map_image((dir / "a.bin").c_str());
  ASSERT_NE(image.base, nullptr);
  EXPECT_EQ(image.size, 11u);
  EXPECT_EQ(std::memcmp(image.base, "hello image", 11), 0);
  unmap_image(image.base);

  mapped_image missing = map_image((dir / "none.bin").c_str());
  EXPECT_EQ(missing.base, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(OpenPackage, WritesTheSettingsFileAndCopiesTheScript) {
  struct row {
    std::string cfgdata;
    std::string file;    // expected temporary file content
    std::string script;  // expected pre-install script
  };
  const row rows[] = {
      {std::string("A\0B\0", 4), std::string("A\0\0\0", 4), "B"},
      {"[Setup]\ntitle=t\n", "[Setup]\ntitle=t\n", ""},  // no NUL: no script
      {std::string("S\0script to the end", 19), std::string("S") + std::string(18, '\0'), "script to the end"},
  };
  for (const row& r : rows) {
    temp_config cleanup;
    std::string image = make_image("MZstub", "", r.cfgdata);
    ASSERT_EQ(open(image), 1);
    ASSERT_NE(config_path, nullptr);
    EXPECT_EQ(read_file(config_path), r.file);
    ASSERT_NE(preinstall_script, nullptr);
    EXPECT_EQ(std::string(preinstall_script), r.script);
    EXPECT_EQ(stub_length, 6);
    std::string name = config_path;
    EXPECT_NE(name.find("\\~du"), std::string::npos) << name;
  }
}

TEST(OpenPackage, StubLengthEndsBeforeThePicture) {
  temp_config cleanup;
  bitmap_data = nullptr;
  std::string image = make_image("MZstub", "BMpicture", std::string("S\0", 2));
  ASSERT_EQ(open(image), 1);
  EXPECT_EQ(stub_length, 6);
  EXPECT_EQ(reinterpret_cast<const char*>(bitmap_data), image.data() + 6);
}

TEST(OpenPackage, RefusesImagesWithoutAPackage) {
  box_recorder boxes;
  EXPECT_EQ(open(std::string(200, 'M')), 0);  // bare stub
  EXPECT_EQ(config_path, nullptr);
  EXPECT_EQ(open(make_image("MZ", "", "")), 0);  // cfgdata_length 0
  EXPECT_EQ(config_path, nullptr);
  EXPECT_TRUE(boxes.boxes().empty());

  EXPECT_EQ(open(make_image("MZ", "", "S", META_MAGIC + 1)), 0);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Invalid cfgdata magic number (see mkpkg_kitpack)");
  EXPECT_EQ(boxes.boxes()[0].caption, "Runtime Error");
  EXPECT_EQ(config_path, nullptr);
  EXPECT_EQ(preinstall_script, nullptr);
}

void write_settings(const temp_folder& dir, const std::string& text) {
  static std::string path;
  path = dir / "settings.ini";
  ASSERT_TRUE(write_file(path, text));
  config_path = path.data();
}

TEST(ReadSetupConfig, ReadsEverySettingWithItsDefault) {
  temp_folder dir;
  box_recorder boxes;
  write_settings(dir, "[metadata]\nname=example\n[Setup]\ntitle=Example\\n1.0\ninfo=a\\tb\n"
                      "build_info=built\ntarget_compile=0\ntarget_version=2.5\n"
                      "install_script=post.py\nuser_access_control=auto\n");
  read_setup_config();
  const setup_config_fields& c = setup_config;
  EXPECT_STREQ(c.title, "Example\r\n1.0");
  EXPECT_STREQ(c.info, "atb");
  EXPECT_STREQ(c.build_info, "built");
  EXPECT_EQ(c.target_compile, 0);
  EXPECT_EQ(c.target_optimize, 1);
  EXPECT_STREQ(c.target_version, "2.5");
  EXPECT_STREQ(c.meta_name, "example");
  EXPECT_STREQ(c.install_script, "post.py");
  EXPECT_STREQ(c.user_access_control, "auto");
  EXPECT_TRUE(boxes.boxes().empty());
  config_path = nullptr;
}

TEST(ReadSetupConfig, CutsLongValuesToTheirWidths) {
  temp_folder dir;
  box_recorder boxes;
  std::string long_text(300, 'x');
  write_settings(dir, "[metadata]\nname=" + long_text + "\n[Setup]\ntitle=" + long_text +
                          "\nbuild_info=" + long_text + "\ntarget_version=2.5.1234567\n");
  read_setup_config();
  EXPECT_EQ(std::strlen(setup_config.title), 78u);
  EXPECT_EQ(std::strlen(setup_config.build_info), 79u);
  EXPECT_EQ(std::strlen(setup_config.meta_name), 79u);
  EXPECT_STREQ(setup_config.target_version, "2.5.12345");
  EXPECT_STREQ(setup_config.info, "");
  config_path = nullptr;
}

TEST(ReadSetupConfig, WarnsAboutAnUnknownUserAccessControlValue) {
  struct row {
    const char* value;
    bool warned;
  };
  const row rows[] = {{"Force", true}, {"yes", true}, {"force", false}, {"none", false}, {"", false}};
  for (const row& r : rows) {
    temp_folder dir;
    box_recorder boxes;
    write_settings(dir, std::string("[Setup]\nuser_access_control=") + r.value + "\n");
    read_setup_config();
    ASSERT_EQ(boxes.boxes().size(), r.warned ? 1u : 0u) << r.value;
    if (r.warned) {
      EXPECT_EQ(boxes.boxes()[0].text, "Bad user_access_control value");
      EXPECT_EQ(boxes.boxes()[0].caption, "oops");
      EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_OK));
    }
    config_path = nullptr;
  }
}

// A 2 x 2 picture with 2 colours, bits at offset 62.
std::string small_bmp() {
  std::string info = u32(40) + u32(2) + u32(2) + std::string("\x01\x00\x01\x00", 4) + u32(0) + u32(8) +
                     u32(0) + u32(0) + u32(0) + u32(0);
  std::string colours = std::string("\0\0\0\0\xff\xff\xff\0", 8);
  std::string bits = std::string("\x80\0\0\0\x40\0\0\0", 8);
  return "BM" + u32(0) + u32(0) + u32(62) + info + colours + bits;
}

TEST(CreatePackageBitmap, MakesThePictureOnceAndOnlyFromASaneBlock) {
  temp_config cleanup;
  std::string image = make_image("MZ", small_bmp(), std::string("S\0", 2));
  ASSERT_EQ(open(image), 1);
  package_bitmap = nullptr;
  create_package_bitmap(nullptr);
  HBITMAP first = package_bitmap;
  EXPECT_NE(first, nullptr);
  create_package_bitmap(nullptr);
  EXPECT_EQ(package_bitmap, first);
  DeleteObject(first);
  package_bitmap = nullptr;

  std::string broken = small_bmp();
  broken[10] = '\xff';  // bits far past the block
  std::string bad_image = make_image("MZ", broken, std::string("S\0", 2));
  ASSERT_EQ(open(bad_image), 1);
  create_package_bitmap(nullptr);
  EXPECT_EQ(package_bitmap, nullptr);
}

}  // namespace
