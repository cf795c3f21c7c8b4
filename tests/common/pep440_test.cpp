// Versions against specifier sets, as pip decides (pre-releases admitted).
#include <gtest/gtest.h>

#include "common/pep440.h"

namespace {

struct satisfies_row {
  const char* version;
  const char* specifiers;
  bool expected;
};

constexpr satisfies_row satisfies_rows[] = {
    // Sets: every clause, white space and empty clauses ignored; none allows all.
    {"3.11", ">=3.9,<4", true},
    {"3.8", " >= 3.9 , < 4 ", false},
    {"4.0", ">=3.9,<4", false},
    {"1.0", "", true},
    {"1.0", " , ,", true},
    {"2.0", ">=1,,<3", true},
    // Spellings normalised: case, separators, implicit numbers, 'v', padding.
    {"1.0ALPHA1", "==1.0a1", true},
    {"1.0-beta_2", "==1.0b2", true},
    {"1.0c1", "==1.0rc1", true},
    {"1.0.preview", "==1.0rc0", true},
    {"1.0pre-3", "==1.0rc3", true},
    {"1.0-1", "==1.0.post1", true},
    {"1.0_rev", "==1.0.post0", true},
    {"1.0r-2", "==1.0.post2", true},
    {"1.0-dev", "==1.0.dev0", true},
    {"v1.0", "==1.0.0", true},
    {"01.002", "==1.2", true},
    {" 1.0\t", "==1", true},
    {"0!1.0", "==1.0", true},
    {"1.0a.", "==1.0a0", true},
    // Order: dev < a < b < rc < release < post; epochs first; trailing zeros ignored.
    {"1.0.dev1", "<1.0a1", true},
    {"1.0a2", ">1.0a1,<1.0b1", true},
    {"1.0", ">1.0rc1", true},
    {"1.0a1.dev1", "<1.0a1", true},
    {"1.0.post1.dev1", ">1.0.post0,<=1.0.post1", true},
    {"1!0.1", ">99999", true},
    {"99999999999999999999999999.1", ">99999999999999999999999998", true},
    {"1.10", ">1.9", true},
    // Local labels: ignored by a clause without one, ordered after none.
    {"1.0+local", "==1.0", true},
    {"1.0+local", "==1.0+LOCAL", true},
    {"1.0", "==1.0+local", false},
    {"1.0+abc.2", "==1.0+abc.02", true},
    {"1.0+1", "==1.0+a", false},
    {"1.0+local", "!=1.0", false},
    {"1.0+local", "<=1.0", true},
    {"1.0+local", ">=1.0", true},
    {"1.0+1", "<1.0", false},
    // Exclusive < and >: no pre-release of V below it, no post-release or local of V above it.
    {"1.0a1", "<1.0", false},
    {"1.0.dev0", "<1.0", false},
    {"0.9a1", "<1.0", true},
    {"1.0a1", "<1.0b1", true},
    {"1.0.post1", ">1.0", false},
    {"1.0.post2", ">1.0.post1", true},
    {"1.0+local", ">1.0", false},
    {"1.1+local", ">1.0", true},
    {"1.0.1", ">1.0", true},
    // Prefix matching: release only, padded with zeros, local labels ignored.
    {"3.12", "==3.12.*", true},
    {"3.12.5", "==3.12.*", true},
    {"3.1", "==3.12.*", false},
    {"1", "==1.0.*", true},
    {"1.0a1+local", "==1.0.*", true},
    {"1.1", "!=1.0.*", true},
    {"1.0.post1", "!=1.0.*", false},
    {"1!1.0", "==1.*", false},
    {"1!1.0", "==1!1.*", true},
    // Compatible release: >= V and == V without its last release number.
    {"2.2.5", "~=2.2", true},
    {"3.0", "~=2.2", false},
    {"1.4.9", "~=1.4.5", true},
    {"1.5.0", "~=1.4.5", false},
    {"1.4.5a5", "~=1.4.5a4", true},
    {"1.4.4", "~=1.4.5a4", false},
    {"2.3", "~=2.2.post3", true},
    // Arbitrary equality: the normal form compared as text.
    {"1.0", "===1.0", true},
    {"1.0.0", "===1.0", false},
    {"1.0A1", "===1.0a1", true},
    // What does not parse never satisfies.
    {"1.0x", "", false},
    {"", ">=0", false},
    {"1..0", ">=0", false},
    {"1.0+", ">=0", false},
    {"1.0-", ">=0", false},
    {"1.0", ">=1.0+local", false},
    {"1.0", "~=1", false},
    {"1.0", "~=1.0.*", false},
    {"1.0", "==1.0a1.*", false},
    {"1.0", "<1.0.*", false},
    {"1.0", "=1.0", false},
    {"1.0", ">=1 <2", false},
    {"1.0", ">=1;<2", false},
    {"1.0", "===1.0 x", false},
};

TEST(VersionSatisfies, Table) {
  for (const satisfies_row& row : satisfies_rows)
    EXPECT_EQ(version_satisfies(row.version, row.specifiers), row.expected)
        << '"' << row.version << "\" against \"" << row.specifiers << '"';
}

}  // namespace
