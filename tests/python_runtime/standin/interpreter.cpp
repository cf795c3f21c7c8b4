// The stand-in's script language: a small subset of Python (see README.md),
// read whole before anything runs, as Python compiles a module first.
#include <cstdio>
#include <deque>

#include "standin.h"

namespace standin {
namespace {

// ---- tokens -------------------------------------------------------------

enum class tok { name, number, string, op, newline, indent, dedent, end };

struct token {
  tok t;
  std::string text;
  int line;
  PyObject* value = nullptr;  // number, string
};

struct syntax_error {
  int line;
  std::string message;
};

bool is_name_start(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A string literal starting at s[i] (after any prefix); advances i past it.
std::string read_string(const std::string& s, std::size_t& i, bool raw, int line) {
  char quote = s[i++];
  std::string out;
  for (;;) {
    if (i >= s.size() || s[i] == '\n') throw syntax_error{line, "EOL while scanning string literal"};
    char c = s[i++];
    if (c == quote) return out;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i >= s.size() || s[i] == '\n') throw syntax_error{line, "EOL while scanning string literal"};
    char e = s[i++];
    if (raw) {
      out += '\\';
      out += e;
      continue;
    }
    switch (e) {
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case '0': out += '\0'; break;
      case '\\': out += '\\'; break;
      case '\'': out += '\''; break;
      case '"': out += '"'; break;
      case 'x':
        if (i + 2 > s.size()) throw syntax_error{line, "invalid \\x escape"};
        {
          int code = std::stoi(s.substr(i, 2), nullptr, 16);
          // Python 3's '\xe9' is the character U+00E9, held as UTF-8.
          if (python3 && code >= 0x80) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
          } else {
            out += static_cast<char>(code);
          }
        }
        i += 2;
        break;
      default: out += '\\'; out += e;
    }
  }
}

std::vector<token> tokenize(std::string text) {
  std::string s;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) s += text[i];
  std::vector<token> out;
  std::vector<int> indents{0};
  int line = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    ++line;
    int column = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) column = s[i++] == '\t' ? (column / 8 + 1) * 8 : column + 1;
    if (i >= s.size() || s[i] == '\n' || s[i] == '#') {  // blank or comment line
      while (i < s.size() && s[i] != '\n') ++i;
      ++i;
      continue;
    }
    if (column > indents.back()) {
      indents.push_back(column);
      out.push_back({tok::indent, "", line});
    }
    while (column < indents.back()) {
      indents.pop_back();
      out.push_back({tok::dedent, "", line});
    }
    if (column != indents.back()) throw syntax_error{line, "unindent does not match any outer indentation level"};
    while (i < s.size() && s[i] != '\n') {
      char c = s[i];
      if (c == ' ' || c == '\t') {
        ++i;
      } else if (c == '#') {
        while (i < s.size() && s[i] != '\n') ++i;
      } else if (is_name_start(c)) {
        std::size_t start = i;
        while (i < s.size() && (is_name_start(s[i]) || is_digit(s[i]))) ++i;
        std::string word = s.substr(start, i - start);
        bool prefix = word.size() <= 2 && word.find_first_not_of("rRuUbB") == std::string::npos;
        if (prefix && i < s.size() && (s[i] == '\'' || s[i] == '"')) {
          bool raw = word.find_first_of("rR") != std::string::npos;
          out.push_back({tok::string, "", line, string(read_string(s, i, raw, line))});
        } else {
          out.push_back({tok::name, word, line});
        }
      } else if (is_digit(c)) {
        std::size_t start = i;
        while (i < s.size() && (is_digit(s[i]) || is_name_start(s[i]))) ++i;
        std::string number = s.substr(start, i - start);
        if (!number.empty() && (number.back() == 'L' || number.back() == 'l')) number.pop_back();
        standin_int value = 0;
        bool hex = number.size() > 2 && number[0] == '0' && (number[1] == 'x' || number[1] == 'X');
        for (std::size_t k = hex ? 2 : 0; k < number.size(); ++k) {
          char d = number[k];
          int v = is_digit(d) ? d - '0' : hex && ((d | 0x20) >= 'a' && (d | 0x20) <= 'f') ? (d | 0x20) - 'a' + 10 : -1;
          if (v < 0) throw syntax_error{line, "invalid syntax"};
          value = value * (hex ? 16 : 10) + v;
        }
        out.push_back({tok::number, number, line, integer(value)});
      } else if (c == '\'' || c == '"') {
        out.push_back({tok::string, "", line, string(read_string(s, i, false, line))});
      } else {
        std::string two = s.substr(i, 2);
        if (two == "==" || two == "!=" || two == "<=" || two == ">=") {
          out.push_back({tok::op, two, line});
          i += 2;
        } else if (std::string("()[],.:=+-*<>;%").find(c) != std::string::npos) {
          out.push_back({tok::op, std::string(1, c), line});
          ++i;
        } else {
          throw syntax_error{line, "invalid syntax"};
        }
      }
    }
    out.push_back({tok::newline, "", line});
    ++i;
  }
  while (indents.size() > 1) {
    indents.pop_back();
    out.push_back({tok::dedent, "", line});
  }
  out.push_back({tok::end, "", line});
  return out;
}

