// CCommonSlider: a value bar (volumes, speeds). The bar picture is drawn
// filled to value / max of its width, with an optional knob at the value;
// a left click anywhere on the bar jumps the value there and starts a drag
// that follows the mouse until the button is released. It redraws only
// when the value changed, the frame is presented whole or a redraw is
// forced, repainting its area from a back picture first. It owns none of
// its pictures.
#pragma once

#include <cstdint>

class CMouseStatus;
class CPicture;

class CCommonSlider {
 public:
  // max below 1 becomes 1; value 0, no knob, not dragging. `spare` is kept
  // for the caller and not used.
  CCommonSlider(CPicture* bar, int max, int x, int y, int width, int height, int srcX, int srcY,
                int transFlag, CPicture* back, int spare);
  virtual ~CCommonSlider();
  CCommonSlider(const CCommonSlider&) = delete;
  CCommonSlider& operator=(const CCommonSlider&) = delete;
  // Frees nothing: the pictures are borrowed.
  virtual void Release() {}

  // The knob is drawn at (offset x + width * value / max, offset y) from the
  // bar's top-left and, with knobFlag, widens the bar's hit rows to its own.
  void SetKnob(CPicture* knob, int offsetX, int offsetY, int knobWidth, int knobHeight, int knobFlag);
  void SetMax(int max) { max_ = max > 0 ? max : 1; }
  int GetMax() const { return max_; }
  // Also ends a drag and makes the next Print redraw.
  void SetValue(int value);
  int GetValue() const { return value_; }
  int CheckDrag() const { return dragging_; }

  // The value while dragged or just clicked, else -1 (also for no mouse).
  int Calcu(const CMouseStatus* mouse);
  // mode 0 draws the bar normally, mode 1 at 50 percent.
  void Print(int force, int mode);

  // Both edges inclusive: one pixel past the drawn bar still hits.
  int CheckHit(int x, int y) const;
  // The value at mouse x, rounded to the nearest step and held to 0..max.
  int ValueAt(int x) const;

 private:
  // The knob's screen rectangle at value v: x, y, w, h.
  void KnobRect(int v, int64_t* rect) const;
  void Restore(const int64_t* rect) const;

  CPicture* bar_;
  CPicture* knob_ = nullptr;
  CPicture* back_;
  int max_;
  int x_, y_, width_, height_;
  int srcX_, srcY_;
  int transFlag_;
  int spare_;
  int knobFlag_ = 0;
  int knobOffsetX_ = 0, knobOffsetY_ = 0;
  int knobWidth_ = 0, knobHeight_ = 0;
  int value_ = 0;
  int previous_ = -1;
  int dragging_ = 0;
};
