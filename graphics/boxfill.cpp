#include "graphics/boxfill.h"

#include <algorithm>

#include "graphics/rowops.h"
#include "graphics/screenbuffer.h"

namespace geo {

AddSubWords ScaleSignedColour(int r, int g, int b, int percent) {
  AddSubWords out;
  const int parts[3] = {b, g, r};
  for (int c = 0; c < 3; ++c) {
    int64_t v = int64_t{parts[c]} * percent / 100;
    // A part beyond one byte would spill into its neighbour: saturate it.
    uint32_t up = static_cast<uint32_t>(std::clamp<int64_t>(v, 0, 255));
    uint32_t down = static_cast<uint32_t>(std::clamp<int64_t>(-v, 0, 255));
    out.add |= up << (8 * c);
    out.sub |= down << (8 * c);
  }
  return out;
}

}  // namespace geo

void CBoxFill::Fill(int x, int y, int w, int h, int r, int g, int b) {
  if (!CScreenBuffer::ClipRect(&x, &y, &w, &h)) return;
  const uint32_t colour = geo::ColourWord(r, g, b);
  const int pitch = CScreenBuffer::GetWidth();
  uint32_t* row = CScreenBuffer::GetBuffer() + static_cast<size_t>(y) * pitch + x;
  rowops::FillRows(row, static_cast<size_t>(w), static_cast<size_t>(h), static_cast<size_t>(pitch),
                   colour);
}

void CTransBoxFill::Fill(int x, int y, int w, int h, int r, int g, int b, int percent) {
  if (!CScreenBuffer::ClipRect(&x, &y, &w, &h)) return;
  percent = std::clamp(percent, 0, 100);
  const unsigned k = static_cast<unsigned>(percent * 256 / 100);
  uint16_t term[4];
  rowops::ColourTerms(geo::ColourWord(r, g, b), k, term);
  const int pitch = CScreenBuffer::GetWidth();
  uint32_t* row = CScreenBuffer::GetBuffer() + static_cast<size_t>(y) * pitch + x;
  for (int j = 0; j < h; ++j, row += pitch) rowops::BlendConst(row, static_cast<size_t>(w), term, 256 - k);
}

void CAddBoxFill::Fill(int x, int y, int w, int h, int r, int g, int b, int percent) {
  if (!CScreenBuffer::ClipRect(&x, &y, &w, &h)) return;
  const geo::AddSubWords words = geo::ScaleSignedColour(r, g, b, percent);
  const int pitch = CScreenBuffer::GetWidth();
  uint32_t* row = CScreenBuffer::GetBuffer() + static_cast<size_t>(y) * pitch + x;
  for (int j = 0; j < h; ++j, row += pitch)
    rowops::AddSub(row, static_cast<size_t>(w), words.add, words.sub);
}
