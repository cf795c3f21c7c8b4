#include "startup/package_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
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

// A picture block as a painting program writes it: file header, information
// header of any size, masks and colour table, pixel bits. Unless told
// otherwise every piece has the length the header asks for; table_delta and
// pixel_delta make a piece shorter or longer than that.
struct picture {
  std::uint32_t header_size = 40;
  std::int32_t width = 110, height = 44;  // 16 bits each in a core header
  std::uint16_t bits = 4;
  std::uint32_t compression = 0;
  std::uint32_t colours_used = 0;
  std::string rle;  // the bits of an RLE picture; its size is biSizeImage
  std::uint32_t size_image = 0xFFFFFFFF;  // as rle's size, unless set
  std::uint32_t profile_type = 0, profile_offset = 0, profile_size = 0;  // v5
  long table_delta = 0, pixel_delta = 0;
  // Exact lengths instead, for headers whose own lengths are absurd.
  std::size_t table = SIZE_MAX, pixels = SIZE_MAX;
  std::uint32_t bits_offset = 0;  // 0: right behind the colour table
};

// A 1 x 1 picture whose last piece is short by one byte, its bits at the
// start of that piece: only that piece runs past the block.
picture last_piece_short(picture p) {
  p.width = p.height = 1;
  p.table_delta = -1;
  p.pixels = 0;
  p.bits_offset = 14 + p.header_size;
  return p;
}

void put_u16(std::vector<std::byte>& v, std::uint32_t x) {
  v.push_back(static_cast<std::byte>(x & 0xFF));
  v.push_back(static_cast<std::byte>((x >> 8) & 0xFF));
}

void put_at(std::vector<std::byte>& v, std::size_t at, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<std::byte>((x >> (8 * i)) & 0xFF);
}

std::vector<std::byte> header_of(const picture& p) {
  std::vector<std::byte> h;
  put_u32(h, p.header_size);
  if (p.header_size == 12) {
    put_u16(h, static_cast<std::uint32_t>(p.width));
    put_u16(h, static_cast<std::uint32_t>(p.height));
    put_u16(h, 1);
    put_u16(h, p.bits);
    return h;
  }
  put_u32(h, static_cast<std::uint32_t>(p.width));
  put_u32(h, static_cast<std::uint32_t>(p.height));
  put_u16(h, 1);
  put_u16(h, p.bits);
  put_u32(h, p.compression);
  put_u32(h, p.size_image != 0xFFFFFFFF ? p.size_image : static_cast<std::uint32_t>(p.rle.size()));
  put_u32(h, 2835);
  put_u32(h, 2835);
  put_u32(h, p.colours_used);
  put_u32(h, 0);
  h.resize(p.header_size < 40 ? 40 : p.header_size);
  if (p.header_size >= 124) {
    put_at(h, 56, p.profile_type);
    put_at(h, 112, p.profile_offset);
    put_at(h, 116, p.profile_size);
  }
  h.resize(p.header_size);
  return h;
}

std::size_t table_size_of(const picture& p) {
  std::size_t colours = p.colours_used ? p.colours_used : p.bits <= 8 ? std::size_t{1} << p.bits : 0;
  std::size_t masks = p.compression == 3 && p.header_size == 40 ? 12 : 0;
  return masks + colours * (p.header_size == 12 ? 3 : 4);
}

std::size_t pixel_size_of(const picture& p) {
  if (p.compression == 1 || p.compression == 2) return p.rle.size();
  std::size_t stride = (static_cast<std::size_t>(p.width) * p.bits + 31) / 32 * 4;
  return stride * static_cast<std::size_t>(p.height < 0 ? -static_cast<long>(p.height) : p.height);
}

std::vector<std::byte> picture_block(const picture& p) {
  std::vector<std::byte> header = header_of(p);
  std::size_t table = p.table != SIZE_MAX ? p.table : table_size_of(p) + p.table_delta;
  std::size_t pixels = p.pixels != SIZE_MAX ? p.pixels : pixel_size_of(p) + p.pixel_delta;
  std::vector<std::byte> v = bytes("BM");
  put_u32(v, static_cast<std::uint32_t>(14 + header.size() + table + pixels));
  put_u32(v, 0);
  put_u32(v, p.bits_offset ? p.bits_offset : static_cast<std::uint32_t>(14 + header.size() + table));
  v.insert(v.end(), header.begin(), header.end());
  v.resize(v.size() + table, std::byte{0x40});
  std::vector<std::byte> rle = bytes(p.rle);
  v.insert(v.end(), rle.begin(), rle.end());
  v.resize(14 + header.size() + table + pixels, std::byte{0x11});
  return v;
}

