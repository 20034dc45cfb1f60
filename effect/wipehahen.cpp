#include "effect/wipehahen.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "effect/allwipe.h"
#include "graphics/screenbuffer.h"

namespace {

// The vertices on a 640 x 480 screen.
constexpr int kVertexTable[CEffectSimpleWipeHahen::kVertices][2] = {
    {0, 0},     {90, 0},    {215, 0},   {255, 0},   {421, 0},   {511, 0},   {639, 0},   {0, 70},
    {166, 65},  {188, 33},  {251, 50},  {320, 102}, {390, 72},  {494, 56},  {483, 86},  {460, 58},
    {639, 87},  {0, 136},   {26, 121},  {123, 175}, {188, 146}, {288, 169}, {480, 177}, {576, 155},
    {639, 197}, {0, 188},   {80, 242},  {109, 249}, {180, 278}, {266, 272}, {297, 224}, {356, 265},
    {444, 235}, {538, 286}, {639, 249}, {0, 259},   {0, 309},   {40, 343},  {114, 338}, {274, 330},
    {393, 321}, {483, 347}, {547, 331}, {0, 385},   {91, 411},  {208, 402}, {315, 381}, {425, 379},
    {372, 408}, {493, 435}, {553, 377}, {639, 429}, {0, 479},   {22, 479},  {47, 450},  {96, 456},
    {121, 445}, {93, 479},  {215, 479}, {325, 466}, {309, 479}, {414, 479}, {453, 479}, {536, 479},
    {550, 479}, {639, 479},
};

// Each fragment: its corner count, then the vertex numbers from the topmost
// one down its left side to its lowest point and back up its right side.
constexpr int kFragmentTable[CEffectSimpleWipeHahen::kFragments]
                            [CEffectSimpleWipeHahen::kMaxCorners + 1] = {
                                {7, 0, 7, 18, 19, 20, 8, 1},
                                {3, 1, 8, 2},
                                {4, 2, 9, 10, 3},
                                {5, 3, 10, 11, 12, 4},
                                {4, 4, 12, 13, 5},
                                {6, 5, 14, 22, 23, 16, 6},
                                {3, 13, 15, 14},
                                {3, 7, 17, 18},
                                {6, 9, 8, 20, 21, 11, 10},
                                {9, 15, 12, 11, 21, 30, 31, 32, 22, 14},
                                {3, 16, 23, 24},
                                {6, 18, 17, 25, 26, 27, 19},
                                {7, 20, 19, 27, 28, 29, 30, 21},
                                {6, 23, 22, 32, 33, 34, 24},
                                {3, 25, 35, 26},
                                {7, 26, 35, 36, 37, 38, 28, 27},
                                {7, 29, 28, 38, 44, 56, 45, 39},
                                {7, 30, 29, 39, 46, 47, 40, 31},
                                {6, 32, 31, 40, 41, 42, 33},
                                {4, 34, 33, 50, 51},
                                {3, 36, 43, 37},
                                {6, 38, 37, 43, 52, 53, 44},
                                {4, 44, 54, 55, 56},
                                {4, 54, 53, 57, 55},
                                {4, 45, 55, 57, 58},
                                {6, 39, 45, 58, 60, 59, 46},
                                {4, 47, 46, 59, 48},
                                {3, 48, 60, 61},
                                {6, 40, 48, 61, 62, 49, 41},
                                {3, 49, 62, 63},
                                {6, 42, 41, 49, 63, 64, 50},
                                {4, 50, 64, 65, 51},
};

// One side of a fragment: a chain of vertices running down the screen.
struct Side {
  CEffectSimpleWipeHahen::Point points[CEffectSimpleWipeHahen::kMaxCorners + 1];
  int count = 0;
  int at = 0;
  // x on the side at line y (y never decreasing between calls).
  int X(int y) {
    while (at + 2 < count && points[at + 1].y <= y) ++at;
    const auto& a = points[at];
    const auto& b = points[std::min(at + 1, count - 1)];
    const double t = y - a.y;
    return static_cast<int>(std::floor(a.x + (b.x - a.x) * t / std::max(b.y - a.y, 1) + 0.5));
  }
};

}  // namespace

int CEffectSimpleWipeHahen::CornerCount(int fragment) { return kFragmentTable[fragment][0]; }
int CEffectSimpleWipeHahen::Corner(int fragment, int k) { return kFragmentTable[fragment][1 + k]; }

CEffectSimpleWipeHahen::CEffectSimpleWipeHahen(CAllWipe* owner, const WipeArgs& args)
    : CEffectSimpleWipeCommon(owner) {
  SetReverseFlag(args.reverse);
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  builtW_ = w;
  builtH_ = h;
  for (int i = 0; i < kVertices; ++i) {
    vertices_[i].x =
        static_cast<int>(std::min<int64_t>(w - 1, int64_t{w} * kVertexTable[i][0] / 640));
    vertices_[i].y =
        static_cast<int>(std::min<int64_t>(h - 1, int64_t{h} * kVertexTable[i][1] / 480));
  }
  const double speed = speedPercent_ * 0.01 * 30;
  for (int f = 0; f < kFragments; ++f) {
    const int n = CornerCount(f);
    int64_t sx = 0, sy = 0;
    for (int k = 0; k < n; ++k) {
      sx += vertices_[Corner(f, k)].x;
      sy += vertices_[Corner(f, k)].y;
    }
    centres_[f] = {static_cast<int>(sx / n), static_cast<int>(sy / n)};
    const double ex = centres_[f].x - w / 2, ey = centres_[f].y - h / 2;
    const double dist = std::max(std::sqrt(ex * ex + ey * ey), 1.0);
    const double angle = std::atan2(ey, ex);
    const double r = (dist / 200 + 1) * speed;
    velocity_[f] = {static_cast<float>(std::cos(angle) * r),
                    static_cast<float>(std::sin(angle) * r)};
    offset_[f] = {};
  }
}

