#include "sound/musicbars.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <new>
#include <utility>

#include "graphics/allgeo.h"
#include "setup/namelist.h"

namespace {

// The decimal number in the token after key, as the runtime's conversion
// reads it (out of range values saturate).
void ReadSetting(const CNameList* list, const char* key, int* out) {
  if (!list) return;
  const int slot = list->SearchKey(key, true, -1);
  if (slot < 0) return;
  const char* value = list->GetName(slot + 1);
  if (!value) return;
  const long v = std::strtol(value, nullptr, 10);
  *out = static_cast<int>(v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : v);
}

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

int ClampLevel(int v) { return v < 0 ? 0 : v > 100 ? 100 : v; }

float CosFloat(float x) { return static_cast<float>(std::cos(static_cast<double>(x))); }
float SinFloat(float x) { return static_cast<float>(std::sin(static_cast<double>(x))); }

}  // namespace

CSpectrumPrint::CSpectrumPrint(uint32_t barCount, const CNameList* settings) {
  ReadSetting(settings, "spectrumPrintType", &type_);
  ReadSetting(settings, "spectrumMaxGrav", &gravity_);
  ReadSetting(settings, "spectrumMaxWaitTime", &holdTime_);
  ReadSetting(settings, "spectrumPrintX", &x_);
  ReadSetting(settings, "spectrumPrintY", &baseY_);
  // The width first: the step's default follows it.
  ReadSetting(settings, "spectrumSizeX", &width_);
  step_ = static_cast<int>(static_cast<int64_t>(width_) + 1 > INT_MAX ? INT_MAX : width_ + 1LL);
  ReadSetting(settings, "spectrumNextX", &step_);
  ReadSetting(settings, "spectrumSizeY", &height_);
  ReadSetting(settings, "spectrumMaxSizeY", &markHeight_);
  ReadSetting(settings, "spectrumColorR", &r_);
  ReadSetting(settings, "spectrumColorG", &g_);
  ReadSetting(settings, "spectrumColorB", &b_);
  ReadSetting(settings, "spectrumPercent", &percent_);
  ReadSetting(settings, "spectrumMaxColorR", &markR_);
  ReadSetting(settings, "spectrumMaxColorG", &markG_);
  ReadSetting(settings, "spectrumMaxColorB", &markB_);
  ReadSetting(settings, "spectrumMaxPercent", &markPercent_);

  if (barCount > 0) {
    peak_.reset(new (std::nothrow) int32_t[barCount]);
    fall_.reset(new (std::nothrow) int32_t[barCount]);
    level_.reset(new (std::nothrow) int32_t[barCount]);
    hold_.reset(new (std::nothrow) int32_t[barCount]);
    if (peak_ && fall_ && level_ && hold_)
      barCount_ = barCount;
    else
      Release();
  }
  Reset();
}

CSpectrumPrint::~CSpectrumPrint() = default;

void CSpectrumPrint::Release() {
  peak_.reset();
  fall_.reset();
  level_.reset();
  hold_.reset();
  barCount_ = 0;
}

void CSpectrumPrint::Reset() {
  for (uint32_t i = 0; i < barCount_; ++i) peak_[i] = fall_[i] = level_[i] = hold_[i] = 0;
}

