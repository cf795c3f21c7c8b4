#include "archive/member_data.h"

#include <zlib.h>

#include <cstring>

static member_data_result inflate_member(const zip_member& member, std::span<std::byte> out) {
  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  // The input runs one byte past the compressed data (when the image has
  // one): a raw stream may need to look at it to see its own end.
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<std::byte*>(member.inflate_input.data()));
  stream.avail_in = static_cast<uInt>(member.inflate_input.size());
  // zlib wants an output pointer even where no byte may be written.
  Bytef nothing;
  stream.next_out = out.empty() ? &nothing : reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  member_data_result result{member_data_status::written, Z_OK, Z_OK};
  int init = inflateInit2(&stream, -MAX_WBITS);
  if (init != Z_OK) return {member_data_status::init_failed, init, Z_OK};
  int inflated = inflate(&stream, Z_FINISH);
  if (inflated != Z_STREAM_END)
    result = {member_data_status::inflate_failed, inflated, Z_OK};
  else if (stream.avail_out != 0 || stream.total_in < member.compressed_size)
    result = {member_data_status::size_mismatch, Z_OK, Z_OK};
  int ended = inflateEnd(&stream);
  if (ended != Z_OK) {
    if (result.status == member_data_status::written)
      result = {member_data_status::end_failed, ended, Z_OK};
    else
      result.end_result = ended;
  }
  return result;
}

member_data_result decode_member(const zip_member& member, std::span<std::byte> out) {
  if (member.method == METHOD_DEFLATED) return inflate_member(member, out);
  if (member.method != METHOD_STORED) return {member_data_status::unknown_method, Z_OK, Z_OK};
  if (member.compressed_size != member.uncompressed_size)
    return {member_data_status::size_mismatch, Z_OK, Z_OK};
  std::size_t n = out.size() < member.data.size() ? out.size() : member.data.size();
  if (n) std::memcpy(out.data(), member.data.data(), n);
  return {member_data_status::written, Z_OK, Z_OK};
}

member_data_result write_member_bytes(const zip_member& member, std::span<std::byte> out) {
  member_data_result result = decode_member(member, out);
  if (result.status != member_data_status::written) return result;
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, reinterpret_cast<const Bytef*>(out.data()), static_cast<uInt>(out.size()));
  if (crc != member.crc32) result.status = member_data_status::crc_mismatch;
  return result;
}

member_data_result check_empty_member(const zip_member& member) {
  if (member.crc32 != 0) return {member_data_status::crc_mismatch, Z_OK, Z_OK};
  bool decodable = member.method == METHOD_STORED || member.method == METHOD_DEFLATED;
  // A deflated member without a single compressed byte has nothing to inflate.
  if (!decodable || member.compressed_size == 0) return {member_data_status::written, Z_OK, Z_OK};
  return decode_member(member, {});
}
