// The wipe table and the span compositors on any screen size: any wipe
// number, progress, maximum and offsets over pictures that are missing,
// 8-bit, smaller, larger or of odd size, and span lists taken straight from
// the input.
// Input: screen width byte, height byte, then per step an op byte and its
// values (see below), little-endian ints.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "effect/allwipe.h"
#include "effect/wipecommon.h"
#include "effect_fuzz.h"
#include "graphics/pictureloader.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "setup/random.h"

namespace {

constexpr int kMaxW = 48, kMaxH = 36;

// A shape whose spans are the input's.
class CFuzzShape : public CEffectSimpleWipeShape {
 public:
  using CEffectSimpleWipeShape::CEffectSimpleWipeShape;
  const char* KindName() const override { return "CFuzzShape"; }
  void CalcuSpan(int progress, int max) override {
    CEffectSimpleWipeShape::CalcuSpan(progress, max);
    int32_t* spans = Spans();
    const size_t n = static_cast<size_t>(CScreenBuffer::GetHeight()) * EntriesPerLine();
    for (size_t i = 0; i < n && !values.empty(); ++i) spans[i] = values[i % values.size()];
    if (boundaries)
      for (int y = 0; y < CScreenBuffer::GetHeight(); ++y)
        BoundaryEntries(spans + static_cast<size_t>(y) * EntriesPerLine(),
                        int64_t{values.empty() ? 0 : values[y % values.size()]} * 37);
  }
  // The input's values straight into the span list, then both compositors
  // over whatever the last preparation left.
  void Composite() {
    if (int32_t* spans = Spans())
      for (size_t i = 0; i < static_cast<size_t>(CScreenBuffer::GetHeight()) * 8 && !values.empty();
           ++i)
        spans[i] = values[i % values.size()];
    BltSpanMulti();
    BltSpanSoft();
  }
  std::vector<int32_t> values;
  bool boundaries = false;
};

// Pictures: none, 8-bit, screen-sized at the largest screen, small, larger
// and odd, without pixels, much larger.
std::vector<CPicture*>& Pictures() {
  static std::vector<CPicture*>* pictures = [] {
    fuzzsupport::EnterGameFolder("dwq");
    InitPictureLoader(dwq::kDecodeMegabytes);
    auto* list = new std::vector<CPicture*>;
    list->push_back(nullptr);
    CScreenBuffer screen(kMaxW, kMaxH, 0);  // the picture loader reads the screen's format
    auto* palette = new CPicture;
    std::string error;
    dwqtool::Picture p = effectfuzz::Pattern(kMaxW, kMaxH, false);
    for (uint32_t& px : p.pixels) px &= 0xF00040;
    const bool ok =
        effecttool::LoadPictureThroughFile(palette, p, platform::GameFolder(), &error, true);
    fuzzsupport::Check(ok && palette->Get256Flag(), "an 8-bit picture");
    list->push_back(palette);
    for (auto [w, h] :
         {std::pair{kMaxW, kMaxH}, {13, 7}, {kMaxW + 1, kMaxH + 3}, {kMaxW * 2, kMaxH * 2}}) {
      auto* picture = new CPicture(w, h, 0);
      uint32_t* px = picture->GetPixelBuffer();
      for (int i = 0; i < w * h; ++i) px[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
      list->push_back(picture);
    }
    list->push_back(new CPicture);
    return list;
  }();
  return *pictures;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using effectfuzz::TakeByte;
  using effectfuzz::TakeInt;
  std::vector<CPicture*>& pictures = Pictures();
  const int w = TakeByte(data, size) % kMaxW + 1;
  const int h = TakeByte(data, size) % kMaxH + 1;
  crt::srand(TakeByte(data, size));
  CScreenBuffer screen(w, h, 0);
  CAllWipe table;
  CFuzzShape shape(&table);
  for (int step = 0; step < 8 && size > 0; ++step) {
    const uint8_t op = TakeByte(data, size);
    CPicture* from = pictures[TakeByte(data, size) % pictures.size()];
    CPicture* to = pictures[TakeByte(data, size) % pictures.size()];
    const int progress = op & 2 ? TakeInt(data, size) : TakeByte(data, size) % 12 - 1;
    const int max = op & 4 ? TakeInt(data, size) : TakeByte(data, size) % 12;
    int offsets[4] = {};
    if (op & 8)
      for (int& o : offsets) o = op & 16 ? TakeInt(data, size) : TakeByte(data, size) % 80 - 20;
    const int* oldOffset = op & 8 ? offsets : nullptr;
    const int* newOffset = op & 8 ? offsets + 2 : nullptr;
    if (op & 1) {
      // Numbers mostly from the list, some outside it.
      const uint8_t pick = TakeByte(data, size);
      const int number = pick < 200 ? pick % 96 : (pick - 228) * 11;
      table.Print(number, from, to, progress, max, oldOffset, newOffset);
    } else {
      shape.SetRunCount(TakeByte(data, size) % 9 - 1);
      shape.SetSoftEdge(op & 32 ? 1 : 0, TakeByte(data, size) * 2 - 64);
      shape.SetReverseFlag(op & 64);
      shape.boundaries = op & 128;
      shape.values.clear();
      for (int n = TakeByte(data, size) % 24; n > 0; --n)
        shape.values.push_back(op & 16 ? TakeInt(data, size)
                                       : static_cast<int8_t>(TakeByte(data, size)) * 3);
      shape.Print(from, to, progress, max, oldOffset, newOffset);
      if (progress & 1) shape.Composite();
    }
  }
  return 0;
}
