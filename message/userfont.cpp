#include "message/userfont.h"

#include <algorithm>
#include <cstring>

#include "platform/files.h"
#include "platform/system.h"
#include "platform/types.h"

namespace {
// "ユーザーフォントLOADエラー"
const char kLoadErrorCaption[] =
    "\x83\x86\x81\x5b\x83\x55\x81\x5b\x83\x74\x83\x48\x83\x93\x83\x67LOAD\x83\x47\x83\x89\x81\x5b";
constexpr int kSizeOffset = 41;
constexpr int kDepthOffset = 57;
}  // namespace

CUserFont::CUserFont(const char* name) {
  const std::string font = name ? name : "";
  std::string image;
  if (!platform::ReadWholeFile("mok\\" + font + ".mft", &image) || !LoadImage(std::move(image))) {
    platform::MessageBox(nullptr, font.c_str(), kLoadErrorCaption, MB_OK | MB_ICONWARNING);
  }
}

CUserFont::~CUserFont() { Release(); }

void CUserFont::Release() {
  image_.clear();
  image_.shrink_to_fit();
  glyph_.clear();
  compact_.clear();
  size_ = depth_ = stride_ = 0;
}

bool CUserFont::LoadImage(std::string image) {
  Release();
  if (image.size() < static_cast<size_t>(kHeaderSize)) return false;
  int size = 0;
  for (int i = 0; i < 3; ++i) {
    const char c = image[kSizeOffset + i];
    if (c < '0' || c > '9') return false;
    size = size * 10 + (c - '0');
  }
  const char d = image[kDepthOffset];
  if (size < 1 || (d != '2' && d != '4' && d != '8')) return false;
  size_ = size;
  depth_ = d - '0';
  stride_ = (size + 7) / 8 * 8;
  image_ = std::move(image);
  glyph_.assign(static_cast<size_t>(stride_) * stride_, 0);
  compact_.assign(static_cast<size_t>(size_) * size_, 0);
  return true;
}

int CUserFont::GlyphNumber(unsigned char lead, unsigned char trail) {
  if (trail < 0x3F) return -1;
  if (lead >= 0x81 && lead <= 0x9F) return (lead - 0x81) * 192 + (trail - 0x3F);
  if (lead >= 0xE0 && lead <= 0xEF) return (lead - 0xC1) * 192 + (trail - 0x3F);
  return -1;
}

void CUserFont::DecodeRecord(const uint8_t* p) {
  const int s = stride_;
  switch (depth_) {
    case 8:
      std::memcpy(glyph_.data(), p, glyph_.size());
      break;
    case 4:  // per pair of rows one run: upper row low nibble
      for (int pair = 0; pair < s / 2; ++pair, p += s) {
        for (int x = 0; x < s; ++x) {
          glyph_[static_cast<size_t>(2 * pair) * s + x] = static_cast<uint8_t>((p[x] & 0x0F) * 17);
          glyph_[static_cast<size_t>(2 * pair + 1) * s + x] = static_cast<uint8_t>((p[x] >> 4) * 17);
        }
      }
      break;
    default:  // 2: per four rows one run, top row in the lowest bits
      for (int group = 0; group < s / 4; ++group, p += s) {
        for (int x = 0; x < s; ++x) {
          for (int r = 0; r < 4; ++r)
            glyph_[static_cast<size_t>(4 * group + r) * s + x] =
                static_cast<uint8_t>((p[x] >> (2 * r) & 3) * 85);
        }
      }
      break;
  }
}

const uint8_t* CUserFont::GetGlyph(const char* cell) {
  if (!IsValid()) {
    static const uint8_t kNothing[1] = {0};
    return kNothing;
  }
  const int number = cell ? GlyphNumber(static_cast<unsigned char>(cell[0]),
                                        static_cast<unsigned char>(cell[1]))
                          : -1;
  const size_t record = static_cast<size_t>(stride_) * stride_ * depth_ / 8;
  const size_t start = kHeaderSize + static_cast<size_t>(std::max(number, 0)) * record;
  if (number < 0 || start + record > image_.size()) {
    std::fill(glyph_.begin(), glyph_.end(), 0);
  } else {
    DecodeRecord(reinterpret_cast<const uint8_t*>(image_.data()) + start);
  }
  if (size_ == stride_) return glyph_.data();
  for (int y = 0; y < size_; ++y)
    std::memcpy(&compact_[static_cast<size_t>(y) * size_], &glyph_[static_cast<size_t>(y) * stride_],
                static_cast<size_t>(size_));
  return compact_.data();
}