// Two rows of 8 pixels: a run, an absolute run of 3 (padded), end of line,
// a delta, a run, end of bitmap.
const std::string rle8(
    "\x05\x01"
    "\x00\x03\x02\x03\x04\x00"
    "\x00\x00"
    "\x00\x02\x01\x00"
    "\x07\x09"
    "\x00\x01",
    18);
// RLE4: an absolute run of 5 pixels takes 3 bytes, padded to 4.
const std::string rle4(
    "\x03\x12"
    "\x00\x05\x12\x34\x50\x00"
    "\x00\x01",
    10);

picture core(std::uint16_t bits) {
  picture p;
  p.header_size = 12;
  p.width = 48;
  p.height = 48;
  p.bits = bits;
  return p;
}

picture info(std::uint32_t header_size, std::uint16_t bits, std::uint32_t compression = 0) {
  picture p;
  p.header_size = header_size;
  p.bits = bits;
  p.compression = compression;
  return p;
}

template <typename F>
picture with(picture p, F change) {
  change(p);
  return p;
}

TEST(BitmapBlock, AcceptsEveryHeaderTheSystemDraws) {
  const struct {
    const char* what;
    picture p;
  } rows[] = {
      {"core header, 24 bits", core(24)},
      {"core header, 8 bits, 256 RGBTRIPLEs", core(8)},
      {"core header, 4 bits", core(4)},
      {"core header, 1 bit", core(1)},
      {"info header, 16 colours", info(40, 4)},
      {"info header, top-down", with(info(40, 4), [](picture& p) { p.height = -44; })},
      {"info header, 8 bits, a short colour table",
       with(info(40, 8), [](picture& p) { p.colours_used = 16; })},
      {"info header, 1 bit, 1 pixel wide", with(info(40, 1), [](picture& p) { p.width = 1; })},
      {"info header, 16 bits", info(40, 16)},
      {"info header, 24 bits", info(40, 24)},
      {"info header, 32 bits", info(40, 32)},
      {"info header, 16 bits with masks behind it", info(40, 16, 3)},
      {"info header, 32 bits with masks behind it", info(40, 32, 3)},
      {"info header, 24 bits with an optional colour table",
       with(info(40, 24), [](picture& p) { p.colours_used = 2; })},
      {"v4 header, 32 bits, masks inside it", info(108, 32, 3)},
      {"v5 header, 24 bits", info(124, 24)},
      {"v5 header, 8 bits", info(124, 8)},
      {"v5 header, profile inside the block", with(info(124, 24), [](picture& p) {
         p.profile_type = 0x4D424544;  // embedded
         p.profile_offset = 124;
         p.profile_size = 16;
       })},
      {"v5 header, offsets of a profile it does not have",
       with(info(124, 24), [](picture& p) { p.profile_offset = 0xFFFFFFF0; p.profile_size = 64; })},
      {"RLE8", with(info(40, 8, 1), [](picture& p) { p.width = 8; p.height = 2; p.rle = rle8; })},
      {"RLE4", with(info(40, 4, 2), [](picture& p) { p.width = 8; p.height = 1; p.rle = rle4; })},
      {"bits followed by more bytes", with(info(40, 24), [](picture& p) { p.pixel_delta = 7; })},
  };
  for (const auto& r : rows) EXPECT_TRUE(bitmap_block_is_sane(picture_block(r.p))) << r.what;
}

