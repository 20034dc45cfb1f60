#include "script/gamevars.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/system.h"
#include "setup/namelist.h"
#include "setup/random.h"

namespace {

constexpr int kSystemVarCount = static_cast<int>(SystemVar::kCount);

constexpr const char* kNames[kSystemVarCount] = {
    "rnd",         "week",        "holiday",     "systemyear",   "systemmonth",
    "systemday",   "systemhour",  "systemminute", "systemsecond", "systemweek",
    "systemmillisecond", "mode",  "direct3d",    "pixelshader",  "vertexshader",
    "mousex",      "mousey",      "trig1",       "trig2",        "trig3",
    "click1",      "click2",      "click3",      "wheel",        "cgpercent",
    "scenepercent", "expmode1",   "expmode2",    "expmode3",     "expmode4",
    "expmode5",    "expcheck1",   "expcheck2",   "expcheck3",    "expcheck4",
    "expcheck5",
};

// Token text as an int; out-of-range numbers are clamped, not undefined.
int ParseInt(const char* text) {
  if (!text) return 0;
  const long long value = std::strtoll(text, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

int CGameVarHost::ReadSystemVar(SystemVar) { return 0; }

void CGameVarHost::SetEffectLayerHidden(int, bool) {}

CGameVariables::CGameVariables(CGameVarHost* host) : host_(host) {
  std::memset(layerOf_, -1, sizeof(layerOf_));
  std::memset(computed_, -1, sizeof(computed_));
  for (int& n : numbers_) n = -1;
}

const char* CGameVariables::SystemVarName(SystemVar which) {
  const int i = static_cast<int>(which);
  return i >= 0 && i < kSystemVarCount ? kNames[i] : "";
}

void CGameVariables::SetSystemVarNumber(SystemVar which, int number) {
  const int i = static_cast<int>(which);
  if (i < 0 || i >= kSystemVarCount) return;
  numbers_[i] = number;
  // When names share a number, the first of them wins.
  std::memset(computed_, -1, sizeof(computed_));
  for (int k = kSystemVarCount - 1; k >= 0; --k) {
    if (numbers_[k] >= 0 && numbers_[k] < kVarCount) computed_[numbers_[k]] = static_cast<int8_t>(k);
  }
}

int CGameVariables::GetSystemVarNumber(SystemVar which) const {
  const int i = static_cast<int>(which);
  return i >= 0 && i < kSystemVarCount ? numbers_[i] : -1;
}

void CGameVariables::LookUpSystemVars(const CNameList& names) {
  for (int i = 0; i < kSystemVarCount; ++i) {
    int found = -1;
    for (int k = 0; k < names.GetCount(); ++k) {
      const char* token = names.GetName(k);
      if (token && token[0] != '\0' && std::strcmp(token, kNames[i]) == 0) {
        found = k;
        break;
      }
    }
    SetSystemVarNumber(static_cast<SystemVar>(i), found);
  }
}

int CGameVariables::GetVar(int n) const {
  if (n >= 0 && n < kVarCount) return values_[n];
  if (n & 0x8000) return n & 0x7FFF;
  return 0;
}

void CGameVariables::SetVar(int n, int value) {
  if (n < 0 || n >= kVarCount) return;
  const int layer = layerOf_[n];
  if (layer >= 0) {
    // The variable switches its layer off: non-zero hides it.
    const bool hidden = value != 0;
    if (host_) host_->SetEffectLayerHidden(layer, hidden);
    if (hidden) {
      layerOffMask_ |= 1 << layer;
    } else {
      layerOffMask_ &= ~(1 << layer);
    }
  }
  values_[n] = value;
}

int CGameVariables::GetSystemVar(int n) {
  int which = -1;
  if (n >= 0 && n < kVarCount) {
    which = computed_[n];
  } else {
    for (int i = 0; i < kSystemVarCount; ++i) {
      if (numbers_[i] == n) {
        which = i;
        break;
      }
    }
  }
  return which >= 0 ? Compute(static_cast<SystemVar>(which)) : GetVar(n);
}

int CGameVariables::Compute(SystemVar which) {
  switch (which) {
    case SystemVar::kRnd: {
      // Values from 30000 up would favour the low remainders.
      for (int i = 0; i < 50; ++i) {
        const int r = crt::rand();
        if (r < 30000) return r % 10000;
      }
      return crt::rand() % 10000;
    }
    case SystemVar::kSystemYear: return platform::GetLocalTime().year;
    case SystemVar::kSystemMonth: return platform::GetLocalTime().month;
    case SystemVar::kSystemDay: return platform::GetLocalTime().day;
    case SystemVar::kSystemHour: return platform::GetLocalTime().hour;
    case SystemVar::kSystemMinute: return platform::GetLocalTime().minute;
    case SystemVar::kSystemSecond: return platform::GetLocalTime().second;
    case SystemVar::kSystemWeek: return platform::GetLocalTime().weekday;
    case SystemVar::kSystemMillisecond: return platform::GetLocalTime().millisecond;
    case SystemVar::kDirect3d: return 2;
    case SystemVar::kPixelShader:
    case SystemVar::kVertexShader: return 0;
    default: return host_ ? host_->ReadSystemVar(which) : 0;
  }
}

void CGameVariables::SetLayerVar(int var, int layer) {
  if (var < 0 || var >= kVarCount) return;
  layerOf_[var] = static_cast<int8_t>(layer >= 0 && layer < kLayerCount ? layer : -1);
}

int CGameVariables::GetLayerOfVar(int var) const {
  return var >= 0 && var < kVarCount ? layerOf_[var] : -1;
}

void CGameVariables::StartNewGame(const CNameList* initData) {
  for (int i = 100; i < kVarCount; ++i) {
    if (i >= 200 && i < 300) continue;
    values_[i] = initData ? ParseInt(initData->GetName(i)) : 0;
  }
}