// ---- syntax tree --------------------------------------------------------

struct expr {
  enum { literal, name, call, attribute, subscript, binary, negate, logical_not, list } k = literal;
  int line = 0;
  PyObject* value = nullptr;  // literal
  std::string text;           // name, attribute, operator
  std::vector<expr*> parts;   // operands; call: callee then arguments
  std::vector<std::string> keywords;  // call: names of the last arguments
};

struct stmt;
using block = std::vector<stmt*>;

struct handler {
  expr* type;  // none: every exception
  std::string name;
  block body;
};

struct stmt {
  enum { expression, assign, assign_attribute, import, conditional, raise, pass, attempt } k = pass;
  int line = 0;
  expr* e = nullptr;
  expr* object = nullptr;  // assign_attribute: whose attribute
  std::string target;
  std::vector<std::string> modules;
  std::vector<std::pair<expr*, block>> branches;  // if / elif
  block otherwise;                                 // else, or the try body
  std::vector<handler> handlers;
};

class parser {
 public:
  explicit parser(std::vector<token> tokens) : t_(std::move(tokens)) {}

  block module() {
    block out;
    while (peek().t != tok::end) statement(out);
    return out;
  }

 private:
  const token& peek() const { return t_[p_]; }
  bool at_op(const char* op) const { return peek().t == tok::op && peek().text == op; }
  bool at_name(const char* word) const { return peek().t == tok::name && peek().text == word; }
  [[noreturn]] void fail() const { throw syntax_error{peek().line, "invalid syntax"}; }
  void expect_op(const char* op) {
    if (!at_op(op)) fail();
    ++p_;
  }
  std::string expect_name() {
    if (peek().t != tok::name) fail();
    return t_[p_++].text;
  }

  expr* node(int k, int line) {
    expr& e = exprs_.emplace_back();
    e.k = static_cast<decltype(expr::k)>(k);
    e.line = line;
    return &e;
  }
  stmt* new_stmt(int k, int line) {
    stmt& s = stmts_.emplace_back();
    s.k = static_cast<decltype(stmt::k)>(k);
    s.line = line;
    return &s;
  }

  void statement(block& out) {
    if (at_name("if")) return out.push_back(conditional());
    if (at_name("try")) return out.push_back(attempt());
    simple_statements(out);
  }

  void simple_statements(block& out) {
    for (;;) {
      out.push_back(simple());
      if (!at_op(";")) break;
      ++p_;
      if (peek().t == tok::newline) break;
    }
    if (peek().t != tok::newline) fail();
    ++p_;
  }

  stmt* simple() {
    int line = peek().line;
    if (at_name("pass")) {
      ++p_;
      return new_stmt(stmt::pass, line);
    }
    if (at_name("import")) {
      ++p_;
      stmt* s = new_stmt(stmt::import, line);
      s->modules.push_back(expect_name());
      while (at_op(",")) {
        ++p_;
        s->modules.push_back(expect_name());
      }
      return s;
    }
    if (at_name("raise")) {
      ++p_;
      stmt* s = new_stmt(stmt::raise, line);
      if (peek().t != tok::newline && !at_op(";")) s->e = expression();
      return s;
    }
    if (peek().t == tok::name && t_[p_ + 1].t == tok::op && t_[p_ + 1].text == "=") {
      stmt* s = new_stmt(stmt::assign, line);
      s->target = expect_name();
      ++p_;
      s->e = expression();
      return s;
    }
    stmt* s = new_stmt(stmt::expression, line);
    s->e = expression();
    if (at_op("=")) {  // object.name = value
      if (s->e->k != expr::attribute) fail();
      ++p_;
      s->k = stmt::assign_attribute;
      s->target = s->e->text;
      s->object = s->e->parts[0];
      s->e = expression();
    }
    return s;
  }

