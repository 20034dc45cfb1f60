// The two wipe base classes. A wipe draws one complete step of a transition
// from an old picture (progress 0) to a new one (the maximum) straight into
// the screen buffer and keeps nothing between calls but its construction
// arguments. CEffectSimpleWipeCommon prepares the two screen-sized windows
// of the pictures; CEffectSimpleWipeShape adds the span list that shape
// kinds fill line by line and the two compositors (hard and soft-edged)
// that copy the pictures run by run.
#pragma once

#include <cstdint>

class CAllWipe;
class CPicture;

// What a wipe number gives its kind besides the kind itself (see
// wipelist.cpp): a reverse flag, a soft edge with its blend width, and two
// kind-specific values (direction, mode, strips, ...).
struct WipeArgs {
  int reverse = 0;
  int softEdge = 0;
  int blendWidth = 64;
  int arg1 = 0;
  int arg2 = 0;
};

class CEffectSimpleWipeCommon {
 public:
  explicit CEffectSimpleWipeCommon(CAllWipe* owner);
  virtual ~CEffectSimpleWipeCommon() = default;
  CEffectSimpleWipeCommon(const CEffectSimpleWipeCommon&) = delete;
  CEffectSimpleWipeCommon& operator=(const CEffectSimpleWipeCommon&) = delete;

  // The class name of the kind (the table test reads it).
  virtual const char* KindName() const = 0;
  // Clean-up hook the table calls before it deletes the object.
  virtual void Release() {}
  // One step. Each offset is null (0, 0) or {x, y}: the picture pixel that
  // lands on screen pixel (0, 0).
  virtual void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
                     const int* oldOffset, const int* newOffset) = 0;

  // The common preparation: 1 when the step can be drawn. Clamps progress
  // into 0..max (max at least 1), pulls each offset back so that a
  // screen-sized window fits its picture, and refuses missing pictures,
  // 8-bit ones (unless the kind takes them), pictures without pixels and
  // pictures smaller than the screen.
  int SetPicture(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
                 const int* oldOffset, const int* newOffset);
  // Exchanges everything old with everything new.
  void SwapPicture();
  void SetReverseFlag(int flag) { reverse_ = flag ? 1 : 0; }
  int GetReverseFlag() const { return reverse_; }

 protected:
  // One prepared picture window.
  struct Window {
    CPicture* picture = nullptr;
    int x = 0, y = 0;           // offset
    int width = 0, height = 0;  // of the picture
    int pitch = 0;              // bytes per picture row
    int bytes = 0;              // per pixel: 4, or 1 for an 8-bit picture
    uint8_t* first = nullptr;   // the pixel under screen pixel (0, 0)
  };

  // 1 after a SetPicture that succeeded with two 32-bit pictures.
  int Prepared32() const { return prepared_ && old_.bytes == 4 && new_.bytes == 4; }

  // Row y of a prepared 32-bit window.
  static const uint32_t* Row(const Window& w, int y) {
    return reinterpret_cast<const uint32_t*>(w.first + static_cast<intptr_t>(y) * w.pitch);
  }
  const uint32_t* OldRow(int y) const { return Row(old_, y); }
  const uint32_t* NewRow(int y) const { return Row(new_, y); }
  static uint32_t* ScreenRow(int y);
  // Copies n pixels of row y from a window at screen column x.
  static void CopyRun(const Window& from, int x, int y, int n);
  // Copies whole line y from a window.
  void CopyLine(const Window& from, int y) const { CopyRun(from, 0, y, screenW_); }

  CAllWipe* owner_;
  Window old_, new_;
  int max_ = 1;
  int progress_ = 0;
  int screenW_ = 0, screenH_ = 0;
  int accept256_ = 0;
  int reverse_ = 0;
  int prepared_ = 0;
};

// The soft edge's alpha step for a blend width: 256 / width, or 64 when the
// width is 0 or below. The compositor and the span builders use it alike.
int WipeAlphaStep(int blendWidth);

namespace wipespan {

// The blended run of the soft compositor: pixel i gets the new weight
// w = max(a - i * step, 0) and the old weight min(256 - a + i * step, 256),
// and each byte is min(255, ((new * w) >> 8) + ((old * w') >> 8)); a in
// 0..256, step >= 0. The plain loop, and the entry the compositor calls
// (SSE2), which gives the same bytes.
void BlendRunPlain(uint32_t* dst, const uint32_t* newRow, const uint32_t* oldRow, int n, int a,
                   int step);
void BlendRun(uint32_t* dst, const uint32_t* newRow, const uint32_t* oldRow, int n, int a,
              int step);

}  // namespace wipespan

class CEffectSimpleWipeShape : public CEffectSimpleWipeCommon {
 public:
  explicit CEffectSimpleWipeShape(CAllWipe* owner);

  // SetPicture; with the reverse flag the pictures are exchanged and the
  // progress runs backwards; CalcuSpan; then the hard or the soft
  // compositor.
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
  // Fills the span list for one step; the base clears it.
  virtual void CalcuSpan(int progress, int max);

  void SetRunCount(int n) { runs_ = n; }
  void SetSoftEdge(int flag, int width) {
    soft_ = flag;
    blendWidth_ = width;
  }
  int GetRunCount() const { return runs_; }
  int GetSoftEdge() const { return soft_; }
  int GetBlendWidth() const { return blendWidth_; }

  // The compositors over the prepared windows and the span list; they draw
  // nothing unless SetPicture has prepared two 32-bit pictures. Every line
  // is cut at the screen width: negative runs count as 0, a run that would
  // pass the line's end stops there, and a line whose runs fall short keeps
  // the rest of its screen pixels.
  // One entry per line: that many new pixels, then old ones.
  void BltSpan1();
  // 2, 4 or 6 entries per line (runs 2; 3 or 4; 5 or more): runs alternate
  // old, new, ..., starting with old.
  void BltSpanMulti();
  // Four entries per line: new run, blended run, the new picture's start
  // weight in the blend (0..256), old run. The blend's new weight falls by
  // the alpha step per pixel, the old one rises by it.
  void BltSpanSoft();

  // Entries per line in the span list as the compositor in use reads them.
  int EntriesPerLine() const;

 protected:
  // The span list: the table's span buffer, or null when it cannot hold
  // the screen's lines.
  int32_t* Spans() const;
  // The soft or hard entries of a line whose boundary lies at x = l, new
  // to its left: one entry (hard) or four (soft).
  void BoundaryEntries(int32_t* line, int64_t l) const;

  int runs_ = 1;
  int blendWidth_ = 64;
  int soft_ = 0;
};
