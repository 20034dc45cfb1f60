// The progress curve every effect times itself with: a frame counter becomes
// a value between `from` and `to`, shaped by a ramp length and a curve code.
//
// Curve code: code / 100 odd runs the curve backward (from and to swapped),
// code / 200 not 0 adds jitter; r = code % 100 picks the easing (r / 15:
// 2 square, 4 square root, 5 half cosine, others linear) and the timing
// pattern (r % 15: 1 delayed start, 2 early finish, 3 rise and fall back,
// 4 trapezoid, 5 / 6 triangle waves, 7 / 8 sawteeth, 9 two pulses then one
// slow rise and fall, 10 two teeth then one slow ramp; others linear).
#pragma once

#include <climits>

// Jitter draws from crt::rand. The last argument is not used (callers pass 0).
int CalcuCurve(int counter, int length, int from, int to, int ramp, int code, int ignored = 0);

// A double truncated toward zero into the int range (NaN gives 0). Inline:
// pixel loops call it for every pixel.
inline int ClampToInt(double v) {
  if (!(v == v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

// A script value times k (and divided by `divisor`, truncated), formed in
// 64 bits and held to the int range: what effects pass to CalcuCurve.
int ScaledValue(int v, int k, int divisor = 1);
