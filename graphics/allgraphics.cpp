#include "graphics/allgraphics.h"

#include <algorithm>

#include "graphics/familyslots.h"
#include "graphics/rowops.h"
#include "graphics/screenbuffer.h"

CFade* CAllGraphics::fade_ = nullptr;
CFillScreen* CAllGraphics::fillScreen_ = nullptr;
CMulti* CAllGraphics::multi_ = nullptr;
CAddSub* CAllGraphics::addSub_ = nullptr;
CGrey* CAllGraphics::grey_ = nullptr;
CNega* CAllGraphics::nega_ = nullptr;
CLayerSepia* CAllGraphics::layerSepia_ = nullptr;
CLayerGrey* CAllGraphics::layerGrey_ = nullptr;

namespace {

// The whole screen is one run of W x H pixels (pitch = width). Every pixel
// of it is filtered, whatever the count's remainder in groups of 8.
size_t ScreenPixels() {
  return static_cast<size_t>(CScreenBuffer::GetWidth()) * CScreenBuffer::GetHeight();
}

// Calls op(run, n) for each row of a clipped rectangle; the whole screen goes
// to whole(). Nothing when the rectangle is not visible.
template <typename Whole, typename Op>
void ForRect(int x, int y, int w, int h, Whole whole, Op op) {
  if (!CScreenBuffer::ClipRect(&x, &y, &w, &h)) return;
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  if (x == 0 && y == 0 && w == W && h == H) {
    whole();
    return;
  }
  uint32_t* row = CScreenBuffer::GetBuffer() + static_cast<size_t>(y) * W + x;
  for (int j = 0; j < h; ++j, row += W) op(row, static_cast<size_t>(w));
}

void NegaRun(uint32_t* run, size_t n) {
  for (size_t i = 0; i < n; ++i) run[i] ^= 0x00FFFFFFu;
}

void GreyRun(uint32_t* run, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    uint32_t y = GreyLevel(run[i]);
    run[i] = (y << 16) | (y << 8) | y;
  }
}

struct AddSubAmounts {
  uint32_t add, sub;
};
AddSubAmounts AddSubWords(int r, int g, int b) {
  if (g == -9999) g = r;
  if (b == -9999) b = g;
  const int parts[3] = {b, g, r};
  AddSubAmounts out{0, 0};
  for (int c = 0; c < 3; ++c) {
    int64_t v = parts[c];
    out.add |= static_cast<uint32_t>(std::clamp<int64_t>(v, 0, 255)) << (8 * c);
    out.sub |= static_cast<uint32_t>(std::clamp<int64_t>(-v, 0, 255)) << (8 * c);
  }
  return out;
}

struct MultiFactors {
  uint32_t f[3];  // B, G, R
};
MultiFactors MultiWords(int r, int g, int b) {
  if (g == -1) g = r;
  if (b == -1) b = g;
  const int parts[3] = {b, g, r};
  MultiFactors out;
  for (int c = 0; c < 3; ++c) out.f[c] = static_cast<uint32_t>(std::clamp(parts[c], 0, 100) * 256 / 100);
  return out;
}

void MultiRun(uint32_t* run, size_t n, const MultiFactors& m) {
  for (size_t i = 0; i < n; ++i) {
    uint32_t p = run[i], out = 0;
    for (int c = 0; c < 3; ++c) out |= ((((p >> (8 * c)) & 0xFF) * m.f[c]) >> 8) << (8 * c);
    run[i] = out;
  }
}


}  // namespace

