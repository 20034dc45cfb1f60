// zor-check-keygen OUT FILE... (or @LIST, a file naming one a line): writes, as lines of a C++ array, every
// string literal of the engine's source files that could be a settings key
// or a piece of one (adjacent literals joined, escapes decoded; literals
// holding a byte that ends a list token, or a path's or file name's marks,
// left out). Run at build time over
// every engine source, so the lint's catalogue of keys follows the code.
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/codec.h"
#include "tools/common/hostfile.h"

namespace {

bool EndsToken(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0' || c == ',';
}

// A key is one word without a path's or a file name's marks; the second
// byte of a double-byte character may be anything.
bool CouldBeKey(const std::string& literal) {
  if (literal.empty() || literal.size() > 127) return false;
  for (size_t i = 0; i < literal.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(literal[i]);
    if (platform::IsCp932LeadByte(b)) {
      ++i;
    } else if (EndsToken(b) || b == '/' || b == '\\' || b == '.' || b == ':') {
      return false;
    }
  }
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decodes the literal whose opening quote is at `pos`; leaves `pos` past the
// closing quote.
std::string ReadLiteral(const std::string& text, size_t& pos) {
  std::string out;
  ++pos;
  while (pos < text.size() && text[pos] != '"') {
    char c = text[pos++];
    if (c == '\n') break;  // not a literal after all
    if (c != '\\' || pos >= text.size()) {
      out += c;
      continue;
    }
    c = text[pos++];
    if (c == 'x') {
      int value = 0;
      while (pos < text.size() && HexValue(text[pos]) >= 0) value = value * 16 + HexValue(text[pos++]);
      out += static_cast<char>(value);
    } else if (c >= '0' && c <= '7') {
      int value = c - '0';
      for (int k = 0; k < 2 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7'; ++k)
        value = value * 8 + (text[pos++] - '0');
      out += static_cast<char>(value);
    } else if (c == 'n') {
      out += '\n';
    } else if (c == 't') {
      out += '\t';
    } else if (c == 'r') {
      out += '\r';
    } else {
      out += c;
    }
  }
  if (pos < text.size()) ++pos;
  return out;
}

// Collects the literals of one source text, skipping comments and
// character literals.
void Collect(const std::string& text, std::set<std::string>& keys) {
  size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == '/' && pos + 1 < text.size() && text[pos + 1] == '/') {
      pos = text.find('\n', pos);
      if (pos == std::string::npos) break;
      continue;
    }
    if (c == '/' && pos + 1 < text.size() && text[pos + 1] == '*') {
      pos = text.find("*/", pos + 2);
      if (pos == std::string::npos) break;
      pos += 2;
      continue;
    }
    if (c == '\'') {
      ++pos;
      while (pos < text.size() && text[pos] != '\'') pos += text[pos] == '\\' ? 2 : 1;
      ++pos;
      continue;
    }
    if (c != '"') {
      ++pos;
      continue;
    }
    std::string literal = ReadLiteral(text, pos);
    // "abc" "def" is one literal.
    for (;;) {
      size_t next = pos;
      while (next < text.size() && (text[next] == ' ' || text[next] == '\n' || text[next] == '\t' ||
                                    text[next] == '\r'))
        ++next;
      if (next >= text.size() || text[next] != '"') break;
      pos = next;
      literal += ReadLiteral(text, pos);
    }
    if (CouldBeKey(literal)) keys.insert(literal);
  }
}

std::string Escape(const std::string& s) {
  std::string out;
  for (unsigned char b : s) {
    if (b == '"' || b == '\\' || b == '?' || b < 0x20 || b >= 0x7F) {
      char octal[8];
      std::snprintf(octal, sizeof octal, "\\%03o", b);
      out += octal;
    } else {
      out += static_cast<char>(b);
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: zor-check-keygen OUT FILE...\n");
    return 2;
  }
  std::vector<std::string> files;
  for (int i = 2; i < argc; ++i) {
    if (argv[i][0] != '@') {
      files.emplace_back(argv[i]);
      continue;
    }
    std::ifstream list(argv[i] + 1);
    if (!list) {
      std::fprintf(stderr, "zor-check-keygen: cannot read %s\n", argv[i] + 1);
      return 1;
    }
    for (std::string line; std::getline(list, line);)
      if (!line.empty()) files.push_back(line);
  }
  std::set<std::string> keys;
  for (const std::string& name : files) {
    std::string text;
    if (!toolsupport::ReadHostFile(name, &text)) {
      std::fprintf(stderr, "zor-check-keygen: cannot read %s\n", name.c_str());
      return 1;
    }
    Collect(text, keys);
  }
  std::ostringstream out;
  out << "// Generated by zor-check-keygen from the engine's sources; do not edit.\n";
  for (const std::string& key : keys) out << "\"" << Escape(key) << "\",\n";
  std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
  file << out.str();
  if (!file) {
    std::fprintf(stderr, "zor-check-keygen: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
