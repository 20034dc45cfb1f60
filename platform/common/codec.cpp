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

}  // namespace platform
