// CFrameSkip: how many frames the frame-dependent steps may skip to catch up
// when the frames fall behind their period. The frame advances it with the
// elapsed time, steps that skip consume from it, and a frame that consumed
// nothing forgets the lag at its close.
#pragma once

class CFrameSkip {
 public:
  // Maximum skip 3, period 50 ms, adjust count 10, no lag.
  CFrameSkip();

  void SetMaxSkip(int n) { maxSkip_ = n; }
  void SetPeriod(int ms) { period_ = ms; }
  void SetAdjust(int frames) { adjust_ = frames; }
  int GetMaxSkip() const { return maxSkip_; }
  int GetPeriod() const { return period_; }
  int GetAdjust() const { return adjust_; }

  // The lag grows by elapsed; the skip count rises by one while the lag
  // exceeds skip count x adjust periods and falls by one once the lag is
  // back below (skip count - 1) x adjust periods, within 0..maximum.
  void Advance(int elapsed);
  // Frames caught up: the lag shrinks by n periods, not below -period.
  void Consume(int frames);
  void Reset();
  // End of a frame: an untouched controller is reset.
  void Close();

  int GetLag() const { return lag_; }
  // The skip count, or `value` when it lies in 0..skip count - 1.
  int GetSkipCount(int value = -1) const;
  int IsTouched() const { return touched_; }

 private:
  int maxSkip_ = 3;
  int period_ = 50;
  int adjust_ = 10;
  int lag_ = 0;
  int skip_ = 0;
  int touched_ = 1;
};
