#include "common/pep440.h"

#include <cstddef>
#include <string>
#include <vector>

#include "common/ascii_text.h"

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_alnum(char c) { return is_digit(c) || (ascii_lower(c) >= 'a' && ascii_lower(c) <= 'z'); }
bool is_separator(char c) { return c == '-' || c == '_' || c == '.'; }

// A number of any length, as its digits without leading zeros ("" is 0), so
// that no version overflows.
struct number {
  std::string_view digits;
};

int compare(number a, number b) {
  if (a.digits.size() != b.digits.size()) return a.digits.size() < b.digits.size() ? -1 : 1;
  int c = a.digits.compare(b.digits);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

enum pre_kind { pre_none = -1, pre_a, pre_b, pre_rc };

struct version {
  number epoch;
  std::vector<number> release;
  pre_kind pre = pre_none;
  number pre_number;
  bool post = false;
  number post_number;
  bool dev = false;
  number dev_number;
  std::vector<std::string_view> local;  // as written; compared ignoring case
  bool wildcard = false;                // a specifier's "V.*"
};

// Reads a version from text, left to right; each optional part backs off when
// its label is not there, so a separator before it stays for the next part.
class version_reader {
 public:
  explicit version_reader(std::string_view text) : s_(text) {}

  bool read(version& v, bool allow_wildcard) {
    if (peek_lower() == 'v') ++pos_;
    std::size_t start = pos_;
    if (read_number(v.epoch) && peek() == '!') {
      ++pos_;
    } else {
      pos_ = start;
      v.epoch = {};
    }
    number n;
    if (!read_number(n)) return false;
    v.release.push_back(n);
    while (peek() == '.' && is_digit(peek(1))) {
      ++pos_;
      read_number(n);
      v.release.push_back(n);
    }
    if (allow_wildcard && s_.substr(pos_) == ".*") {
      v.wildcard = true;
      return true;
    }
    read_pre(v);
    read_post(v);
    read_dev(v);
    if (peek() == '+' && !read_local(v)) return false;
    return pos_ == s_.size();
  }

 private:
  char peek(std::size_t ahead = 0) const { return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : '\0'; }
  char peek_lower() const { return ascii_lower(peek()); }

  bool read_number(number& n) {
    std::size_t start = pos_;
    while (is_digit(peek())) ++pos_;
    if (pos_ == start) return false;
    std::size_t first = start;
    while (first < pos_ && s_[first] == '0') ++first;
    n.digits = s_.substr(first, pos_ - first);
    return true;
  }

  void skip_separator() {
    if (is_separator(peek())) ++pos_;
  }

  bool read_word(std::string_view word) {
    if (s_.size() - pos_ < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
      if (ascii_lower(s_[pos_ + i]) != word[i]) return false;
    pos_ += word.size();
    return true;
  }

  // [sep] label [sep] [N]; the first matching label of the list wins, so a
  // longer spelling comes before its prefix.
  template <std::size_t count>
  int read_label(const std::string_view (&labels)[count], number& n) {
    std::size_t start = pos_;
    skip_separator();
    for (std::size_t i = 0; i < count; ++i) {
      if (!read_word(labels[i])) continue;
      skip_separator();
      n = {};
      read_number(n);
      return static_cast<int>(i);
    }
    pos_ = start;
    return -1;
  }

  void read_pre(version& v) {
    static constexpr std::string_view labels[] = {"alpha", "a", "beta", "b", "preview", "pre", "rc", "c"};
    static constexpr pre_kind kinds[] = {pre_a, pre_a, pre_b, pre_b, pre_rc, pre_rc, pre_rc, pre_rc};
    int label = read_label(labels, v.pre_number);
    if (label >= 0) v.pre = kinds[label];
  }

  void read_post(version& v) {
    if (peek() == '-' && is_digit(peek(1))) {
      ++pos_;
      v.post = read_number(v.post_number);
      return;
    }
    static constexpr std::string_view labels[] = {"post", "rev", "r"};
    v.post = read_label(labels, v.post_number) >= 0;
  }

  void read_dev(version& v) {
    static constexpr std::string_view labels[] = {"dev"};
    v.dev = read_label(labels, v.dev_number) >= 0;
  }

  bool read_local(version& v) {
    ++pos_;  // '+'
    do {
      std::size_t start = pos_;
      while (is_alnum(peek())) ++pos_;
      if (pos_ == start) return false;
      v.local.push_back(s_.substr(start, pos_ - start));
    } while (is_separator(peek()) && ++pos_);
    return true;
  }

  std::string_view s_;
  std::size_t pos_ = 0;
};

bool parse_version(std::string_view text, version& v, bool allow_wildcard = false) {
  return version_reader(trim_ascii_space(text)).read(v, allow_wildcard);
}

bool is_number_text(std::string_view s) {
  for (char c : s)
    if (!is_digit(c)) return false;
  return !s.empty();
}

number as_number(std::string_view digits) {
  while (!digits.empty() && digits.front() == '0') digits.remove_prefix(1);
  return {digits};
}

int compare_release(const version& a, const version& b) {
  std::size_t n = a.release.size() > b.release.size() ? a.release.size() : b.release.size();
  for (std::size_t i = 0; i < n; ++i) {
    number x = i < a.release.size() ? a.release[i] : number{};
    number y = i < b.release.size() ? b.release[i] : number{};
    if (int c = compare(x, y)) return c;
  }
  return 0;
}

// Where the pre-release part puts a version among those of its release: a
// bare dev release first, then a b rc by number, then the release itself.
int compare_pre(const version& a, const version& b) {
  auto rank = [](const version& v) {
    if (v.pre != pre_none) return 1;
    return (!v.post && v.dev) ? 0 : 2;
  };
  int ra = rank(a), rb = rank(b);
  if (ra != rb) return ra < rb ? -1 : 1;
  if (ra != 1) return 0;
  if (a.pre != b.pre) return a.pre < b.pre ? -1 : 1;
  return compare(a.pre_number, b.pre_number);
}

// Local labels part by part: numbers by value and after words, words by text.
int compare_local(const version& a, const version& b) {
  for (std::size_t i = 0; i < a.local.size() && i < b.local.size(); ++i) {
    bool x_number = is_number_text(a.local[i]), y_number = is_number_text(b.local[i]);
    if (x_number != y_number) return x_number ? 1 : -1;
    int c = x_number ? compare(as_number(a.local[i]), as_number(b.local[i]))
                     : compare_ignoring_ascii_case(a.local[i], b.local[i]);
    if (c) return c;
  }
  if (a.local.size() == b.local.size()) return 0;
  return a.local.size() < b.local.size() ? -1 : 1;
}

int compare(const version& a, const version& b, bool with_local = true) {
  if (int c = compare(a.epoch, b.epoch)) return c;
  if (int c = compare_release(a, b)) return c;
  if (int c = compare_pre(a, b)) return c;
  if (a.post != b.post) return a.post ? 1 : -1;
  if (int c = compare(a.post_number, b.post_number)) return c;
  if (a.dev != b.dev) return a.dev ? -1 : 1;
  if (int c = compare(a.dev_number, b.dev_number)) return c;
  return with_local ? compare_local(a, b) : 0;
}

bool same_base(const version& a, const version& b) {
  return compare(a.epoch, b.epoch) == 0 && compare_release(a, b) == 0;
}

// "== V.*": same epoch, and the release, padded with zeros, starts with V's.
bool prefix_matches(const version& v, const version& prefix, std::size_t length) {
  if (compare(v.epoch, prefix.epoch) != 0) return false;
  for (std::size_t i = 0; i < length; ++i) {
    number x = i < v.release.size() ? v.release[i] : number{};
    if (compare(x, prefix.release[i]) != 0) return false;
  }
  return true;
}

// The normal form, for "===": N!, release, aN bN rcN, .postN, .devN, +local.
// "===" compares it with the clause's text as written, ignoring case, as pip does.
std::string normal_text(const version& v) {
  auto append_number = [](std::string& out, number n) {
    if (n.digits.empty()) out += '0';
    else out += n.digits;
  };
  std::string out;
  if (!v.epoch.digits.empty()) {
    out += v.epoch.digits;
    out += '!';
  }
  for (std::size_t i = 0; i < v.release.size(); ++i) {
    if (i) out += '.';
    append_number(out, v.release[i]);
  }
  if (v.pre != pre_none) {
    out += v.pre == pre_a ? "a" : v.pre == pre_b ? "b" : "rc";
    append_number(out, v.pre_number);
  }
  if (v.post) {
    out += ".post";
    append_number(out, v.post_number);
  }
  if (v.dev) {
    out += ".dev";
    append_number(out, v.dev_number);
  }
  for (std::size_t i = 0; i < v.local.size(); ++i) {
    out += i ? '.' : '+';
    if (is_number_text(v.local[i])) append_number(out, as_number(v.local[i]));
    else for (char c : v.local[i]) out += ascii_lower(c);
  }
  return out;
}

enum class op { compatible, equal, not_equal, less_equal, greater_equal, less, greater, arbitrary };

// One clause against a parsed version; false when the clause does not parse.
bool clause_satisfied(const version& v, std::string_view clause) {
  static constexpr struct {
    std::string_view text;
    op kind;
  } operators[] = {{"===", op::arbitrary}, {"~=", op::compatible},   {"==", op::equal},
                   {"!=", op::not_equal},  {"<=", op::less_equal},   {">=", op::greater_equal},
                   {"<", op::less},        {">", op::greater}};
  op kind{};
  bool found = false;
  for (const auto& candidate : operators) {
    if (clause.substr(0, candidate.text.size()) == candidate.text) {
      kind = candidate.kind;
      clause.remove_prefix(candidate.text.size());
      found = true;
      break;
    }
  }
  if (!found) return false;
  std::string_view operand = trim_ascii_space(clause);
  if (kind == op::arbitrary) {
    for (char c : operand)
      if (is_ascii_space(c) || c == ';' || c == ')') return false;
    return compare_ignoring_ascii_case(normal_text(v), operand) == 0;
  }
  bool equality = kind == op::equal || kind == op::not_equal;
  version spec;
  if (!parse_version(operand, spec, equality)) return false;
  if (!equality && !spec.local.empty()) return false;
  if (kind == op::compatible && spec.release.size() < 2) return false;

  bool spec_pre = spec.pre != pre_none || spec.dev;
  switch (kind) {
    case op::equal:
    case op::not_equal: {
      bool equal = spec.wildcard ? prefix_matches(v, spec, spec.release.size())
                                 : compare(v, spec, !spec.local.empty()) == 0;
      return equal == (kind == op::equal);
    }
    case op::compatible:
      return compare(v, spec, false) >= 0 && prefix_matches(v, spec, spec.release.size() - 1);
    case op::less_equal:
      return compare(v, spec, false) <= 0;
    case op::greater_equal:
      return compare(v, spec, false) >= 0;
    case op::less:
      // "<V" takes no pre-release of V itself, unless V is one.
      return compare(v, spec) < 0 && (spec_pre || !(v.pre != pre_none || v.dev) || !same_base(v, spec));
    case op::greater:
      // ">V" takes no post-release of V, unless V is one, nor V with a local label.
      return compare(v, spec) > 0 && (!same_base(v, spec) || ((spec.post || !v.post) && v.local.empty()));
    case op::arbitrary:
      break;
  }
  return false;
}

}  // namespace

bool version_satisfies(std::string_view version_text, std::string_view specifiers) {
  version v;
  if (!parse_version(version_text, v)) return false;
  while (true) {
    std::size_t comma = specifiers.find(',');
    std::string_view clause = trim_ascii_space(specifiers.substr(0, comma));
    if (!clause.empty() && !clause_satisfied(v, clause)) return false;
    if (comma == std::string_view::npos) return true;
    specifiers.remove_prefix(comma + 1);
  }
}
