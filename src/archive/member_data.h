// Writes one member's data into its output, which is already of the member's
// uncompressed size: a stored member is one memory copy, a deflated one is a
// single raw inflate call (no zlib or gzip wrapper, 32 KiB window) straight
// from the image into the output, with no buffer between them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

#include "archive/zip_walk.h"

enum class member_data_status {
  written,
  init_failed,     // inflateInit2 gave zlib_result
  inflate_failed,  // inflate gave zlib_result instead of Z_STREAM_END
  end_failed,      // inflateEnd gave zlib_result
  unknown_method,  // neither stored nor deflated: nothing is written
  crc_mismatch,    // the written bytes do not carry the member's CRC-32
  size_mismatch,   // the data is longer or shorter than the member's sizes say
};

struct member_data_result {
  member_data_status status;
  int zlib_result;  // for the three zlib steps
  // A failed inflate is followed by inflateEnd all the same; when that fails
  // too, it is reported after the inflate failure.
  int end_result;
};

// Inflates or copies the member's data into out (uncompressed size bytes);
// does not check the CRC. A stored member's two sizes must be equal, and a
// deflated stream must fill out exactly and use all of its compressed size
// (the byte behind it may be looked at): else size_mismatch.
member_data_result decode_member(const zip_member& member, std::span<std::byte> out);

// decode_member, then the CRC-32 of out against the member's.
member_data_result write_member_bytes(const zip_member& member, std::span<std::byte> out);

// A member of uncompressed size 0 gets an empty file and no output to decode
// into; that is right only when its CRC-32 is 0, the CRC of no bytes, and its
// data (if any) decodes to nothing. Members of other methods are not looked
// at further: their empty file is written as it is.
member_data_result check_empty_member(const zip_member& member);
