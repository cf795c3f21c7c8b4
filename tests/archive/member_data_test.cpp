#include "archive/member_data.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/zip_builder.h"

namespace {

// The first member of an archive built from entry, over exact-size storage.
struct one_member {
  std::vector<std::byte> image;
  zip_member member{};
  explicit one_member(const zip_entry& entry) {
    std::string zip = build_zip({entry});
    image.resize(zip.size());
    std::memcpy(image.data(), zip.data(), zip.size());
    zip_cursor cursor;
    EXPECT_TRUE(open_zip(image, cursor));
    EXPECT_EQ(next_member(cursor, member), zip_step::member);
  }
};

std::string text_of(const std::vector<std::byte>& v) {
  return {reinterpret_cast<const char*>(v.data()), v.size()};
}

std::string sample(std::size_t n) {
  std::string s;
  for (std::size_t i = 0; s.size() < n; ++i) s += "line " + std::to_string(i * 7919 % 1000) + "\n";
  s.resize(n);
  return s;
}

TEST(MemberData, StoredAndDeflatedMembersComeOutByteForByte) {
  struct row {
    const char* what;
    std::uint16_t method;
    std::string content;
  } rows[] = {
      {"stored text", 0, "hello, world"},
      {"stored one byte", 0, "x"},
      {"deflated text", 8, sample(100000)},
      {"deflated incompressible", 8, raw_deflate(sample(5000))},
      {"deflated one byte", 8, "y"},
  };
  for (const row& r : rows) {
    one_member m(entry("a", r.content, r.method));
    std::vector<std::byte> out(m.member.uncompressed_size);
    member_data_result result = write_member_bytes(m.member, out);
    EXPECT_EQ(result.status, member_data_status::written) << r.what;
    EXPECT_EQ(text_of(out), r.content) << r.what;
  }
}

TEST(MemberData, FailuresNameTheStepAndTheZlibResult) {
  struct row {
    const char* what;
    zip_entry entry;
    void (*damage)(zip_member&);
    member_data_status status;
    int zlib_result;
  } rows[] = {
      {"unknown method", entry("a", "abc", 12), nullptr, member_data_status::unknown_method, Z_OK},
      {"stored, wrong CRC", entry("a", "abc", 0, true), nullptr, member_data_status::crc_mismatch, Z_OK},
      {"deflated, wrong CRC", entry("a", sample(4000), 8, true), nullptr,
       member_data_status::crc_mismatch, Z_OK},
      {"deflated data that is no deflate stream", entry("a", sample(4000), 8), [](zip_member& m) {
         static const std::byte junk[] = {std::byte{0xFF}, std::byte{0xFF}, std::byte{0xFF}, std::byte{0xFF}};
         m.inflate_input = junk;
       }, member_data_status::inflate_failed, Z_DATA_ERROR},
      {"deflated data cut short", entry("a", sample(4000), 8), [](zip_member& m) {
         m.inflate_input = m.inflate_input.first(m.inflate_input.size() / 2);
       }, member_data_status::inflate_failed, Z_BUF_ERROR},
      {"output smaller than the data", entry("a", sample(4000), 8), [](zip_member& m) {
         m.uncompressed_size -= 1;
       }, member_data_status::inflate_failed, Z_BUF_ERROR},
  };
  for (row& r : rows) {
    one_member m(r.entry);
    if (r.damage) r.damage(m.member);
    std::vector<std::byte> out(m.member.uncompressed_size);
    member_data_result result = write_member_bytes(m.member, out);
    EXPECT_EQ(result.status, r.status) << r.what;
    EXPECT_EQ(result.zlib_result, r.zlib_result) << r.what;
    EXPECT_EQ(result.end_result, Z_OK) << r.what;
  }
}

TEST(MemberData, DecodingAloneDoesNotLookAtTheCrc) {
  one_member m(entry("a", "abc", 0, true));
  std::vector<std::byte> out(3);
  EXPECT_EQ(decode_member(m.member, out).status, member_data_status::written);
  EXPECT_EQ(text_of(out), "abc");
}

}  // namespace
