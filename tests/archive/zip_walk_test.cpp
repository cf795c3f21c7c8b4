#include "archive/zip_walk.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/zip_builder.h"

namespace {

std::span<const std::byte> span_of(const std::string& s) {
  return {reinterpret_cast<const std::byte*>(s.data()), s.size()};
}

struct walked {
  std::vector<std::byte> bytes;  // exactly the image: the sanitizer sees any overread
  bool opened = false;
  std::vector<zip_member> members;
  zip_step last = zip_step::end;
};

walked walk(const std::string& image) {
  walked w;
  w.bytes = std::vector<std::byte>(span_of(image).begin(), span_of(image).end());
  zip_cursor cursor;
  w.opened = open_zip(w.bytes, cursor);
  if (!w.opened) return w;
  zip_member m;
  while ((w.last = next_member(cursor, m)) == zip_step::member) w.members.push_back(m);
  return w;
}

std::string text_of(std::span<const std::byte> s) {
  return {reinterpret_cast<const char*>(s.data()), s.size()};
}

TEST(ZipWalk, ReadsEveryFieldOfEachMemberInDirectoryOrder) {
  zip_entry stored = entry("PURELIB/pkg/a.txt", "hello", 0);
  zip_entry deflated = entry("SCRIPTS/tool.py", std::string(300, 'x'), 8);
  deflated.dos_date = 0x3861;
  deflated.dos_time = 0x51E0;
  zip_entry directory = entry("DATA/empty/", "", 0);
  std::string image = build_zip({stored, deflated, directory}, "MZ stub and package data");
  walked w = walk(image);
  ASSERT_TRUE(w.opened);
  EXPECT_EQ(w.last, zip_step::end);
  ASSERT_EQ(w.members.size(), 3u);
  const zip_member& a = w.members[0];
  EXPECT_EQ(a.name, "PURELIB/pkg/a.txt");
  EXPECT_EQ(a.method, METHOD_STORED);
  EXPECT_EQ(a.uncompressed_size, 5u);
  EXPECT_EQ(text_of(a.data), "hello");
  EXPECT_EQ(a.crc32, crc32(0, reinterpret_cast<const Bytef*>("hello"), 5));
  const zip_member& b = w.members[1];
  EXPECT_EQ(b.method, METHOD_DEFLATED);
  EXPECT_EQ(b.dos_date, 0x3861);
  EXPECT_EQ(b.dos_time, 0x51E0);
  EXPECT_EQ(b.uncompressed_size, 300u);
  EXPECT_EQ(text_of(b.data), raw_deflate(std::string(300, 'x')));
  // Inflate gets one byte more than the compressed data.
  EXPECT_EQ(b.inflate_input.size(), b.compressed_size + 1u);
  EXPECT_EQ(w.members[2].name, "DATA/empty/");
  EXPECT_EQ(w.members[2].local_name_length, 11);
}

TEST(ZipWalk, AnEmptyArchiveOpensAndEndsAtOnce) {
  walked w = walk(build_zip({}, "stub"));
  EXPECT_TRUE(w.opened);
  EXPECT_TRUE(w.members.empty());
  EXPECT_EQ(w.last, zip_step::end);
}

TEST(ZipWalk, TheLocalNameLengthDecidesHowMuchOfTheCentralNameIsUsed) {
  std::string image = build_zip({entry("PURELIB/abc.py", "x", 0)});
  // Shorten the local name length by two: the central name is read with it.
  std::size_t local_name_length = 26;
  image[local_name_length] = static_cast<char>(12);
  // The data now starts two bytes earlier: make it stored data of those bytes.
  walked w = walk(image);
  ASSERT_EQ(w.members.size(), 1u);
  EXPECT_EQ(w.members[0].name, "PURELIB/abc.");
}

// One damage per row; none of them may be read past, and the walk stops.
struct damage_row {
  const char* what;
  void (*damage)(std::string& image);
  bool opens;
};

std::string two_members() {
  return build_zip({entry("a.txt", "first member", 0), entry("b.txt", std::string(100, 'b'), 8)}, "stub");
}

std::size_t end_record(const std::string& image) { return image.size() - 22; }
std::size_t central_start(const std::string& image) {
  return image.find("PK\x01\x02");
}
std::size_t second_central(const std::string& image) {
  return image.find("PK\x01\x02", central_start(image) + 1);
}
void set32(std::string& image, std::size_t at, std::uint32_t v) {
  std::string bytes;
  put32(bytes, v);
  image.replace(at, 4, bytes);
}
void set16(std::string& image, std::size_t at, unsigned v) {
  std::string bytes;
  put16(bytes, v);
  image.replace(at, 2, bytes);
}

TEST(ZipWalk, DamagedOrTruncatedImagesStopTheWalkWithoutReadingOutside) {
  const damage_row rows[] = {
      {"no end record", [](std::string& i) { i[end_record(i)] = 'X'; }, false},
      {"shorter than an end record", [](std::string& i) { i = i.substr(i.size() - 21); }, false},
      {"directory larger than the image",
       [](std::string& i) { set32(i, end_record(i) + 12, 0xFFFFFFF0u); }, false},
      {"directory offset past the image",
       [](std::string& i) { set32(i, end_record(i) + 16, 0x7FFFFFFFu); }, false},
      {"wrong central signature", [](std::string& i) { i[second_central(i)] = 'X'; }, true},
      {"wrong local signature", [](std::string& i) { i[i.find("PK\x03\x04", 10)] = 'X'; }, true},
      {"count larger than the entries", [](std::string& i) { set16(i, end_record(i) + 10, 3); }, true},
      {"local header offset past the image",
       [](std::string& i) { set32(i, second_central(i) + 42, 0xFFFFFFF0u); }, true},
      {"local header cut by the image's end",
       [](std::string& i) { set32(i, second_central(i) + 42, static_cast<std::uint32_t>(i.size() - 4 - 10)); }, true},
      {"compressed size past the image",
       [](std::string& i) { set32(i, second_central(i) + 20, 0xFFFFFFFFu); }, true},
      {"stored size past the image",
       [](std::string& i) { set32(i, central_start(i) + 24, 0x7FFFFFFFu); }, true},
      {"name longer than the image",
       [](std::string& i) {
         set16(i, i.find("PK\x03\x04", 10) + 26, 0xFFFF);
       }, true},
      {"central extra field past the image",
       [](std::string& i) { set16(i, second_central(i) + 30, 0xFFFF); }, true},
      {"local extra field pushes the data out",
       [](std::string& i) { set16(i, i.find("PK\x03\x04", 10) + 28, 0xFFFF); }, true},
  };
  for (const damage_row& row : rows) {
    std::string image = two_members();
    row.damage(image);
    walked w = walk(image);
    EXPECT_EQ(w.opened, row.opens) << row.what;
    if (w.opened) {
      EXPECT_EQ(w.last, zip_step::broken) << row.what;
    }
  }
}

TEST(ZipWalk, InflateInputNeverPassesTheImageEnd) {
  std::string image = build_zip({entry("a.txt", std::string(64, 'a'), 8)});
  walked plain = walk(image);
  ASSERT_EQ(plain.members.size(), 1u);
  const zip_member& m = plain.members[0];
  std::size_t data_start = static_cast<std::size_t>(m.data.data() - plain.bytes.data());
  // A compressed size that reaches the image's very last byte: the data still
  // fits, but the extra byte of the inflate input would not.
  std::string tight = image;
  set32(tight, central_start(tight) + 20, static_cast<std::uint32_t>(tight.size() - data_start));
  walked w = walk(tight);
  ASSERT_EQ(w.members.size(), 1u);
  EXPECT_EQ(w.members[0].data.size(), tight.size() - data_start);
  EXPECT_EQ(w.members[0].inflate_input.size(), tight.size() - data_start);
}

}  // namespace