  block suite() {
    expect_op(":");
    block out;
    if (peek().t != tok::newline) {
      simple_statements(out);
      return out;
    }
    ++p_;
    if (peek().t != tok::indent) throw syntax_error{peek().line, "expected an indented block"};
    ++p_;
    while (peek().t != tok::dedent && peek().t != tok::end) statement(out);
    if (peek().t == tok::dedent) ++p_;
    return out;
  }

  stmt* conditional() {
    stmt* s = new_stmt(stmt::conditional, peek().line);
    ++p_;
    expr* test = expression();
    s->branches.emplace_back(test, suite());
    while (at_name("elif")) {
      ++p_;
      expr* more = expression();
      s->branches.emplace_back(more, suite());
    }
    if (at_name("else")) {
      ++p_;
      s->otherwise = suite();
    }
    return s;
  }

  stmt* attempt() {
    stmt* s = new_stmt(stmt::attempt, peek().line);
    ++p_;
    s->otherwise = suite();
    if (!at_name("except")) fail();
    while (at_name("except")) {
      ++p_;
      handler h{nullptr, "", {}};
      if (!at_op(":")) {
        h.type = expression();
        if (at_name("as")) {
          ++p_;
          h.name = expect_name();
        }
      }
      h.body = suite();
      s->handlers.push_back(std::move(h));
    }
    return s;
  }

  expr* expression() {
    if (at_name("not")) {
      expr* e = node(expr::logical_not, peek().line);
      ++p_;
      e->parts.push_back(expression());
      return e;
    }
    expr* left = additive();
    for (const char* op : {"==", "!=", "<", ">", "<=", ">="}) {
      if (at_op(op)) {
        expr* e = node(expr::binary, peek().line);
        e->text = op;
        ++p_;
        e->parts = {left, additive()};
        return e;
      }
    }
    return left;
  }

  expr* additive() {
    expr* left = term();
    while (at_op("+") || at_op("-")) {
      expr* e = node(expr::binary, peek().line);
      e->text = t_[p_++].text;
      e->parts = {left, term()};
      left = e;
    }
    return left;
  }

  expr* term() {
    expr* left = unary();
    while (at_op("*") || at_op("%")) {
      expr* e = node(expr::binary, peek().line);
      e->text = t_[p_++].text;
      e->parts = {left, unary()};
      left = e;
    }
    return left;
  }

  expr* unary() {
    if (at_op("-")) {
      expr* e = node(expr::negate, peek().line);
      ++p_;
      e->parts.push_back(unary());
      return e;
    }
    return postfix();
  }

  expr* postfix() {
    expr* e = atom();
    for (;;) {
      int line = peek().line;
      if (at_op("(")) {
        ++p_;
        expr* c = node(expr::call, line);
        c->parts.push_back(e);
        while (!at_op(")")) {
          bool keyword = peek().t == tok::name && t_[p_ + 1].t == tok::op && t_[p_ + 1].text == "=";
          if (keyword) {
            c->keywords.push_back(t_[p_].text);
            p_ += 2;
          } else if (!c->keywords.empty()) {
            throw syntax_error{peek().line, "non-keyword arg after keyword arg"};
          }
          c->parts.push_back(expression());
          if (!at_op(",")) break;
          ++p_;
        }
        expect_op(")");
        e = c;
      } else if (at_op(".")) {
        ++p_;
        expr* a = node(expr::attribute, line);
        a->text = expect_name();
        a->parts.push_back(e);
        e = a;
      } else if (at_op("[")) {
        ++p_;
        expr* s = node(expr::subscript, line);
        s->parts = {e, expression()};
        expect_op("]");
        e = s;
      } else {
        return e;
      }
    }
  }