TEST(BitmapBlock, RefusesPicturesThatWouldBeReadPastTheBlock) {
  const struct {
    const char* what;
    picture p;
  } rows[] = {
      {"core header, pixel bits one byte short", with(core(24), [](picture& p) { p.pixel_delta = -1; })},
      {"core header, colour table one byte short", last_piece_short(core(8))},
      {"core header, no width", with(core(24), [](picture& p) { p.width = 0; })},
      {"core header, no height", with(core(24), [](picture& p) { p.height = 0; })},
      {"info header, pixel bits one byte short", with(info(40, 4), [](picture& p) { p.pixel_delta = -1; })},
      {"info header, top-down, one byte short", with(info(40, 4), [](picture& p) {
         p.height = -44;
         p.pixel_delta = -1;
       })},
      {"info header, colour table one byte short",
       last_piece_short(with(info(40, 8), [](picture& p) { p.colours_used = 16; }))},
      {"info header, masks one byte short", last_piece_short(info(40, 16, 3))},
      {"info header, masks in, colour table one byte short",
       last_piece_short(with(info(40, 32, 3), [](picture& p) { p.colours_used = 1; }))},
      {"info header, colour count far past the block",
       with(info(40, 8), [](picture& p) { p.colours_used = 0x40000001; p.table = 1024; })},
      {"v5 header, embedded profile past the block", with(info(124, 24), [](picture& p) {
         p.profile_type = 0x4D424544;
         p.profile_offset = 124;
         p.profile_size = 0xFFFFFFF0;
       })},
      {"v5 header, linked profile name past the block", with(info(124, 24), [](picture& p) {
         p.profile_type = 0x4C494E4B;
         p.profile_offset = 0xFFFFFFF0;
         p.profile_size = 4;
       })},
      {"a row size that wraps 32 bits", with(info(40, 32), [](picture& p) {
         p.width = 0x40000000;
         p.height = 1;
         p.pixels = 64;
       })},
      {"largest width and height", with(info(40, 32), [](picture& p) {
         p.width = 0x7FFFFFFF;
         p.height = -0x7FFFFFFF;
         p.pixels = 64;
       })},
      {"no width", with(info(40, 24), [](picture& p) { p.width = 0; })},
      {"negative width", with(info(40, 24), [](picture& p) { p.width = -4; p.pixels = 4096; })},
      {"no height", with(info(40, 24), [](picture& p) { p.height = 0; })},
      {"height without a positive counterpart", with(info(40, 24), [](picture& p) {
         p.height = INT32_MIN;
         p.pixels = 4096;
       })},
      {"3 bits per pixel", with(info(40, 3), [](picture& p) { p.pixel_delta = 4096; })},
      {"0 bits per pixel", with(info(40, 0), [](picture& p) { p.pixel_delta = 4096; })},
      {"RLE8 at 4 bits", with(info(40, 4, 1), [](picture& p) { p.width = 8; p.height = 2; p.rle = rle8; })},
      {"RLE4 at 8 bits", with(info(40, 8, 2), [](picture& p) { p.width = 8; p.height = 1; p.rle = rle4; })},
      {"masks at 24 bits", with(info(40, 24, 3), [](picture& p) { p.table_delta = 12; })},
      {"JPEG bits", with(info(40, 24, 4), [](picture& p) { p.size_image = 16; })},
      {"RLE8 without its end-of-bitmap code", with(info(40, 8, 1), [](picture& p) {
         p.width = 8; p.height = 2; p.rle = rle8.substr(0, 16);
       })},
      {"RLE8 absolute run past the stream", with(info(40, 8, 1), [](picture& p) {
         p.width = 8; p.height = 2; p.rle = std::string("\x00\x08\x01\x02\x03", 5);
         p.pixel_delta = 64;  // bytes behind the stream do not count
       })},
      {"RLE4 delta past the stream", with(info(40, 4, 2), [](picture& p) {
         p.width = 8; p.height = 1; p.rle = std::string("\x00\x02\x01", 3);
       })},
      {"RLE stream size larger than the block", with(info(40, 8, 1), [](picture& p) {
         p.width = 8; p.height = 2; p.rle = rle8; p.size_image = 19;
       })},
      {"RLE without a stream size", with(info(40, 8, 1), [](picture& p) {
         p.width = 8; p.height = 2; p.rle = rle8; p.size_image = 0;
       })},
  };
  for (const auto& r : rows) EXPECT_FALSE(bitmap_block_is_sane(picture_block(r.p))) << r.what;
}

TEST(BitmapBlock, RefusesHeadersOfNoKnownSizeOrPastTheBlock) {
  const struct {
    const char* what;
    std::uint32_t header_size;
  } rows[] = {
      {"no header size", 0},
      {"between the core and the info header", 20},
      {"one byte short of the info header", 39},
      {"larger than the block", 0xFFFFFFFF},
  };
  for (const auto& r : rows) {
    std::vector<std::byte> block = picture_block(info(40, 24));
    put_at(block, 14, r.header_size);
    EXPECT_FALSE(bitmap_block_is_sane(block)) << r.what;
  }
  std::vector<std::byte> v5 = picture_block(info(124, 1));
  for (std::size_t keep : {std::size_t{0}, std::size_t{13}, std::size_t{17}, std::size_t{14 + 123}}) {
    std::vector<std::byte> cut(v5.begin(), v5.begin() + keep);
    EXPECT_FALSE(bitmap_block_is_sane(cut)) << keep << " bytes";
  }
  std::vector<std::byte> far_bits = picture_block(info(40, 4));
  put_at(far_bits, 10, 0xFFFFFFFF);
  EXPECT_FALSE(bitmap_block_is_sane(far_bits)) << "bits offset past the block";
  EXPECT_FALSE(bitmap_block_is_sane(bytes("BM too short")));
}