void CSpectrumPrint::Print(const int* levels) {
  if (!levels) return;
  for (uint32_t i = 0; i < barCount_; ++i) {
    if (peak_[i] < levels[i]) {
      peak_[i] = levels[i];
      hold_[i] = holdTime_;
      fall_[i] = 0;
    }
    level_[i] = levels[i];
  }
  for (uint32_t i = 0; i < barCount_; ++i) {
    if (hold_[i] > 0) {
      --hold_[i];
    } else if (static_cast<int64_t>(peak_[i]) - fall_[i] < level_[i]) {
      fall_[i] = 0;
      peak_[i] = level_[i];
      hold_[i] = holdTime_;
    } else {
      peak_[i] = Saturate(static_cast<int64_t>(peak_[i]) - fall_[i]);
      fall_[i] = Saturate(static_cast<int64_t>(fall_[i]) + gravity_);
    }
  }
  for (uint32_t i = 0; type_ >= 1 && i < barCount_; ++i) {
    const int64_t x = x_ + static_cast<int64_t>(i) * step_;
    if (x < INT_MIN || x > INT_MAX) break;
    const int h = static_cast<int>(static_cast<int64_t>(ClampLevel(level_[i])) * height_ / 100);
    CAllGeo::TransBoxFill(static_cast<int>(x), Saturate(static_cast<int64_t>(baseY_) - h), width_, h,
                          r_, g_, b_, percent_);
  }
  for (uint32_t i = 0; type_ >= 2 && i < barCount_; ++i) {
    const int64_t x = x_ + static_cast<int64_t>(i) * step_;
    if (x < INT_MIN || x > INT_MAX) break;
    const int64_t top = static_cast<int64_t>(baseY_) -
                        static_cast<int64_t>(ClampLevel(peak_[i])) * height_ / 100 - markHeight_;
    CAllGeo::TransBoxFill(static_cast<int>(x), Saturate(top), width_, markHeight_, markR_, markG_,
                          markB_, markPercent_);
  }
}

CFastFourierTransform::CFastFourierTransform() = default;

CFastFourierTransform::~CFastFourierTransform() = default;

void CFastFourierTransform::Release() {
  for (Table& t : slots_) {
    t.pairs.reset();
    t.built = false;
  }
}

int CFastFourierTransform::GetTableIndex(int n) {
  switch (n) {
    // The music room holds its size to 64..1024.
    case 64: return 6;
    case 128: return 7;
    case 256: return 8;
    case 512: return 9;
    case 1024: return 10;
    default: return -1;
  }
}

int CFastFourierTransform::MakeTable(int n) {
  const int slot = GetTableIndex(n);
  if (slot < 0) return 0;
  Table& t = slots_[slot];
  if (t.built) return 1;
  t.pairs.reset(new (std::nothrow) float[static_cast<size_t>(n) * 2]);
  if (!t.pairs) return 0;
  const float step = 6.28318f / static_cast<float>(n);
  for (int i = 0; i < n; ++i) {
    const float a = step * static_cast<float>(i);
    t.pairs[2 * i] = CosFloat(a);
    t.pairs[2 * i + 1] = SinFloat(a);
  }
  t.built = true;
  return 1;
}

int CFastFourierTransform::Transform(int n, float* re, float* im) {
  if (!re || !im || !MakeTable(n)) return 0;
  const float* table = slots_[GetTableIndex(n)].pairs.get();

  // Bit-reversed order.
  int j = 0;
  for (int i = 1; i < n - 1; ++i) {
    int bit = n >> 1;
    while (j & bit) {
      j ^= bit;
      bit >>= 1;
    }
    j |= bit;
    if (i < j) {
      std::swap(re[i], re[j]);
      std::swap(im[i], im[j]);
    }
  }

  for (int b = 1; 2 * b <= n; b *= 2) {
    int k = 0;
    for (int s = 0; s < n; s += 2 * b) {
      const float c = table[2 * k], d = table[2 * k + 1];
      int bit = n >> 2;
      while (bit > 0 && (k & bit)) {
        k ^= bit;
        bit >>= 1;
      }
      k |= bit;
      for (int i = s; i < s + b; ++i) {
        const float xr = re[i], xi = im[i];
        const float yr = re[i + b], yi = im[i + b];
        re[i] = xr + yr;
        im[i] = xi + yi;
        const float hr = xr - yr, hi = xi - yi;
        re[i + b] = c * hr - d * hi;
        im[i + b] = c * hi + d * hr;
      }
    }
  }

  const float scale = 1.0f / static_cast<float>(n);
  for (int i = 0; i < n; ++i) {
    re[i] *= scale;
    im[i] *= scale;
  }
  return 1;
}