  expr* atom() {
    const token& t = peek();
    if (t.t == tok::number) {
      expr* e = node(expr::literal, t.line);
      e->value = t_[p_++].value;
      return e;
    }
    if (t.t == tok::string) {  // adjacent literals join
      std::string joined;
      int line = t.line;
      while (peek().t == tok::string) joined += t_[p_++].value->text;
      expr* e = node(expr::literal, line);
      e->value = string(joined);
      return e;
    }
    if (t.t == tok::name) {
      static const char* const keywords[] = {"if", "elif", "else", "try", "except", "import", "raise",
                                            "pass", "not", "as", "def", "for", "while", "return", "print"};
      for (const char* k : keywords)
        if (t.text == k && t.text != "print") fail();
      // Python 2's print statement is accepted only in its call form.
      if (t.text == "print" && !(t_[p_ + 1].t == tok::op && t_[p_ + 1].text == "(")) fail();
      expr* e = node(expr::name, t.line);
      e->text = t_[p_++].text;
      return e;
    }
    if (at_op("(")) {
      ++p_;
      expr* e = expression();
      expect_op(")");
      return e;
    }
    if (at_op("[")) {
      expr* e = node(expr::list, t.line);
      ++p_;
      while (!at_op("]")) {
        e->parts.push_back(expression());
        if (!at_op(",")) break;
        ++p_;
      }
      expect_op("]");
      return e;
    }
    fail();
  }

  std::vector<token> t_;
  std::size_t p_ = 0;
  std::deque<expr> exprs_;
  std::deque<stmt> stmts_;
};

// ---- evaluation ---------------------------------------------------------

// An exception on its way out: the instance and the line it was raised on.
struct raised {
  PyObject* instance;
  int line;
};

[[noreturn]] void raise_error(const char* type, const std::string& message, int line) {
  throw raised{exception(builtin(type), message), line};
}

// A builtin returned null: its exception (or a complaint that it set none).
[[noreturn]] void raise_pending(int line) {
  PyObject* e = vm.pending ? vm.pending : exception(builtin("SystemError"), "error return without exception set");
  vm.pending = nullptr;
  throw raised{e, line};
}

bool truth(PyObject* o) {
  switch (o->k) {
    case kind::none: return false;
    case kind::boolean:
    case kind::integer: return o->number != 0;
    case kind::string: return !o->text.empty();
    case kind::list:
    case kind::tuple: return !o->items.empty();
    default: return true;
  }
}

bool equal(PyObject* a, PyObject* b) {
  bool numeric_a = a->k == kind::integer || a->k == kind::boolean;
  bool numeric_b = b->k == kind::integer || b->k == kind::boolean;
  if (numeric_a && numeric_b) return a->number == b->number;
  if (a->k != b->k) return false;
  if (a->k == kind::string) return a->text == b->text;
  if (a->k == kind::list || a->k == kind::tuple) {
    if (a->items.size() != b->items.size()) return false;
    for (std::size_t i = 0; i < a->items.size(); ++i)
      if (!equal(a->items[i], b->items[i])) return false;
    return true;
  }
  return a == b;
}

bool is_subtype(PyObject* type, PyObject* of) {
  for (; type; type = type->base)
    if (type == of) return true;
  return false;
}

PyObject* evaluate(expr* e);

PyObject* call(PyObject* callee, std::vector<PyObject*> args, int line, PyObject* kwargs = nullptr) {
  if (callee->k == kind::type) {
    std::string message;
    if (args.size() == 1) message = str(args[0]);
    else if (args.size() > 1) message = str(sequence(kind::tuple, args));
    return exception(callee, message);
  }
  if (callee->k != kind::function) raise_error("TypeError", "'" + type_name(callee) + "' object is not callable", line);
  PyMethodDef* row = callee->method;
  PyObject* result;
  if (kwargs && !(row->ml_flags & STANDIN_METH_KEYWORDS))
    raise_error("TypeError", std::string(row->ml_name) + "() takes no keyword arguments", line);
  if (row->ml_flags == (STANDIN_METH_VARARGS | STANDIN_METH_KEYWORDS)) {
    using keywords_function = PyObject* (*)(PyObject*, PyObject*, PyObject*);
    auto f = reinterpret_cast<keywords_function>(reinterpret_cast<void*>(row->ml_meth));
    result = f(callee->self, sequence(kind::tuple, std::move(args)), kwargs);
  } else if (row->ml_flags == STANDIN_METH_NOARGS) {
    if (!args.empty())
      raise_error("TypeError", std::string(row->ml_name) + "() takes no arguments (" + std::to_string(args.size()) + " given)", line);
    result = row->ml_meth(callee->self, nullptr);
  } else if (row->ml_flags == STANDIN_METH_VARARGS) {
    result = row->ml_meth(callee->self, sequence(kind::tuple, std::move(args)));
  } else {
    raise_error("SystemError", "unsupported method flags", line);
  }
  if (!result) raise_pending(line);
  return result;
}

