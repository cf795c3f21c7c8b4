// Texts in fixed-size buffers: every copy and format states the buffer's width
// (terminating NUL included), never writes past it and always terminates.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <string_view>

// Copies text, cut to width - 1 characters. Returns false when it was cut.
bool copy_cut(char* dst, std::size_t width, std::string_view text);

// Appends text behind what dst holds, cut to fit. Returns false when it was cut.
bool append_cut(char* dst, std::size_t width, std::string_view text);

// printf-style formatting, cut to fit. Returns false when the result was cut.
bool format_cut(char* dst, std::size_t width, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
bool vformat_cut(char* dst, std::size_t width, const char* format, va_list args);

// Text of the "Runtime Error" box: the system's text for the error, then the
// caller's text directly behind it, cut to fit width bytes with the NUL.
void compose_error_text(char* dst, std::size_t width, std::string_view system_text,
                        std::string_view text);

// In the stub, format only through these (and write with fputs): the
// standard printf and scanf names pull mingw's own formatter into the program.

// Formats only when the whole result fits; otherwise leaves dst empty and
// returns false. For paths and keys, where a cut text would name something else.
bool format_whole(char* dst, std::size_t width, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