// A stub with PE headers as the linker writes them: 512 bytes of headers,
// then one section of 512 bytes; PE32 (0x10B) or PE32+ (0x20B).
constexpr std::size_t PE_AT = 0x40, OPTIONAL_AT = PE_AT + 24;
std::size_t security_at(std::uint16_t magic) { return OPTIONAL_AT + (magic == 0x10B ? 128 : 144); }

std::vector<std::byte> pe_stub(std::uint16_t magic = 0x20B) {
  std::vector<std::byte> v(1024, std::byte{0});
  v[0] = std::byte{'M'}, v[1] = std::byte{'Z'};
  put_at(v, 0x3C, PE_AT);
  put_at(v, PE_AT, 0x00004550);
  std::uint32_t optional_size = magic == 0x10B ? 224 : 240;
  put_at(v, PE_AT + 4, 1u << 16);              // one section
  put_at(v, PE_AT + 20, optional_size);        // and the characteristics' low half
  put_at(v, OPTIONAL_AT, magic);
  put_at(v, OPTIONAL_AT + 60, 512);            // size of the headers
  put_at(v, OPTIONAL_AT + (magic == 0x10B ? 92 : 108), 16);
  std::size_t section = OPTIONAL_AT + optional_size;
  put_at(v, section + 16, 512);
  put_at(v, section + 20, 512);
  for (std::size_t i = 512; i < 1024; ++i) v[i] = std::byte{0xCC};
  return v;
}

std::vector<std::byte> package_on(const std::vector<std::byte>& stub, std::size_t body) {
  image_parts p;
  p.stub.assign(reinterpret_cast<const char*>(stub.data()), stub.size());
  p.archive_body = std::string(body, 'z');
  return make_image(p);
}

// The image, pad zeros and a certificate table of the given size, with the
// security entry naming it (table_offset and table_size override the entry).
constexpr std::uint64_t AS_IS = ~std::uint64_t{0};
struct signing {
  std::size_t pad = 0;
  std::uint32_t table_size = 1480;
  std::uint64_t table_offset = AS_IS;  // where the table stands
  std::uint64_t entry_size = AS_IS;    // table_size
};

std::vector<std::byte> signed_file(std::vector<std::byte> image, const signing& s,
                                   std::uint16_t magic = 0x20B) {
  std::size_t at = image.size() + s.pad;
  image.resize(at, std::byte{0});
  for (std::uint32_t i = 0; i < s.table_size; ++i) image.push_back(static_cast<std::byte>(0x30 + i % 7));
  std::uint64_t offset = s.table_offset == AS_IS ? at : s.table_offset;
  put_at(image, security_at(magic), static_cast<std::uint32_t>(offset));
  put_at(image, security_at(magic) + 4,
         static_cast<std::uint32_t>(s.entry_size == AS_IS ? s.table_size : s.entry_size));
  return image;
}

