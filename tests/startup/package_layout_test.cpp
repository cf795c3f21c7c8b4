#include "startup/package_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::byte> bytes(const std::string& s) {
  std::vector<std::byte> v(s.size());
  if (!s.empty()) std::memcpy(v.data(), s.data(), s.size());
  return v;
}

void put_u32(std::vector<std::byte>& v, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<std::byte>((x >> (8 * i)) & 0xFF));
}

// An end-of-central-directory record for an archive whose central directory
// has cd_size bytes at cd_offset.
std::vector<std::byte> eocd(std::uint32_t cd_size, std::uint32_t cd_offset) {
  std::vector<std::byte> v;
  put_u32(v, EOCD_SIGNATURE);
  for (int i = 0; i < 8; ++i) v.push_back(std::byte{0});
  put_u32(v, cd_size);
  put_u32(v, cd_offset);
  v.push_back(std::byte{0});
  v.push_back(std::byte{0});
  return v;
}

struct image_parts {
  std::string stub = "MZstub";
  std::string bitmap;
  std::string cfgdata = "[Setup]\ntitle=x\n";
  std::uint32_t magic = META_MAGIC;
  std::string archive_body;  // stands for members and central directory
};

std::vector<std::byte> make_image(const image_parts& p) {
  std::vector<std::byte> v = bytes(p.stub + p.bitmap + p.cfgdata);
  put_u32(v, p.magic);
  put_u32(v, static_cast<std::uint32_t>(p.cfgdata.size()));
  put_u32(v, static_cast<std::uint32_t>(p.bitmap.size()));
  std::vector<std::byte> body = bytes(p.archive_body);
  v.insert(v.end(), body.begin(), body.end());
  // The whole body counts as central directory at offset 0.
  std::vector<std::byte> end = eocd(static_cast<std::uint32_t>(body.size()), 0);
  v.insert(v.end(), end.begin(), end.end());
  return v;
}

TEST(LocatePackage, FindsEveryPieceOfAValidImage) {
  image_parts p;
  p.bitmap = "BMpicture";
  p.archive_body = "central";
  auto image = make_image(p);
  package_location loc = locate_package(image);
  ASSERT_EQ(loc.status, package_status::ok);
  EXPECT_EQ(loc.stub_length, 6);
  EXPECT_EQ(loc.bitmap_offset, 6u);
  EXPECT_EQ(loc.bitmap_length, 9u);
  EXPECT_EQ(loc.cfgdata_offset, 15u);
  EXPECT_EQ(loc.cfgdata_length, p.cfgdata.size());
  EXPECT_EQ(loc.meta_offset, 15u + p.cfgdata.size());
}

TEST(LocatePackage, WithoutPictureTheStubEndsAtCfgdata) {
  image_parts p;
  auto image = make_image(p);
  package_location loc = locate_package(image);
  ASSERT_EQ(loc.status, package_status::ok);
  EXPECT_EQ(loc.bitmap_length, 0u);
  EXPECT_EQ(static_cast<std::size_t>(loc.stub_length), loc.cfgdata_offset);
}

TEST(LocatePackage, RefusesImagesThatHoldNoPackage) {
  struct row {
    const char* name;
    std::vector<std::byte> image;
    package_status expected;
  };
  image_parts good;
  auto with_comment = make_image(good);
  with_comment.push_back(std::byte{'c'});  // an archive comment shifts the record
  auto wrong_magic = [&] {
    image_parts p;
    p.magic = 0x1234567C;
    return make_image(p);
  }();
  auto cd_too_large = bytes("MZ");
  auto e = eocd(1000, 0);
  cd_too_large.insert(cd_too_large.end(), e.begin(), e.end());
  auto wrapping = bytes(std::string(40, 'x'));
  auto e2 = eocd(0xFFFFFFF0u, 0x20u);  // sums wrap around 32 bits
  wrapping.insert(wrapping.end(), e2.begin(), e2.end());

  std::vector<row> rows = {
      {"empty", {}, package_status::no_archive},
      {"shorter than the record", bytes("PK\x05\x06"), package_status::no_archive},
      {"bare stub", bytes(std::string(100, 'M')), package_status::no_archive},
      {"archive comment", with_comment, package_status::no_archive},
      {"wrong magic", wrong_magic, package_status::bad_magic},
      {"central directory larger than the file", cd_too_large, package_status::bad_offset},
      {"sizes wrapping around", wrapping, package_status::bad_offset},
  };
  for (const row& r : rows) EXPECT_EQ(locate_package(r.image).status, r.expected) << r.name;
}

