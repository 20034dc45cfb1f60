// CAnimeCounter: the frame counter of a small pattern animation (face
// pictures, the game mouse). Types: 1 loop, 2 once, 3 back and forth, 4 back
// and forth once; 5 to 8 the same with a cross-fade from each pattern to
// the next. A once type stops at its end: types 2 and 6 on the last
// pattern, types 4 and 8 back on pattern 0.
#pragma once

#include <cstdint>

class CAnimeCounter {
 public:
  CAnimeCounter();
  void Set(int type, int patterns, int framesPerPattern);
  // Frame counter n, current and next pattern 0, percent 100.
  void SetCount(int n);
  // Advances by n frames; 1 when the end of the cycle was reached or passed.
  int Calcu(int n);
  int GetPattern() const { return pattern_; }
  int GetNextPattern() const { return nextPattern_; }
  // The current pattern's share of a cross-fade to the next, 100 without.
  int GetPercent() const { return percent_; }
  int GetCount() const { return count_; }
  void Release() {}

 private:
  int patterns_ = 1;
  int framesPerPattern_ = 1;
  int type_ = 0;
  int count_ = 0;
  int pattern_ = 0;
  int nextPattern_ = 0;
  int percent_ = 100;
};
