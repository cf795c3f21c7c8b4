#pragma once
#include <cstddef>

// Turns the escapes of the title and info settings into bytes: \n gives CR LF,
// \r gives CR, \ followed by an octal run starting with 0-3 gives that byte (LF
// gets a CR before it); any other backslash is dropped. Stops while the room
// left is 2 or less, so a plain text keeps at most width - 2 characters, and
// always terminates dst. width must be at least 1.
void expand_escapes(const char* src, char* dst, std::size_t width);
