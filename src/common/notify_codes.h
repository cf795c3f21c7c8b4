// The callback through which extraction, byte-compilation and the script
// builtins report what they did. Codes and their arguments after the text:
//
//   1 NOTIFY_DIR_CREATED    directory path
//   2 NOTIFY_CAN_OVERWRITE  file path; a non-zero answer replaces the file
//   3 NOTIFY_FILE_CREATED   file path
//   4 NOTIFY_ZLIB_ERROR     printf format, then the zlib result (int)
//   5 NOTIFY_SYSTEM_ERROR   printf format, then the path; last error holds the cause
//   6 NOTIFY_PROGRESS       member path relative to the target, member count
//                           (int), members handled so far counting from 1 (int)
//   7 NOTIFY_FILE_KEPT      file path (the answer to code 2 was zero)
#pragma once

inline constexpr int NOTIFY_DIR_CREATED = 1;
inline constexpr int NOTIFY_CAN_OVERWRITE = 2;
inline constexpr int NOTIFY_FILE_CREATED = 3;
inline constexpr int NOTIFY_ZLIB_ERROR = 4;
inline constexpr int NOTIFY_SYSTEM_ERROR = 5;
inline constexpr int NOTIFY_PROGRESS = 6;
inline constexpr int NOTIFY_FILE_KEPT = 7;

using notify_fn = int (*)(int code, const char* text, ...);
