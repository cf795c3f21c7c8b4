// Install schemes: where each kind of archive member goes below the target
// directory. A member name begins with a key; the first entry whose key
// matches (ASCII case-insensitive, as a plain prefix) gives the prefix.
//
//   key       legacy_scheme (before 2.2)   site_packages_scheme (2.2 on)
//   PURELIB   ""                           "Lib\site-packages\"
//   PLATLIB   ""                           "Lib\site-packages\"
//   HEADERS   ""                           ""
//   SCRIPTS   "Scripts\"                   "Scripts\"
//   DATA      ""                           ""
#pragma once
#include <cstddef>
#include <string_view>

struct scheme_entry {
  const char* name;    // the key; null ends the table
  const char* prefix;  // empty, or ending in a backslash
};

extern const scheme_entry legacy_scheme[];
extern const scheme_entry site_packages_scheme[];

// A member name mapped by a scheme, in the pieces the output path gets: the
// prefix, a separator when the path would otherwise not end in one, the rest.
struct mapped_name {
  std::string_view prefix;    // empty when no key matched
  bool matched;               // a key matched: the separator rule applies
  std::string_view rest;      // the name without its key (and one slash after it)
};

// Finds the first entry whose key begins the name; no entry, or a scheme
// without entries, leaves the whole name as the rest.
mapped_name map_scheme(const scheme_entry* scheme, std::string_view name);

// Appends the member name, mapped by the scheme, to the NUL-terminated path
// in a buffer of width bytes. Returns false, leaving a cut but terminated
// path, when the result does not fit.
bool map_member_name(char* path, std::size_t width, const scheme_entry* scheme,
                     const char* name, std::size_t name_length);