TEST(LocatePackage, RefusesLengthsThatReachBeforeTheImage) {
  image_parts p;
  auto image = make_image(p);
  package_location loc = locate_package(image);
  ASSERT_EQ(loc.status, package_status::ok);
  struct row {
    std::uint32_t cfg, bmp;
    package_status expected;
  };
  std::uint32_t room = static_cast<std::uint32_t>(loc.meta_offset);
  const row rows[] = {
      {room, 0, package_status::ok},
      {room + 1, 0, package_status::bad_lengths},
      {room, 1, package_status::bad_lengths},
      {0xFFFFFFFFu, 0xFFFFFFFFu, package_status::bad_lengths},
      {1, 0xFFFFFFFFu, package_status::bad_lengths},
  };
  for (const row& r : rows) {
    auto copy = image;
    std::byte* header = copy.data() + loc.meta_offset;
    for (int i = 0; i < 4; ++i) {
      header[4 + i] = static_cast<std::byte>((r.cfg >> (8 * i)) & 0xFF);
      header[8 + i] = static_cast<std::byte>((r.bmp >> (8 * i)) & 0xFF);
    }
    EXPECT_EQ(locate_package(copy).status, r.expected) << r.cfg << " " << r.bmp;
  }
}

TEST(SplitCfgdata, SeparatesSettingsAndScript) {
  struct row {
    std::string block;
    std::size_t settings;
    std::string script;
  };
  const row rows[] = {
      {std::string("A\0B\0", 4), 1, "B"},
      {"no nul at all", 13, ""},
      {std::string("S\0script to the end", 19), 1, "script to the end"},
      {std::string("\0\0", 2), 0, ""},
      {std::string("S\0", 2), 1, ""},
      {"", 0, ""},
  };
  for (const row& r : rows) {
    auto block = bytes(r.block);
    cfgdata_parts parts = split_cfgdata(block);
    EXPECT_EQ(parts.settings_length, r.settings) << r.block;
    std::string script(reinterpret_cast<const char*>(parts.script.data()), parts.script.size());
    EXPECT_EQ(script, r.script);
  }
}

std::vector<std::byte> bmp(std::int32_t width, std::int32_t height, std::uint16_t bits,
                           std::uint32_t bits_offset, std::size_t pixel_bytes) {
  std::vector<std::byte> v = bytes("BM");
  put_u32(v, 0);
  put_u32(v, 0);
  put_u32(v, bits_offset);
  put_u32(v, 40);
  put_u32(v, static_cast<std::uint32_t>(width));
  put_u32(v, static_cast<std::uint32_t>(height));
  v.push_back(std::byte{1});
  v.push_back(std::byte{0});
  v.push_back(static_cast<std::byte>(bits));
  v.push_back(std::byte{0});
  for (int i = 0; i < 6; ++i) put_u32(v, 0);
  v.resize(bits_offset + pixel_bytes);
  return v;
}

TEST(BitmapBlock, AcceptsOnlyPicturesWhoseBitsLieInsideTheBlock) {
  // 16 colours, 110 x 44: stride 56 bytes, 2464 bytes of bits after 14+40+64.
  EXPECT_TRUE(bitmap_block_is_sane(bmp(110, 44, 4, 118, 2464)));
  EXPECT_TRUE(bitmap_block_is_sane(bmp(110, -44, 4, 118, 2464)));  // top-down
  EXPECT_FALSE(bitmap_block_is_sane(bmp(110, 44, 4, 118, 2463)));  // one byte short
  auto far_bits = bmp(110, 44, 4, 118, 2464);
  far_bits[10] = far_bits[11] = far_bits[12] = far_bits[13] = std::byte{0xFF};
  EXPECT_FALSE(bitmap_block_is_sane(far_bits));
  EXPECT_FALSE(bitmap_block_is_sane(bmp(0x7FFFFFFF, 44, 32, 54, 2464)));  // huge width
  EXPECT_FALSE(bitmap_block_is_sane(bmp(110, 44, 3, 118, 2464)));         // no such depth
  EXPECT_FALSE(bitmap_block_is_sane(bytes("BM too short")));
}

}  // namespace
