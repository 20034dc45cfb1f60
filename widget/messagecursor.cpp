#include "widget/messagecursor.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

namespace {

std::string Key(const char* name, int kind) { return name + std::to_string(kind); }

}  // namespace

CMessageCursor::CMessageCursor(CFloatingLayerTable* table, int firstSlot, CNameList* list)
    : CFloatingLayer(table, firstSlot, 1, "messageCursor", list) {
  ReadKeys();
  int w = 0, h = 0;
  for (const Kind& k : kinds_) {
    w = std::max(w, k.w);
    h = std::max(h, k.h);
  }
  SetSize(w, h, 0);
  for (int k = 0; k < kKinds; ++k) {
    kinds_[k].picture = std::make_unique<CPicture>();
    Load(k);
  }
}

CMessageCursor::~CMessageCursor() = default;

// A kind's missing key takes kind 1's value; a print position takes the
// previous kind's, and kind 3 starts again from (0, 0).
void CMessageCursor::ReadKeys() {
  GetSetupInt(&fixX_, "fullFixX");
  GetSetupInt(&fixY_, "fullFixY");
  GetSetupInt(&nc_, "cursorNumberConfig");
  GetSetupInt(&ns_, "cursorNumberScript");
  floating::FitDesignCounts(&nc_, &ns_, kKinds);

  std::array<const char*, kKinds> base{"mes_cur"};
  GetSetupString(&base[0], "filenameCursor1");
  for (int k = 1; k < kKinds; ++k) {
    base[k] = base[0];
    GetSetupString(&base[k], Key("filenameCursor", k + 1).c_str());
  }
  names_.assign(static_cast<size_t>(nc_) * ns_ * kKinds, nullptr);
  for (int k = 0; k < kKinds; ++k) names_[k] = base[k];
  for (int i = kKinds; i < static_cast<int>(names_.size()); ++i) names_[i] = base[i % kKinds];
  if (nc_ > 1 || ns_ > 1) {
    for (int k = 0; k < kKinds; ++k) {
      const std::string prefix = Key("filenameCursor", k + 1) + "_";
      for (int s = 1; s <= ns_; ++s)
        for (int c = 1; c <= nc_; ++c)
          GetSetupString(&names_[((s - 1) * nc_ + (c - 1)) * kKinds + k],
                         floating::DesignNameKey(prefix.c_str(), nc_, ns_, s, c).c_str());
    }
  }

  for (int k = 0; k < kKinds; ++k) {
    Kind& d = kinds_[k];
    if (k > 0) {
      d.w = kinds_[0].w;
      d.h = kinds_[0].h;
    }
    if (k == 1 || k == 3) {
      d.x = kinds_[k - 1].x;
      d.y = kinds_[k - 1].y;
    }
    GetSetupInt(&d.w, Key("sizeX", k + 1).c_str());
    GetSetupInt(&d.h, Key("sizeY", k + 1).c_str());
    GetSetupInt(&d.x, Key("printX", k + 1).c_str());
    GetSetupInt(&d.y, Key("printY", k + 1).c_str());
  }
  struct IntKey {
    const char* name;
    int Kind::*field;
  };
  static constexpr IntKey kAnimeKeys[] = {
      {"animePattern", &Kind::patterns},         {"animeSpeed", &Kind::speed},
      {"animeReverse", &Kind::reverse},          {"percentStart", &Kind::percentStart},
      {"percentEnd", &Kind::percentEnd},         {"percentLoop", &Kind::percentLoop},
      {"percentReverse", &Kind::percentReverse},
  };
  for (const IntKey& key : kAnimeKeys)
    for (int k = 0; k < kKinds; ++k) {
      if (k > 0) kinds_[k].*key.field = kinds_[0].*key.field;
      GetSetupInt(&(kinds_[k].*key.field), Key(key.name, k + 1).c_str());
    }
  // Counts and lengths are divisors: below 1 they count as 1.
  for (Kind& d : kinds_) {
    d.patterns = std::max(d.patterns, 1);
    d.speed = std::max(d.speed, 1);
    d.percentLoop = std::max(d.percentLoop, 1);
  }
}

const char* CMessageCursor::GetFileName(int index) const {
  return index >= 0 && index < static_cast<int>(names_.size()) ? names_[index] : nullptr;
}

void CMessageCursor::Load(int k) {
  Kind& d = kinds_[k];
  floating::LoadSysPicture(d.picture.get(), names_[(script_ * nc_ + config_) * kKinds + k]);
  d.loadedConfig = config_;
  d.loadedScript = script_;
}

void CMessageCursor::SetPrintXY(int x, int y) {
  textX_ = x;
  textY_ = y;
}

void CMessageCursor::Calcu(int n) {
  for (Kind& d : kinds_) {
    const int64_t frames = static_cast<int64_t>(d.frame) + std::max(n, 0);
    if (frames >= d.speed) {
      const int64_t cycle = d.reverse ? std::max<int64_t>(2 * int64_t{d.patterns} - 2, 1) : d.patterns;
      d.pattern = static_cast<int>((d.pattern + frames / d.speed) % cycle);
    }
    d.frame = static_cast<int>(frames % d.speed);
    const int64_t loop = d.percentReverse ? 2 * int64_t{d.percentLoop} : d.percentLoop;
    d.percentCount = static_cast<int>((d.percentCount + 1) % loop);
  }
}

int CMessageCursor::GetOpacity(int k) const {
  if (k < 0 || k >= kKinds) return 0;
  const Kind& d = kinds_[k];
  if (d.percentStart == d.percentEnd) return d.percentStart;
  int64_t c = d.percentCount;
  if (d.percentReverse && c >= d.percentLoop) c = 2 * int64_t{d.percentLoop} - c;
  const int64_t opacity = d.percentStart + (int64_t{d.percentEnd} - d.percentStart) * c / d.percentLoop;
  return static_cast<int>(std::clamp<int64_t>(opacity, 0, 100));
}

void CMessageCursor::Print(int k, int saveUnder) {
  if (k < 0 || k >= kKinds) return;
  Kind& d = kinds_[k];
  if (d.loadedConfig != config_ || d.loadedScript != script_) Load(k);
  int x = d.x, y = d.y;
  if (k >= 2) {
    if (!fixX_) x = floating::Offset(x, textX_);
    if (!fixY_) y = floating::Offset(y, textY_);
  }
  int p = d.pattern;
  if (d.reverse && p >= d.patterns) p = std::max(1, 2 * d.patterns - 2) - p;
  if (saveUnder) SaveUnder(x, y, 0);
  CScreenBuffer::AddDirtyRect(x, y, d.w, d.h);
  const int opacity = GetOpacity(k);
  if (opacity >= 100)
    d.picture->Blt(x, y, floating::CellOffset(p, d.w), 0, d.w, d.h, 1);
  else if (opacity > 0)
    d.picture->TransLucentBlt3(x, y, floating::CellOffset(p, d.w), 0, d.w, d.h, opacity);
}
