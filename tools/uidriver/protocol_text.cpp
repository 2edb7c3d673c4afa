// The text of the driver's command language: splitting command lines into
// words and writing reply lines.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "driver.h"

namespace uidriver {

void Fail(const std::string& code, const std::string& message) {
  throw CommandError{code, message};
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsKeyChar(char c, bool first) {
  unsigned char u = static_cast<unsigned char>(c);
  if (first) return std::islower(u) != 0;
  return std::islower(u) || std::isdigit(u) || c == '-' || c == '_';
}

}  // namespace

bool SplitLine(const std::string& line, std::vector<Arg>* words, std::string* error) {
  words->clear();
  size_t i = 0;
  const size_t n = line.size();
  while (true) {
    while (i < n && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i >= n) return true;
    Arg arg;
    std::string text;
    bool quotedAny = false;
    size_t keyEnd = std::string::npos;
    while (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
      char c = line[i];
      if (c == '"') {
        quotedAny = true;
        ++i;
        bool closed = false;
        while (i < n) {
          char q = line[i++];
          if (q == '"') {
            closed = true;
            break;
          }
          if (q != '\\') {
            text += q;
            continue;
          }
          if (i >= n) break;
          char e = line[i++];
          switch (e) {
            case 'n': text += '\n'; break;
            case 't': text += '\t'; break;
            case 'r': text += '\r'; break;
            case '\\': text += '\\'; break;
            case '"': text += '"'; break;
            case 'x': {
              int h1 = i < n ? HexDigit(line[i]) : -1;
              int h2 = i + 1 < n ? HexDigit(line[i + 1]) : -1;
              if (h1 < 0 || h2 < 0) {
                *error = "\\x needs two hex digits";
                return false;
              }
              text += static_cast<char>(h1 * 16 + h2);
              i += 2;
              break;
            }
            default:
              *error = std::string("unknown escape \\") + e;
              return false;
          }
        }
        if (!closed) {
          *error = "unterminated quote";
          return false;
        }
        continue;
      }
      if (c == '=' && !quotedAny && keyEnd == std::string::npos && !text.empty()) {
        bool isKey = IsKeyChar(text[0], true);
        for (size_t k = 1; isKey && k < text.size(); ++k) isKey = IsKeyChar(text[k], false);
        if (isKey) {
          keyEnd = text.size();
          arg.key = text;
          text.clear();
          ++i;
          continue;
        }
      }
      text += c;
      ++i;
    }
    if (keyEnd != std::string::npos) {
      arg.named = true;
      arg.value = text;
    } else {
      arg.value = text;
    }
    words->push_back(arg);
  }
}

Args::Args(std::string verb, std::vector<Arg> words) : m_verb(std::move(verb)) {
  for (Arg& a : words) {
    if (a.named)
      m_named.push_back(std::move(a));
    else
      m_positional.push_back(std::move(a.value));
  }
}

const std::string& Args::Positional(size_t i, const char* what) const {
  if (i >= m_positional.size()) Fail("bad-args", m_verb + ": missing " + what + " (see help)");
  return m_positional[i];
}

std::string Args::PositionalOr(size_t i, const std::string& fallback) const {
  return i < m_positional.size() ? m_positional[i] : fallback;
}

bool Args::Has(const std::string& key) const {
  for (const Arg& a : m_named)
    if (a.key == key) return true;
  return false;
}

std::string Args::Named(const std::string& key, const std::string& fallback) const {
  for (const Arg& a : m_named)
    if (a.key == key) return a.value;
  return fallback;
}

long long Args::NamedInt(const std::string& key, long long fallback) const {
  if (!Has(key)) return fallback;
  return ParseInt(Named(key, ""), key.c_str());
}

bool Args::NamedBool(const std::string& key, bool fallback) const {
  if (!Has(key)) return fallback;
  std::string v = Named(key, "");
  if (v == "1" || v == "yes" || v == "true") return true;
  if (v == "0" || v == "no" || v == "false") return false;
  Fail("bad-args", key + " takes 1 or 0, got \"" + v + "\"");
}

void Args::Check(size_t maxPositional, std::initializer_list<const char*> known) const {
  if (m_positional.size() > maxPositional)
    Fail("bad-args", m_verb + ": unexpected word \"" + m_positional[maxPositional] + "\" (see help)");
  for (const Arg& a : m_named) {
    bool ok = a.key == kDuringWaitOption;  // every command takes it
    for (const char* k : known)
      if (a.key == k) ok = true;
    if (!ok) Fail("bad-args", m_verb + ": unknown option " + a.key + "= (see help)");
  }
}

bool IsInteger(const std::string& text) {
  if (text.empty()) return false;
  size_t i = (text[0] == '-') ? 1 : 0;
  if (i >= text.size()) return false;
  for (; i < text.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

long long ParseInt(const std::string& text, const char* what) {
  if (!IsInteger(text)) Fail("bad-args", std::string(what) + " must be a number, got \"" + text + "\"");
  return std::strtoll(text.c_str(), nullptr, 10);
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default:
        if (u < 0x20 || u == 0x7f) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02x", u);
          out += buf;
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

std::string ListOf(const std::vector<std::string>& items) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out += ' ';
    out += items[i];
  }
  out += ']';
  return out;
}

std::string QuotedList(const std::vector<std::string>& texts) {
  std::vector<std::string> q;
  for (const std::string& t : texts) q.push_back(Quote(t));
  return ListOf(q);
}

std::string HandleText(HWND hwnd) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)));
  return buf;
}

std::string RectText(const RECT& r) {
  char buf[80];
  std::snprintf(buf, sizeof buf, "[%ld %ld %ld %ld]", r.left, r.top, r.right, r.bottom);
  return buf;
}

Reply& Reply::Word(const std::string& key, const std::string& word) {
  m_text += ' ';
  m_text += key;
  m_text += '=';
  m_text += word;
  return *this;
}

Reply& Reply::Str(const std::string& key, const std::string& text) { return Word(key, Quote(text)); }

Reply& Reply::Int(const std::string& key, long long value) { return Word(key, std::to_string(value)); }

Reply& Reply::Handle(const std::string& key, HWND hwnd) { return Word(key, HandleText(hwnd)); }

Reply& Reply::List(const std::string& key, const std::vector<std::string>& items) {
  return Word(key, ListOf(items));
}

std::string Reply::Line() const { return "ok" + m_text; }

}  // namespace uidriver