TEST(ImageFromFile, EndsASignedImageInFrontOfItsPaddingAndTable) {
  const std::vector<std::byte> image = package_on(pe_stub(), 100);
  const std::vector<std::byte> image32 = package_on(pe_stub(0x10B), 3);
  const std::size_t n = image.size();
  const std::size_t end_of_sections = 1024;
  std::vector<std::byte> padding_not_zero = signed_file(image, {.pad = 3});
  padding_not_zero[n + 1] = std::byte{1};
  struct row {
    const char* what;
    std::vector<std::byte> file;
    std::size_t image_size;
  };
  const row rows[] = {
      {"unsigned", image, n},
      {"no PE headers", package_on({}, 5), package_on({}, 5).size()},
      {"signed, no padding", signed_file(image, {}), n},
      {"signed, 7 bytes of padding", signed_file(image, {.pad = 7}), n},
      {"signed PE32, 5 bytes of padding", signed_file(image32, {.pad = 5}, 0x10B), image32.size()},
      // A nested signature lengthens the one table the entry names.
      {"nested signatures", signed_file(image, {.pad = 2, .table_size = 2992}), n},
      {"signed bare stub", signed_file(pe_stub(), {}), end_of_sections},
      // Only the end record ends the image: zeros in front of the table
      // beyond 7, or a byte that is no zero, are the image's own.
      {"8 zeros of padding", signed_file(image, {.pad = 8}), n + 8},
      {"padding not zero", padding_not_zero, n + 3},
      {"offset 0", signed_file(image, {.table_offset = 0}), n + 1480},
      {"size 0", signed_file(image, {.entry_size = 0}), n + 1480},
      {"past the end", signed_file(image, {.entry_size = 1481}), n + 1480},
      {"short of the end", signed_file(image, {.entry_size = 1479}), n + 1480},
      {"overlapping the stub", signed_file(image, {.table_offset = 1000, .entry_size = n + 480}), n + 1480},
      {"in the headers", signed_file(image, {.table_offset = 8, .entry_size = n + 1472}), n + 1480},
      // Offset and size whose 32-bit sum wraps around to the file's size.
      {"size wrapping", signed_file(image, {.table_offset = 0x80000000, .entry_size = n + 1480 + 0x80000000}),
       n + 1480},
      {"offset past the end", signed_file(image, {.table_offset = 0xFFFFFFFF, .entry_size = n + 1481}),
       n + 1480},
  };
  for (const row& r : rows) {
    std::span<const std::byte> got = image_from_file(r.file);
    EXPECT_EQ(got.data(), r.file.data()) << r.what;
    EXPECT_EQ(got.size(), r.image_size) << r.what;
  }
}

TEST(ImageFromFile, DamagedHeadersMeanNoSignature) {
  const std::vector<std::byte> file = signed_file(package_on(pe_stub(), 100), {.pad = 4});
  const std::size_t section_table = OPTIONAL_AT + 240;
  struct row {
    const char* what;
    std::size_t at;
    std::uint32_t value;
  };
  const row rows[] = {
      {"no MZ", 0, 0x00005A4E},
      {"PE header past the end", 0x3C, 0xFFFFFFF0},
      {"PE header at the file's last bytes", 0x3C, static_cast<std::uint32_t>(file.size() - 20)},
      {"no PE signature", PE_AT, 0x00004551},
      {"unknown optional header", OPTIONAL_AT, 0x107},
      {"four data directories", OPTIONAL_AT + 108, 4},
      {"optional header without entry 4", PE_AT + 20, 150},
      {"optional header past the end", PE_AT + 20, 0xFFFF},
      {"section table past the end", PE_AT + 4, 0xFFFF0000},
      {"headers reaching the table", OPTIONAL_AT + 60, static_cast<std::uint32_t>(file.size() - 100)},
      {"a section reaching the table", section_table + 20, static_cast<std::uint32_t>(file.size() - 600)},
      {"a section wrapping 32 bits", section_table + 16, 0xFFFFFFF0},
  };
  for (const row& r : rows) {
    std::vector<std::byte> damaged = file;
    put_at(damaged, r.at, r.value);
    EXPECT_EQ(image_from_file(damaged).size(), damaged.size()) << r.what;
  }
  EXPECT_EQ(image_from_file({}).size(), 0u);
  EXPECT_EQ(image_from_file(std::span(file).first(0x3E)).size(), 0x3Eu) << "cut inside the DOS header";
}

TEST(StaleSecurityEntry, ClearsOnlyAnEntryPointingPastTheCopy) {
  const std::vector<std::byte> image = package_on(pe_stub(), 100);
  const std::size_t stub = 1024;
  auto copy_of = [&](const std::vector<std::byte>& file) { return std::span(file).first(stub); };
  const std::vector<std::byte> signed_image = signed_file(image, {.pad = 1});
  const std::vector<std::byte> signed32 = signed_file(package_on(pe_stub(0x10B), 9), {}, 0x10B);
  // A stub signed before the package was appended keeps its own signature.
  const std::vector<std::byte> signed_stub = package_on(signed_file(pe_stub(), {.table_size = 16}), 9);
  EXPECT_EQ(stale_security_entry(copy_of(signed_image)), security_at(0x20B));
  EXPECT_EQ(stale_security_entry(copy_of(signed32)), security_at(0x10B));
  EXPECT_EQ(stale_security_entry(copy_of(image)), 0u);
  EXPECT_EQ(stale_security_entry(std::span(signed_stub).first(stub + 16)), 0u);
  EXPECT_EQ(stale_security_entry(std::span(signed_image).first(0x40)), 0u) << "no headers";
}

}  // namespace
