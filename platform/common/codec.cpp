#include "platform/codec.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace platform {
namespace {

// One converter per direction; iconv descriptors are not thread-safe, so
// each is used under its own lock.
struct Converter {
  Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~Converter() {
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }
  iconv_t cd;
  std::mutex mutex;
};

// Length of the character at the start of a UTF-8 sequence (1 for a stray byte).
size_t Utf8Length(unsigned char b) {
  if (b < 0x80) return 1;
  if ((b & 0xE0) == 0xC0) return 2;
  if ((b & 0xF0) == 0xE0) return 3;
  if ((b & 0xF8) == 0xF0) return 4;
  return 1;
}

// Converts in, replacing every character iconv rejects. skip(in) gives the
// length of the rejected character.
template <typename Skip>
std::string Convert(Converter& conv, std::string_view in, const char* replacement, Skip skip) {
  std::string out;
  if (conv.cd == reinterpret_cast<iconv_t>(-1)) {
    // Without a converter keep the ASCII part; anything else is replaced.
    for (unsigned char c : in) out += c < 0x80 ? std::string(1, static_cast<char>(c)) : replacement;
    return out;
  }
  std::lock_guard<std::mutex> lock(conv.mutex);
  iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  char buffer[1024];
  while (left > 0) {
    char* dst = buffer;
    size_t room = sizeof buffer;
    size_t r = iconv(conv.cd, &src, &left, &dst, &room);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: an unconvertible or cut character.
      size_t n = skip(static_cast<unsigned char>(*src), left);
      if (n > left) n = left;
      src += n;
      left -= n;
      out += replacement;
      iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  char* dst = buffer;
  size_t room = sizeof buffer;
  iconv(conv.cd, nullptr, nullptr, &dst, &room);
  out.append(buffer, static_cast<size_t>(dst - buffer));
  return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  static Converter conv("UTF-8", "CP932");
  return Convert(conv, cp932, "?", [](unsigned char b, size_t left) -> size_t {
    return IsCp932LeadByte(b) && left >= 2 ? 2 : 1;
  });
}

std::string Utf8ToCp932(std::string_view utf8, bool dropInvalid) {
  static Converter conv("CP932", "UTF-8");
  return Convert(conv, utf8, dropInvalid ? "" : "?",
                 [](unsigned char b, size_t) -> size_t { return Utf8Length(b); });
}

std::u32string Utf8ToCodePoints(std::string_view s) {
  std::u32string out;
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t extra = Utf8Length(c) - 1;
    char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
    bool ok = !(c >= 0x80 && extra == 0) && s.size() - i - 1 >= extra;
    for (size_t k = 1; ok && k <= extra; ++k) {
      const auto t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) ok = false;
      cp = cp << 6 | (t & 0x3F);
    }
    if (!ok) {
      out.push_back(U'?');
      ++i;
      continue;
    }
    out.push_back(cp);
    i += extra + 1;
  }
  return out;
}

char32_t Cp932CellToCodePoint(const char* cell, size_t bytes) {
  if (!cell || bytes < 1 || bytes > 2) return 0;
  const std::string_view in(cell, bytes);
  const std::string utf8 = Cp932ToUtf8(in);
  // The converter's replacement is '?': only a real '?' may give one.
  if (utf8 == "?" && in != "?") return 0;
  const std::u32string cps = Utf8ToCodePoints(utf8);
  return cps.size() == 1 ? cps[0] : 0;
}

}  // namespace platform