void CEffectSimpleWipeHahen::Place(int p, int max) {
  const int64_t g = int64_t{max} * holdPercent_ / 100;
  const double unit = max > kCreepSteps ? static_cast<double>(kCreepSteps) / max : 1.0;
  if (p <= g) {
    const double k = creepPermille_ * 0.001 * p * unit;
    for (int f = 0; f < kFragments; ++f)
      offset_[f] = {static_cast<float>(velocity_[f].x * k), static_cast<float>(velocity_[f].y * k)};
    return;
  }
  const double k0 = creepPermille_ * 0.001 * static_cast<double>(g) * unit;
  double d = static_cast<double>(max - g);
  if (d <= 0) d = 1;
  const double s =
      std::sqrt(static_cast<double>(builtW_) * builtW_ + static_cast<double>(builtH_) * builtH_) /
      30 * 0.3;
  const double run = static_cast<double>(p - g);
  for (int f = 0; f < kFragments; ++f) {
    const double vx = velocity_[f].x, vy = velocity_[f].y;
    offset_[f] = {static_cast<float>(run * vx * s / d + vx * k0),
                  static_cast<float>(run * vy * s / d + vy * k0)};
  }
}

void CEffectSimpleWipeHahen::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                   int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  // The geometry belongs to the screen it was made for.
  if (screenW_ != builtW_ || screenH_ != builtH_ || !owner_ || !owner_->GetSpanBuffer()) return;
  int p = progress_;
  if (reverse_) {
    SwapPicture();
    p = max_ - progress_;
  }
  Place(p, max_);
  // In place the fragments tile the screen, and by the end they have flown
  // off: the first and the last step show a picture whole, without the
  // seams between fragments or a fragment left at an edge.
  if (p <= 0 || p >= max_) {
    for (int y = 0; y < screenH_; ++y) CopyLine(p <= 0 ? old_ : new_, y);
    return;
  }
  for (int y = 0; y < screenH_; ++y) CopyLine(new_, y);
  for (int f = 0; f < kFragments; ++f) {
    const int ix = static_cast<int>(offset_[f].x + 0.5f);
    const int iy = static_cast<int>(offset_[f].y + 0.5f);
    int left = screenW_, right = -1, top = screenH_, bottom = -1;
    for (int k = 0; k < CornerCount(f); ++k) {
      const Point v = vertices_[Corner(f, k)];
      left = std::min(left, v.x);
      right = std::max(right, v.x);
      top = std::min(top, v.y);
      bottom = std::max(bottom, v.y);
    }
    if (int64_t{ix} + left < screenW_ && int64_t{ix} + right >= 0 && int64_t{iy} + top < screenH_ &&
        int64_t{iy} + bottom >= 0)
      FillFragment(f, ix, iy);
  }
}

void CEffectSimpleWipeHahen::FillFragment(int fragment, int ix, int iy) const {
  const int n = CornerCount(fragment);
  Point corner[kMaxCorners + 1];
  for (int k = 0; k < n; ++k) corner[k] = vertices_[Corner(fragment, k)];
  corner[n] = corner[0];
  int low = 0;
  for (int k = 1; k < n; ++k)
    if (corner[k].y > corner[low].y) low = k;
  // The left side runs forward from the first corner to the lowest one; the
  // right side backward from the closing corner (or from the last corner
  // when the top is flat) to the lowest one reached that way.
  Side leftSide, rightSide;
  for (int k = 0; k <= low; ++k) leftSide.points[leftSide.count++] = corner[k];
  int lowBack = n;
  for (int k = n; k >= 1; --k)
    if (corner[k].y > corner[lowBack].y) lowBack = k;
  const int from = corner[n - 1].y == corner[0].y && n > 1 ? n - 1 : n;
  for (int k = from; k >= lowBack; --k) rightSide.points[rightSide.count++] = corner[k];
  if (rightSide.count == 0) rightSide.points[rightSide.count++] = corner[0];
  const int top = corner[0].y, bottom = corner[low].y;
  for (int y = top; y <= bottom; ++y) {
    const int l = leftSide.X(y), r = rightSide.X(y);
    const int64_t dy = int64_t{y} + iy;
    if (r - l < 1 || dy < 0 || dy >= screenH_) continue;
    const int64_t x0 = std::max<int64_t>(int64_t{l} + ix, 0);
    const int64_t x1 = std::min<int64_t>(int64_t{r} + ix, screenW_ - 1);
    if (x0 > x1) continue;
    std::memcpy(ScreenRow(static_cast<int>(dy)) + x0, OldRow(y) + (x0 - ix),
                static_cast<size_t>(x1 - x0 + 1) * 4);
  }
}