PyObject* binary(const std::string& op, PyObject* a, PyObject* b, int line) {
  if (op == "==") return boolean(equal(a, b));
  if (op == "!=") return boolean(!equal(a, b));
  bool ints = (a->k == kind::integer || a->k == kind::boolean) && (b->k == kind::integer || b->k == kind::boolean);
  if (ints) {
    if (op == "+") return integer(a->number + b->number);
    if (op == "-") return integer(a->number - b->number);
    if (op == "*") return integer(a->number * b->number);
    if (op == "%") {
      if (b->number == 0) raise_error("ZeroDivisionError", "integer division or modulo by zero", line);
      return integer(a->number % b->number);
    }
    if (op == "<") return boolean(a->number < b->number);
    if (op == ">") return boolean(a->number > b->number);
    if (op == "<=") return boolean(a->number <= b->number);
    if (op == ">=") return boolean(a->number >= b->number);
  }
  if (op == "+" && a->k == b->k && (a->k == kind::string || a->k == kind::list || a->k == kind::tuple)) {
    if (a->k == kind::string) return string(a->text + b->text);
    std::vector<PyObject*> items = a->items;
    items.insert(items.end(), b->items.begin(), b->items.end());
    return sequence(a->k, items);
  }
  if (op == "*" && a->k == kind::string && b->k == kind::integer) {
    std::string s;
    for (standin_int i = 0; i < b->number; ++i) s += a->text;
    return string(s);
  }
  raise_error("TypeError", "unsupported operand type(s) for " + op + ": '" + type_name(a) + "' and '" + type_name(b) + "'", line);
}

PyObject* lookup(const std::string& name, int line) {
  auto it = vm.globals.find(name);
  if (it != vm.globals.end()) return it->second;
  if (PyObject* o = builtin(name.c_str())) return o;
  raise_error("NameError", "name '" + name + "' is not defined", line);
}

PyObject* evaluate(expr* e) {
  switch (e->k) {
    case expr::literal: return e->value;
    case expr::name: return lookup(e->text, e->line);
    case expr::call: {
      PyObject* callee = evaluate(e->parts[0]);
      std::vector<PyObject*> args;
      std::size_t positional = e->parts.size() - 1 - e->keywords.size();
      for (std::size_t i = 1; i <= positional; ++i) args.push_back(evaluate(e->parts[i]));
      PyObject* kwargs = nullptr;
      if (!e->keywords.empty()) {
        kwargs = make(kind::dict);
        for (std::size_t k = 0; k < e->keywords.size(); ++k)
          kwargs->attrs[e->keywords[k]] = evaluate(e->parts[1 + positional + k]);
      }
      return call(callee, std::move(args), e->line, kwargs);
    }
    case expr::attribute: {
      PyObject* o = evaluate(e->parts[0]);
      auto it = o->attrs.find(e->text);
      if (it == o->attrs.end())
        raise_error("AttributeError", "'" + type_name(o) + "' object has no attribute '" + e->text + "'", e->line);
      return it->second;
    }
    case expr::subscript: {
      PyObject* o = evaluate(e->parts[0]);
      PyObject* index = evaluate(e->parts[1]);
      if (index->k != kind::integer) raise_error("TypeError", "indices must be integers", e->line);
      standin_int size = o->k == kind::string ? static_cast<standin_int>(o->text.size()) : static_cast<standin_int>(o->items.size());
      if (o->k != kind::string && o->k != kind::list && o->k != kind::tuple)
        raise_error("TypeError", "'" + type_name(o) + "' object is not subscriptable", e->line);
      standin_int i = index->number < 0 ? index->number + size : index->number;
      if (i < 0 || i >= size) raise_error("IndexError", type_name(o) + " index out of range", e->line);
      if (o->k == kind::string) return string(std::string(1, o->text[static_cast<std::size_t>(i)]));
      return o->items[static_cast<std::size_t>(i)];
    }
    case expr::binary:
      return binary(e->text, evaluate(e->parts[0]), evaluate(e->parts[1]), e->line);
    case expr::negate: {
      PyObject* o = evaluate(e->parts[0]);
      if (o->k != kind::integer && o->k != kind::boolean) raise_error("TypeError", "bad operand type for unary -", e->line);
      return integer(-o->number);
    }
    case expr::logical_not: return boolean(!truth(evaluate(e->parts[0])));
    case expr::list: {
      std::vector<PyObject*> items;
      for (expr* p : e->parts) items.push_back(evaluate(p));
      return sequence(kind::list, items);
    }
  }
  return none();
}