void CFillScreen::Fill(int r, int g, int b) {
  if (g == -1) g = r;
  if (b == -1) b = g;
  // Not masked: callers pass 0..255.
  const uint32_t colour = (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
                          static_cast<uint32_t>(b);
  uint32_t* p = CScreenBuffer::GetBuffer();
  if (p) rowops::Fill(p, ScreenPixels(), colour);
}

void CFade::Fade(int screenPercent, int r, int g, int b, int colourPercent) {
  if (g == -1) g = r;
  if (b == -1) b = g;
  if (colourPercent == -1)
    colourPercent = static_cast<int>(std::clamp<int64_t>(100 - int64_t{screenPercent}, 0, 100));
  screenPercent = std::clamp(screenPercent, 0, 100);
  colourPercent = std::clamp(colourPercent, 0, 100);
  const int a = (screenPercent * 32767 / 100) & 0x7FFF;
  const int e = (colourPercent * 32767 / 100) & 0x7FFF;
  const int colour[3] = {b, g, r};
  int16_t k[4] = {0, 0, 0, 0};
  for (int c = 0; c < 3; ++c) {
    // A colour channel is one byte; out-of-range arguments saturate.
    int twice = std::clamp(colour[c], 0, 255) * 2;
    k[c] = static_cast<int16_t>((e * twice) >> 16);
  }
  uint32_t* p = CScreenBuffer::GetBuffer();
  if (p) rowops::Fade(p, ScreenPixels(), a, k);
}

void CLayerSepia::Sepia(int level, int r, int g, int b) {
  uint32_t* p = CScreenBuffer::GetBuffer();
  if (!p) return;
  // Unsigned 16-bit lanes throughout, as the level is not clamped.
  const uint16_t keep = static_cast<uint16_t>(256u - static_cast<unsigned>(level));
  const uint16_t lvl = static_cast<uint16_t>(level);
  const uint16_t tint[4] = {static_cast<uint16_t>(b), static_cast<uint16_t>(g),
                            static_cast<uint16_t>(r), 0};
  const size_t n = ScreenPixels();
  for (size_t i = 0; i < n; ++i) {
    uint32_t px = p[i], out = 0;
    uint16_t y = static_cast<uint16_t>(GreyLevel(px));
    for (int c = 0; c < 4; ++c) {
      uint16_t toned = static_cast<uint16_t>(static_cast<uint16_t>(y * tint[c]) >> 8);
      uint16_t sum = static_cast<uint16_t>(static_cast<uint16_t>(toned * lvl) +
                                           static_cast<uint16_t>(((px >> (8 * c)) & 0xFF) * keep));
      out |= static_cast<uint32_t>(sum >> 8) << (8 * c);
    }
    p[i] = out;
  }
}

void CLayerGrey::Grey(int level) {
  uint32_t* p = CScreenBuffer::GetBuffer();
  if (!p) return;
  const uint16_t keep = static_cast<uint16_t>(256u - static_cast<unsigned>(level));
  const uint16_t lvl = static_cast<uint16_t>(level);
  const size_t n = ScreenPixels();
  for (size_t i = 0; i < n; ++i) {
    uint32_t px = p[i], out = 0;
    uint16_t y = static_cast<uint16_t>(GreyLevel(px));
    for (int c = 0; c < 3; ++c) {
      uint16_t sum = static_cast<uint16_t>(static_cast<uint16_t>(y * lvl) +
                                           static_cast<uint16_t>(((px >> (8 * c)) & 0xFF) * keep));
      out |= static_cast<uint32_t>(sum >> 8) << (8 * c);
    }
    p[i] = out;  // the top byte becomes 0
  }
}

void CNega::Nega() {
  uint32_t* p = CScreenBuffer::GetBuffer();
  if (p) NegaRun(p, ScreenPixels());
}

void CNega::NegaRect(int x, int y, int w, int h) {
  ForRect(x, y, w, h, [this] { Nega(); }, NegaRun);
}

void CGrey::Grey() {
  uint32_t* p = CScreenBuffer::GetBuffer();
  if (p) GreyRun(p, ScreenPixels());
}

void CGrey::GreyRect(int x, int y, int w, int h) {
  ForRect(x, y, w, h, [this] { Grey(); }, GreyRun);
}

void CAddSub::AddSub(int r, int g, int b) {
  uint32_t* p = CScreenBuffer::GetBuffer();
  if (!p) return;
  const AddSubAmounts a = AddSubWords(r, g, b);
  rowops::AddSub(p, ScreenPixels(), a.add, a.sub);
}

void CAddSub::AddSubRect(int x, int y, int w, int h, int r, int g, int b) {
  const AddSubAmounts a = AddSubWords(r, g, b);
  ForRect(
      x, y, w, h, [&] { AddSub(r, g, b); },
      [&](uint32_t* run, size_t n) { rowops::AddSub(run, n, a.add, a.sub); });
}

void CMulti::Multi(int r, int g, int b) {
  uint32_t* p = CScreenBuffer::GetBuffer();
  if (p) MultiRun(p, ScreenPixels(), MultiWords(r, g, b));
}

void CMulti::MultiRect(int x, int y, int w, int h, int r, int g, int b) {
  const MultiFactors m = MultiWords(r, g, b);
  ForRect(
      x, y, w, h, [&] { Multi(r, g, b); }, [&](uint32_t* run, size_t n) { MultiRun(run, n, m); });
}

CAllGraphics::CAllGraphics() {
  family::Make(&fade_);
  family::Make(&fillScreen_);
  family::Make(&multi_);
  family::Make(&addSub_);
  family::Make(&grey_);
  family::Make(&nega_);
  family::Make(&layerSepia_);
  family::Make(&layerGrey_);
}

CAllGraphics::~CAllGraphics() { Release(); }

void CAllGraphics::Release() {
  family::Drop(&fade_);
  family::Drop(&fillScreen_);
  family::Drop(&multi_);
  family::Drop(&addSub_);
  family::Drop(&grey_);
  family::Drop(&nega_);
  family::Drop(&layerSepia_);
  family::Drop(&layerGrey_);
}

void CAllGraphics::FillScreen(int r, int g, int b) {
  if (fillScreen_) fillScreen_->Fill(r, g, b);
}
void CAllGraphics::Fade(int screenPercent, int r, int g, int b, int colourPercent) {
  if (fade_) fade_->Fade(screenPercent, r, g, b, colourPercent);
}
void CAllGraphics::LayerSepia(int level, int r, int g, int b) {
  if (layerSepia_) layerSepia_->Sepia(level, r, g, b);
}
void CAllGraphics::LayerGrey(int level) {
  if (layerGrey_) layerGrey_->Grey(level);
}
void CAllGraphics::Nega() {
  if (nega_) nega_->Nega();
}
void CAllGraphics::NegaRect(int x, int y, int w, int h) {
  if (nega_) nega_->NegaRect(x, y, w, h);
}
void CAllGraphics::Grey() {
  if (grey_) grey_->Grey();
}
void CAllGraphics::GreyRect(int x, int y, int w, int h) {
  if (grey_) grey_->GreyRect(x, y, w, h);
}
void CAllGraphics::AddSub(int r, int g, int b) {
  if (addSub_) addSub_->AddSub(r, g, b);
}
void CAllGraphics::AddSubRect(int x, int y, int w, int h, int r, int g, int b) {
  if (addSub_) addSub_->AddSubRect(x, y, w, h, r, g, b);
}
void CAllGraphics::Multi(int r, int g, int b) {
  if (multi_) multi_->Multi(r, g, b);
}
void CAllGraphics::MultiRect(int x, int y, int w, int h, int r, int g, int b) {
  if (multi_) multi_->MultiRect(x, y, w, h, r, g, b);
}
