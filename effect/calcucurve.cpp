#include "effect/calcucurve.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <utility>

#include "setup/random.h"

int ScaledValue(int v, int k, int divisor) {
  const int64_t product = int64_t{v} * k / (divisor == 0 ? 1 : divisor);
  return static_cast<int>(std::clamp<int64_t>(product, INT_MIN, INT_MAX));
}

namespace {

// The timing pattern w (1..10) at the clamped counter a; a / L for others.
double PatternValue(int w, int a, int L, int R) {
  const int U = std::max(R, 1);
  const int V = 2 * U;
  const double u = U;
  switch (w) {
    case 1:
      return a < R ? 0.0 : static_cast<double>(a - R) / std::max(L - R, 1);
    case 2:
      return a < R ? a / u : 1.0;
    case 3:
      return a < R ? a / u : static_cast<double>(std::max(L - a, 0)) / std::max(L - R, 1);
    case 4:
      if (a < R) return a / u;
      if (a < L - R) return 1.0;
      return std::max(L - a, 0) / u;
    case 5: {
      const int m = a % V;
      return (m < U ? m : V - m) / u;
    }
    case 6: {
      const int m = a % V;
      return (m < U ? U - m : m - U) / u;
    }
    case 7:
      return (a % U) / u;
    case 8:
      return (U - a % U) / u;
    case 9: {
      if (a <= 2 * V) return PatternValue(5, a, L, R);
      const int P = L - 2 * V;
      const int M = std::max(P / 2, 1);
      const int N = a - 2 * V;
      return static_cast<double>(N <= M ? N : P - N) / M;
    }
    case 10:
      if (a <= 2 * U) return (a % U) / u;
      return static_cast<double>(a - 2 * U) / std::max(L - 2 * U, 1);
    default:
      return static_cast<double>(a) / L;
  }
}

}  // namespace

int CalcuCurve(int counter, int length, int from, int to, int ramp, int code, int) {
  if ((code / 100) % 2 != 0) std::swap(from, to);
  const bool jitter = code / 200 != 0;
  const int r = code % 100;
  const int e = r / 15;
  const int w = r % 15;
  const int L = std::max(length, 1);
  const int a = std::clamp(counter, 0, L);
  // Ramps beyond the length only need to exceed it; this keeps 2 * V in range.
  const int R = std::clamp(ramp, 0, 1 << 28);
  double t = PatternValue(w, a, L, R);
  t = std::clamp(t, 0.0, 1.0);
  if (e == 2)
    t = t * t;
  else if (e == 4)
    t = std::sqrt(t);
  else if (e == 5)
    t = (1.0 - std::cos(t * 3.14159)) * 0.5;
  if (jitter) t = t * ((crt::rand() % 10000) * 0.0001);
  return ClampToInt(from + (static_cast<double>(to) - from) * t + 0.5);
}