void execute(const block& b);

void execute(stmt* s) {
  switch (s->k) {
    case stmt::expression: evaluate(s->e); break;
    case stmt::assign: vm.globals[s->target] = evaluate(s->e); break;
    case stmt::assign_attribute: {
      PyObject* o = evaluate(s->object);
      PyObject* value = evaluate(s->e);
      if (o->k != kind::module) raise_error("AttributeError", "'" + type_name(o) + "' object attribute '" + s->target + "' is read-only", s->line);
      o->attrs[s->target] = value;
      break;
    }
    case stmt::pass: break;
    case stmt::import:
      for (const std::string& name : s->modules) {
        auto it = vm.modules.find(name);
        if (it == vm.modules.end()) raise_error("ImportError", "No module named " + name, s->line);
        vm.globals[name] = it->second;
      }
      break;
    case stmt::raise: {
      if (!s->e) raise_error("TypeError", "exceptions must be old-style classes or derived from BaseException, not NoneType", s->line);
      PyObject* o = evaluate(s->e);
      if (o->k == kind::type) o = exception(o, "");
      if (o->k != kind::exception)
        raise_error("TypeError", "exceptions must be old-style classes or derived from BaseException, not " + type_name(o), s->line);
      throw raised{o, s->line};
    }
    case stmt::conditional:
      for (auto& [test, body] : s->branches)
        if (truth(evaluate(test))) return execute(body);
      execute(s->otherwise);
      break;
    case stmt::attempt:
      try {
        execute(s->otherwise);
      } catch (const raised& r) {
        for (handler& h : s->handlers) {
          if (h.type && !is_subtype(r.instance->base, evaluate(h.type))) continue;
          if (!h.name.empty()) vm.globals[h.name] = r.instance;
          return execute(h.body);
        }
        throw;
      }
      break;
  }
}

void execute(const block& b) {
  for (stmt* s : b) execute(s);
}

// What Python prints for an exception that nobody caught.
void report(PyObject* instance, int line) {
  flush_output(1);
  std::string text;
  if (instance->base->text == "SyntaxError") {
    text = "  File \"<string>\", line " + std::to_string(line) + "\n";
  } else if (line > 0) {
    text = "Traceback (most recent call last):\n  File \"<string>\", line " + std::to_string(line) +
           ", in <module>\n";
  }
  text += instance->base->text;
  if (!instance->text.empty()) text += ": " + instance->text;
  text += "\n";
  emit(2, text);
  flush_output(2);
}

}  // namespace

int run(const char* text) {
  if (!vm.initialized) {
    std::fputs("standin: PyRun_SimpleString before Py_Initialize\n", stderr);
    return -1;
  }
  try {
    parser p(tokenize(text));
    block program = p.module();
    execute(program);
    return 0;
  } catch (const syntax_error& e) {
    report(exception(builtin("SyntaxError"), e.message), e.line);
  } catch (const raised& r) {
    report(r.instance, r.line);
  }
  return -1;
}

void print_pending() {
  if (!vm.pending) return;
  PyObject* e = vm.pending;
  vm.pending = nullptr;
  report(e, 0);
}

}  // namespace standin
